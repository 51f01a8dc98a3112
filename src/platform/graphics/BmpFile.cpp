#include "platform/graphics/BmpFile.h"

#include <cstring>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DibParser.h"

namespace brevanto::graphics {

namespace {

constexpr std::size_t kFileHeaderSize = 14;

void putU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

std::uint32_t readU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Header, masks and colour table of a packed DIB.
void putDibHeader(std::vector<std::uint8_t>& out, const Bitmap& bitmap) {
    const BitmapInfoHeader h = bitmap.infoHeader();
    putU32(out, h.biSize);
    putU32(out, static_cast<std::uint32_t>(h.biWidth));
    putU32(out, static_cast<std::uint32_t>(h.biHeight));
    putU16(out, h.biPlanes);
    putU16(out, h.biBitCount);
    putU32(out, h.biCompression);
    putU32(out, h.biSizeImage);
    putU32(out, static_cast<std::uint32_t>(h.biXPelsPerMeter));
    putU32(out, static_cast<std::uint32_t>(h.biYPelsPerMeter));
    putU32(out, h.biClrUsed);
    putU32(out, h.biClrImportant);
    if (h.biCompression == kBiBitfields) {
        putU32(out, 0xF800);
        putU32(out, 0x07E0);
        putU32(out, 0x001F);
    }
    for (const PaletteEntry& e : bitmap.palette()) {
        out.push_back(e.peBlue);
        out.push_back(e.peGreen);
        out.push_back(e.peRed);
        out.push_back(0);
    }
}

void putRowsBottomUp(std::vector<std::uint8_t>& out, const Bitmap& bitmap) {
    const std::size_t start = out.size();
    out.resize(start + bitmap.stride() * static_cast<std::size_t>(bitmap.height()));
    std::uint8_t* dest = out.data() + start;
    for (int row = bitmap.height() - 1; row >= 0; --row) {
        std::memcpy(dest, bitmap.scanLine(row), bitmap.stride());
        dest += bitmap.stride();
    }
}

}  // namespace

Bitmap decodeBmpFile(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < kFileHeaderSize)
        throwInvalidBitmap("the file header is truncated");
    if (data[0] != 'B' || data[1] != 'M') throwInvalidBitmap("the file is not a BMP file");
    const std::uint32_t pixelOffset = readU32(data + 10);
    const DibDescription d = parseDibHeader(data + kFileHeaderSize, size - kFileHeaderSize);
    if (pixelOffset < kFileHeaderSize + d.headerBytes)
        throwInvalidBitmap("the pixel data overlaps the header");
    if (pixelOffset > size) throwInvalidBitmap("the pixel data is shorter than the image");
    return readDibPixels(d, data + pixelOffset, size - pixelOffset);
}

std::vector<std::uint8_t> encodePackedDib(const Bitmap& bitmap) {
    std::vector<std::uint8_t> out;
    out.reserve(40 + 12 + 4 * bitmap.palette().size() + bitmap.bitsSize());
    putDibHeader(out, bitmap);
    putRowsBottomUp(out, bitmap);
    return out;
}

std::vector<std::uint8_t> encodeBmpFileHeader(const Bitmap& bitmap) {
    std::vector<std::uint8_t> out;
    out.reserve(kFileHeaderSize + 40 + 12 + 4 * bitmap.palette().size());
    out.resize(kFileHeaderSize);
    putDibHeader(out, bitmap);
    const auto pixelOffset = static_cast<std::uint32_t>(out.size());
    const std::size_t rowBytes = bitmap.stride() * static_cast<std::size_t>(bitmap.height());
    // bfSize is a 32-bit field; Bitmap's size limit keeps it from overflowing.
    std::vector<std::uint8_t> fileHeader;
    fileHeader.push_back('B');
    fileHeader.push_back('M');
    putU32(fileHeader, static_cast<std::uint32_t>(out.size() + rowBytes));
    putU32(fileHeader, 0);
    putU32(fileHeader, pixelOffset);
    std::memcpy(out.data(), fileHeader.data(), kFileHeaderSize);
    return out;
}

std::vector<std::uint8_t> encodeBmpFile(const Bitmap& bitmap) {
    std::vector<std::uint8_t> out = encodeBmpFileHeader(bitmap);
    out.reserve(out.size() + bitmap.bitsSize());
    putRowsBottomUp(out, bitmap);
    return out;
}

}  // namespace brevanto::graphics
