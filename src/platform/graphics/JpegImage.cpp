#include "platform/graphics/JpegImage.h"

#include <utility>

#include "platform/graphics/FileBytes.h"
#include "platform/graphics/FileRegion.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/JpegCodec.h"
#include "platform/graphics/JpegStructure.h"

namespace brevanto::graphics {

namespace {

const std::vector<std::uint8_t>& noBytes() {
    static const std::vector<std::uint8_t> empty;
    return empty;
}

// Room to hold a whole file for checking or decoding, one block per thread reused by every
// load: fresh memory for each page would cost more than reading the page. Blocks above
// kKeptBytes are given back after use. One at a time per thread.
class ScratchBlock {
  public:
    explicit ScratchBlock(std::size_t size) {
        constexpr std::size_t kKeptBytes = std::size_t{32} << 20;
        constexpr std::size_t kStep = std::size_t{256} << 10;  // fewer regrowths as pages vary
        if (size > kKeptBytes) {
            own_ = std::make_unique_for_overwrite<std::uint8_t[]>(size);
            prefault(own_.get(), size);
            data_ = own_.get();
            return;
        }
        thread_local std::unique_ptr<std::uint8_t[]> kept;
        thread_local std::size_t keptSize = 0;
        if (keptSize < size) {
            kept.reset();
            keptSize = (size + kStep - 1) / kStep * kStep;
            kept = std::make_unique_for_overwrite<std::uint8_t[]>(keptSize);
            prefault(kept.get(), keptSize);
        }
        data_ = kept.get();
    }
    ScratchBlock(const ScratchBlock&) = delete;
    ScratchBlock& operator=(const ScratchBlock&) = delete;

    std::uint8_t* data() const { return data_; }

  private:
    std::unique_ptr<std::uint8_t[]> own_;
    std::uint8_t* data_ = nullptr;
};

}  // namespace

JpegImage::JpegImage() = default;

JpegImage::JpegImage(const JpegImage& other)
    : Graphic(other),
      quality_(other.quality_),
      data_(other.data_),
      file_(other.file_),
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
    file_.reset();
    setHeader(s);
}

void JpegImage::setHeader(const JpegStructure& s) const {
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

void JpegImage::loadFromFile(const std::filesystem::path& path) {
    FileDescriptor fd = openForReading(path);
    std::shared_ptr<const FileRegion> file = FileRegion::adopt(fd, path, maxFileBytes());
    if (file == nullptr) {
        std::vector<std::uint8_t> bytes = readOpenFile(fd, path, maxFileBytes());
        const JpegStructure s = inspectJpeg(bytes.data(), bytes.size());
        take(std::move(bytes), s);
        pixels_.reset();
        return;
    }
    // The same check as a load from memory, on the file read in small windows: no memory of
    // the page's own, and the bytes stay in the cache while they are looked at.
    file->verify();
    const JpegStructure s =
        inspectJpeg(file->size(), [&](std::size_t offset, std::uint8_t* out, std::size_t count) {
            file->readPart(offset, out, count);
        });
    file->verify();
    data_.reset();
    file_ = std::move(file);
    setHeader(s);
    pixels_.reset();
}

std::vector<std::uint8_t> JpegImage::saveToBytes() const {
    if (empty()) throw EInvalidGraphicOperation("An empty JPEG picture cannot be saved");
    // A copy either way: read straight into it rather than keep the bytes here as well.
    if (data_ == nullptr && file_ != nullptr) return file_->read();
    return data();
}

void JpegImage::assignTo(Bitmap& target) const {
    if (pixels_ && !hasBytes()) {
        target = *pixels_;
    } else if (!hasBytes()) {
        target = Bitmap();
    } else if (data_ != nullptr) {
        target = decodeJpeg(data_->data(), data_->size());
    } else {
        // Shown pages are decoded once; the bytes need not stay in memory for that.
        const ScratchBlock block(file_->size());
        file_->read(block.data());
        target = decodeJpeg(block.data(), file_->size());
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
    file_.reset();
    width_ = height_ = components_ = 0;
    progressive_ = false;
    adobe_ = false;
}

const std::vector<std::uint8_t>& JpegImage::data() const {
    compressIfNeeded();
    materialize();
    return data_ != nullptr ? *data_ : noBytes();
}

std::shared_ptr<const std::vector<std::uint8_t>> JpegImage::sharedData() const {
    compressIfNeeded();
    materialize();
    return data_ != nullptr ? data_ : std::make_shared<const std::vector<std::uint8_t>>();
}

std::shared_ptr<const FileRegion> JpegImage::sharedFile() const {
    return data_ == nullptr ? file_ : nullptr;
}

void JpegImage::materialize() const {
    if (data_ != nullptr || file_ == nullptr) return;
    data_ = std::make_shared<const std::vector<std::uint8_t>>(file_->read());
    file_.reset();
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
