#include "platform/graphics/JpegImage.h"

#include <utility>

#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/JpegCodec.h"
#include "platform/graphics/JpegStructure.h"

namespace brevanto::graphics {

namespace {

const std::vector<std::uint8_t>& noBytes() {
    static const std::vector<std::uint8_t> empty;
    return empty;
}

}  // namespace

JpegImage::JpegImage() = default;

JpegImage::JpegImage(const JpegImage& other)
    : Graphic(other),
      quality_(other.quality_),
      data_(other.data_),
      width_(other.width_),
      height_(other.height_),
      components_(other.components_),
      progressive_(other.progressive_),
      adobe_(other.adobe_),
      pixels_(other.pixels_ ? std::make_unique<Bitmap>(*other.pixels_) : nullptr) {}

JpegImage& JpegImage::operator=(const JpegImage& other) {
    if (this != &other) {
        JpegImage copy(other);
        *this = std::move(copy);
    }
    return *this;
}

JpegImage::JpegImage(JpegImage&& other) noexcept = default;
JpegImage& JpegImage::operator=(JpegImage&& other) noexcept = default;
JpegImage::~JpegImage() = default;

int JpegImage::width() const { return pixels_ && !hasBytes() ? pixels_->width() : width_; }

int JpegImage::height() const { return pixels_ && !hasBytes() ? pixels_->height() : height_; }

bool JpegImage::empty() const { return !hasBytes() && !pixels_; }

std::unique_ptr<Graphic> JpegImage::clone() const { return std::make_unique<JpegImage>(*this); }

void JpegImage::take(std::vector<std::uint8_t>&& bytes, const JpegStructure& s) const {
    data_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    width_ = s.width;
    height_ = s.height;
    components_ = s.components;
    progressive_ = s.progressive;
    adobe_ = s.adobe;
}

void JpegImage::loadFromBytes(const std::uint8_t* data, std::size_t size) {
    const JpegStructure s = inspectJpeg(data, size);
    take(std::vector<std::uint8_t>(data, data + size), s);
    pixels_.reset();
}

void JpegImage::loadFromFileBytes(std::vector<std::uint8_t>&& data) {
    const JpegStructure s = inspectJpeg(data.data(), data.size());
    take(std::move(data), s);
    pixels_.reset();
}

std::vector<std::uint8_t> JpegImage::saveToBytes() const {
    if (empty()) throw EInvalidGraphicOperation("An empty JPEG picture cannot be saved");
    return data();
}

void JpegImage::assignTo(Bitmap& target) const {
    if (pixels_ && !hasBytes()) {
        target = *pixels_;
    } else if (!hasBytes()) {
        target = Bitmap();
    } else {
        target = decodeJpeg(data_->data(), data_->size());
    }
}

void JpegImage::assign(const Graphic& source) {
    if (&source == this) return;
    if (const auto* jpeg = dynamic_cast<const JpegImage*>(&source)) {
        *this = *jpeg;
        return;
    }
    std::unique_ptr<Bitmap> pixels;
    if (const auto* bitmap = dynamic_cast<const Bitmap*>(&source); bitmap && !bitmap->empty()) {
        pixels = std::make_unique<Bitmap>(*bitmap);
        pixels->setPixelFormat(PixelFormat::pf24bit);
    }
    pixels_ = std::move(pixels);
    data_.reset();
    width_ = height_ = components_ = 0;
    progressive_ = false;
    adobe_ = false;
}

const std::vector<std::uint8_t>& JpegImage::data() const {
    compressIfNeeded();
    return hasBytes() ? *data_ : noBytes();
}

std::shared_ptr<const std::vector<std::uint8_t>> JpegImage::sharedData() const {
    compressIfNeeded();
    return hasBytes() ? data_ : std::make_shared<const std::vector<std::uint8_t>>();
}

void JpegImage::compress() { compressIfNeeded(); }

void JpegImage::compressIfNeeded() const {
    if (hasBytes() || !pixels_) return;
    std::vector<std::uint8_t> bytes = encodeJpeg(*pixels_, quality_);
    const JpegStructure s = inspectJpeg(bytes.data(), bytes.size());
    take(std::move(bytes), s);
}

int JpegImage::components() const {
    if (pixels_ && !hasBytes()) return 3;
    return components_;
}

bool JpegImage::progressive() const { return progressive_; }

bool JpegImage::adobeMarker() const { return adobe_; }

void JpegImage::setCompressionQuality(int quality) {
    if (quality < 1 || quality > 100)
        throw EInvalidGraphicOperation("The JPEG quality must lie between 1 and 100");
    quality_ = quality;
}

}  // namespace brevanto::graphics
