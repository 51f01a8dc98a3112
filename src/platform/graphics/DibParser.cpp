#include "platform/graphics/DibParser.h"

#include <cstring>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicErrors.h"

namespace brevanto::graphics {

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

std::uint16_t readU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t readU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t readI32(const std::uint8_t* p) { return static_cast<std::int32_t>(readU32(p)); }

}  // namespace

void throwInvalidBitmap(const char* detail) {
    throw EInvalidGraphic(std::string("Bitmap image is not valid: ") + detail);
}

PixelFormat dibPixelFormat(std::uint16_t bitCount, std::uint32_t compression,
                           const std::uint32_t* masks) {
    if (compression == kBiRle4 || compression == kBiRle8)
        throwInvalidBitmap("run-length compressed bitmaps are not supported");
    if (compression != kBiRgb && compression != kBiBitfields)
        throwInvalidBitmap("the compression method is not supported");
    if (compression == kBiBitfields) {
        if (masks == nullptr) throwInvalidBitmap("bit-field masks are missing");
        if (bitCount == 16) {
            if (masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F)
                return PixelFormat::pf16bit;
            if (masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F)
                return PixelFormat::pf15bit;
        } else if (bitCount == 32) {
            if (masks[0] == 0x00FF0000 && masks[1] == 0x0000FF00 && masks[2] == 0x000000FF)
                return PixelFormat::pf32bit;
        } else {
            throwInvalidBitmap("bit-field masks need 16 or 32 bits per pixel");
        }
        throwInvalidBitmap("these bit-field masks are not supported");
    }
    switch (bitCount) {
        case 1:
            return PixelFormat::pf1bit;
        case 4:
            return PixelFormat::pf4bit;
        case 8:
            return PixelFormat::pf8bit;
        case 16:
            return PixelFormat::pf15bit;
        case 24:
            return PixelFormat::pf24bit;
        case 32:
            return PixelFormat::pf32bit;
        default:
            throwInvalidBitmap("the number of bits per pixel is not 1, 4, 8, 16, 24 or 32");
    }
}

void checkDibGeometry(std::int64_t width, std::int64_t height, int bitsPerPixel) {
    if (width <= 0 || height <= 0) throwInvalidBitmap("the width and height must be positive");
    if (width > Bitmap::kMaxDimension || height > Bitmap::kMaxDimension)
        throwInvalidBitmap("the width or height is too large");
    const std::uint64_t stride = ((static_cast<std::uint64_t>(bitsPerPixel) * width + 31) / 32) * 4;
    if (stride * static_cast<std::uint64_t>(height) > Bitmap::kMaxPixelBytes)
        throwInvalidBitmap("the image is too large");
}

DibDescription parseDibHeader(const std::uint8_t* data, std::size_t size) {
    if (size < 4) throwInvalidBitmap("the header is truncated");
    const std::uint32_t headerSize = readU32(data);
    if (headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize)
        throwInvalidBitmap("the header size is not valid");
    if (headerSize > size) throwInvalidBitmap("the header is truncated");

    DibDescription d;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint64_t colorsInTable = 0;
    std::size_t entrySize = 4;
    std::uint64_t offset = headerSize;
    std::uint32_t masks[3] = {0, 0, 0};

    if (headerSize == kCoreHeaderSize) {
        width = readU16(data + 4);
        height = readU16(data + 6);
        planes = readU16(data + 8);
        bitCount = readU16(data + 10);
        entrySize = 3;
        colorsInTable = bitCount <= 8 ? (std::uint64_t{1} << bitCount) : 0;
    } else {
        width = readI32(data + 4);
        height = readI32(data + 8);
        planes = readU16(data + 12);
        bitCount = readU16(data + 14);
        compression = readU32(data + 16);
        d.xPelsPerMeter = readI32(data + 24);
        d.yPelsPerMeter = readI32(data + 28);
        const std::uint32_t clrUsed = readU32(data + 32);
        if (bitCount > 32) throwInvalidBitmap("the number of bits per pixel is not valid");
        colorsInTable =
            clrUsed != 0 ? clrUsed : (bitCount <= 8 ? (std::uint64_t{1} << bitCount) : 0);
        if (compression == kBiBitfields) {
            // Version 2 and later headers carry the masks; the 40-byte one is followed by them.
            if (headerSize >= 52) {
                for (int i = 0; i < 3; ++i) masks[i] = readU32(data + 40 + 4 * i);
            } else {
                if (offset + 12 > size) throwInvalidBitmap("the bit-field masks are truncated");
                for (int i = 0; i < 3; ++i) masks[i] = readU32(data + offset + 4 * i);
                offset += 12;
            }
        }
    }
    if (planes != 1) throwInvalidBitmap("the number of planes is not 1");
    d.format = dibPixelFormat(bitCount, compression, masks);
    if (height < 0) {
        d.topDown = true;
        height = -height;
    }
    checkDibGeometry(width, height, bitCount);
    d.width = static_cast<int>(width);
    d.height = static_cast<int>(height);

    const std::uint64_t tableBytes = colorsInTable * entrySize;
    if (tableBytes > size - offset)
        throwInvalidBitmap("the colour table runs past the end of the data");
    if (isIndexed(d.format)) {
        const std::uint64_t used =
            std::min<std::uint64_t>(colorsInTable, std::uint64_t{1} << bitCount);
        d.palette.resize(static_cast<std::size_t>(used));
        for (std::size_t i = 0; i < d.palette.size(); ++i) {
            const std::uint8_t* e = data + offset + i * entrySize;
            d.palette[i] = PaletteEntry{e[2], e[1], e[0], 0};
        }
    }
    d.headerBytes = static_cast<std::size_t>(offset + tableBytes);
    return d;
}

Bitmap readDibPixels(const DibDescription& d, const std::uint8_t* pixels, std::size_t available) {
    const int bits = bitsPerPixelOf(d.format);
    const std::size_t stride = Bitmap::strideFor(d.width, bits);
    if (stride * static_cast<std::size_t>(d.height) > available)
        throwInvalidBitmap("the pixel data is shorter than the image");
    Bitmap bitmap(d.width, d.height, d.format);
    bitmap.setPalette(d.palette);
    bitmap.setResolution(d.xPelsPerMeter, d.yPelsPerMeter);
    for (int row = 0; row < d.height; ++row) {
        const int stored = d.topDown ? row : d.height - 1 - row;
        std::memcpy(bitmap.scanLine(row), pixels + static_cast<std::size_t>(stored) * stride,
                    stride);
    }
    return bitmap;
}

}  // namespace brevanto::graphics
