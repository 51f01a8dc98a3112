#include "platform/graphics/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/DibParser.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/PixelConverter.h"

namespace brevanto::graphics {

namespace {

PixelFormat storableFormat(PixelFormat format) {
    if (format == PixelFormat::pfDevice) return PixelFormat::pf32bit;
    if (format == PixelFormat::pfCustom)
        throw EInvalidGraphicOperation("A custom pixel format cannot be chosen");
    return format;
}

void checkPixel(const Bitmap& bitmap, int x, int y) {
    if (x < 0 || y < 0 || x >= bitmap.width() || y >= bitmap.height())
        throw EInvalidGraphicOperation("Pixel position out of range");
}

}  // namespace

Bitmap::Bitmap() = default;

Bitmap::Bitmap(int width, int height, PixelFormat format) {
    allocate(width, height, storableFormat(format), false);
}

Bitmap::Bitmap(const Bitmap& other) = default;
Bitmap& Bitmap::operator=(const Bitmap& other) = default;

Bitmap::Bitmap(Bitmap&& other) noexcept
    : Graphic(other),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      format_(other.format_),
      topDown_(std::exchange(other.topDown_, false)),
      stride_(std::exchange(other.stride_, 0)),
      pixels_(std::move(other.pixels_)),
      palette_(std::move(other.palette_)),
      xPelsPerMeter_(std::exchange(other.xPelsPerMeter_, 0)),
      yPelsPerMeter_(std::exchange(other.yPelsPerMeter_, 0)) {
    other.pixels_.clear();
    other.palette_.clear();
    if (isIndexed(other.format_)) other.format_ = PixelFormat::pf24bit;
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    if (this != &other) {
        Bitmap moved(std::move(other));
        std::swap(width_, moved.width_);
        std::swap(height_, moved.height_);
        std::swap(format_, moved.format_);
        std::swap(topDown_, moved.topDown_);
        std::swap(stride_, moved.stride_);
        std::swap(pixels_, moved.pixels_);
        std::swap(palette_, moved.palette_);
        std::swap(xPelsPerMeter_, moved.xPelsPerMeter_);
        std::swap(yPelsPerMeter_, moved.yPelsPerMeter_);
    }
    return *this;
}

Bitmap::~Bitmap() = default;

std::size_t Bitmap::strideFor(int width, int bitsPerPixel) {
    return ((static_cast<std::size_t>(bitsPerPixel) * static_cast<std::size_t>(width) + 31) / 32) *
           4;
}

void Bitmap::allocate(int width, int height, PixelFormat format, bool topDown) {
    const int bits = bitsPerPixelOf(format);
    std::vector<PaletteEntry> palette;
    std::vector<std::uint8_t> pixels;
    std::size_t stride = 0;
    if (width < 0 || height < 0)
        throw EInvalidGraphicOperation("The width and height of a bitmap cannot be negative");
    if (width != 0 && height != 0) {
        checkDibGeometry(width, height, bits);
        stride = strideFor(width, bits);
        try {
            pixels.assign(stride * static_cast<std::size_t>(height), 0);
        } catch (const std::bad_alloc&) {
            throw EInvalidGraphic("Bitmap image is not valid: not enough memory for the image");
        }
    } else {
        width = 0;
        height = 0;
    }
    if (isIndexed(format)) palette = greyPalette(1 << bits);
    width_ = width;
    height_ = height;
    format_ = format;
    topDown_ = topDown;
    stride_ = stride;
    pixels_ = std::move(pixels);
    palette_ = std::move(palette);
}

std::unique_ptr<Bitmap> Bitmap::fromDibHeader(const BitmapInfoHeader& header, const RgbQuad* colors,
                                              std::size_t colorCount, const std::uint32_t* masks) {
    if (header.biPlanes != 1) throwInvalidBitmap("the number of planes is not 1");
    const PixelFormat format = dibPixelFormat(header.biBitCount, header.biCompression, masks);
    const std::int64_t height = header.biHeight;
    checkDibGeometry(header.biWidth, height < 0 ? -height : height, header.biBitCount);
    std::vector<PaletteEntry> palette;
    if (isIndexed(format)) {
        const std::size_t capacity = std::size_t{1} << header.biBitCount;
        const std::size_t wanted = header.biClrUsed != 0 ? header.biClrUsed : capacity;
        if (colors == nullptr || colorCount < std::min(wanted, capacity))
            throwInvalidBitmap("the colour table is shorter than the header says");
        palette.resize(std::min(wanted, capacity));
        for (std::size_t i = 0; i < palette.size(); ++i)
            palette[i] = PaletteEntry{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
    }
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->allocate(header.biWidth, static_cast<int>(height < 0 ? -height : height), format,
                     height < 0);
    bitmap->palette_ = std::move(palette);
    bitmap->setResolution(header.biXPelsPerMeter, header.biYPelsPerMeter);
    return bitmap;
}

std::unique_ptr<Bitmap> Bitmap::fromPackedDib(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) throwInvalidBitmap("the header is truncated");
    const DibDescription description = parseDibHeader(data, size);
    return std::make_unique<Bitmap>(
        readDibPixels(description, data + description.headerBytes, size - description.headerBytes));
}

BitmapInfoHeader Bitmap::infoHeader() const {
    BitmapInfoHeader h;
    h.biWidth = width_;
    h.biHeight = height_;
    h.biBitCount = static_cast<std::uint16_t>(bitsPerPixel());
    h.biCompression = format_ == PixelFormat::pf16bit ? kBiBitfields : kBiRgb;
    h.biSizeImage = static_cast<std::uint32_t>(pixels_.size());
    h.biXPelsPerMeter = xPelsPerMeter_;
    h.biYPelsPerMeter = yPelsPerMeter_;
    h.biClrUsed = static_cast<std::uint32_t>(palette_.size());
    return h;
}

std::vector<std::uint8_t> Bitmap::toPackedDib() const { return encodePackedDib(*this); }

std::unique_ptr<Graphic> Bitmap::clone() const { return std::make_unique<Bitmap>(*this); }

void Bitmap::loadFromBytes(const std::uint8_t* data, std::size_t size) {
    *this = decodeBmpFile(data, size);
}

std::vector<std::uint8_t> Bitmap::saveToBytes() const {
    if (empty()) throw EInvalidGraphicOperation("An empty bitmap cannot be saved");
    return encodeBmpFile(*this);
}

void Bitmap::assignTo(Bitmap& target) const {
    if (&target != this) target = *this;
}

void Bitmap::assign(const Graphic& source) { source.assignTo(*this); }

void Bitmap::setPixelFormat(PixelFormat format) {
    format = storableFormat(format);
    if (format == format_) return;
    if (empty()) {
        allocate(0, 0, format, false);
        return;
    }
    Bitmap converted = convertPixelFormat(*this, format);
    converted.setResolution(xPelsPerMeter_, yPelsPerMeter_);
    *this = std::move(converted);
}

int Bitmap::bitsPerPixel() const { return bitsPerPixelOf(format_); }

void Bitmap::setSize(int width, int height) {
    std::vector<PaletteEntry> palette = palette_;
    allocate(width, height, format_, false);
    if (isIndexed(format_)) palette_ = std::move(palette);
}

void Bitmap::setPalette(std::vector<PaletteEntry> palette) {
    const std::size_t capacity = isIndexed(format_) ? std::size_t{1} << bitsPerPixel() : 0;
    if (palette.size() > capacity)
        throw EInvalidGraphicOperation("The palette has more entries than the pixel format holds");
    palette_ = std::move(palette);
}

std::size_t Bitmap::getPaletteEntries(std::size_t start, std::size_t count,
                                      PaletteEntry* out) const {
    if (out == nullptr || start >= palette_.size()) return 0;
    const std::size_t n = std::min(count, palette_.size() - start);
    std::copy_n(palette_.begin() + static_cast<std::ptrdiff_t>(start), n, out);
    return n;
}

std::uint8_t* Bitmap::scanLine(int row) {
    return const_cast<std::uint8_t*>(std::as_const(*this).scanLine(row));
}

const std::uint8_t* Bitmap::scanLine(int row) const {
    if (row < 0 || row >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
    const std::size_t stored =
        topDown_ ? static_cast<std::size_t>(row) : static_cast<std::size_t>(height_ - 1 - row);
    return pixels_.data() + stored * stride_;
}

RgbColor Bitmap::pixel(int x, int y) const {
    checkPixel(*this, x, y);
    return readPixel(*this, scanLine(y), x);
}

void Bitmap::setPixel(int x, int y, RgbColor color) {
    checkPixel(*this, x, y);
    if (isIndexed(format_)) {
        writeIndex(*this, scanLine(y), x, nearestPaletteIndex(palette_, color));
    } else {
        writePixel(*this, scanLine(y), x, color);
    }
}

int Bitmap::pixelIndex(int x, int y) const {
    checkPixel(*this, x, y);
    if (!isIndexed(format_)) throw EInvalidGraphicOperation("The bitmap has no palette");
    return readIndex(*this, scanLine(y), x);
}

void Bitmap::setPixelIndex(int x, int y, int index) {
    checkPixel(*this, x, y);
    if (!isIndexed(format_)) throw EInvalidGraphicOperation("The bitmap has no palette");
    if (index < 0 || index >= (1 << bitsPerPixel()))
        throw EInvalidGraphicOperation("Palette index out of range");
    writeIndex(*this, scanLine(y), x, index);
}

void Bitmap::setResolution(std::int32_t xPelsPerMeter, std::int32_t yPelsPerMeter) {
    xPelsPerMeter_ = xPelsPerMeter;
    yPelsPerMeter_ = yPelsPerMeter;
}

}  // namespace brevanto::graphics
