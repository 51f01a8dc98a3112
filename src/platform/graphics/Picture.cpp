#include "platform/graphics/Picture.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/ImageLimits.h"
#include "platform/graphics/JpegImage.h"

namespace brevanto::graphics {

namespace {

std::unique_ptr<Graphic> graphicForExtension(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::string lower = ext;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == ".bmp") return std::make_unique<Bitmap>();
    if (lower == ".jpg" || lower == ".jpeg" || lower == ".jpe" || lower == ".jfif")
        return std::make_unique<JpegImage>();
    throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
}

}  // namespace

Picture::Picture() = default;

Picture::Picture(const Picture& other)
    : graphic_(other.graphic_ ? other.graphic_->clone() : nullptr) {}

Picture& Picture::operator=(const Picture& other) {
    if (this != &other) graphic_ = other.graphic_ ? other.graphic_->clone() : nullptr;
    return *this;
}

Picture::Picture(Picture&& other) noexcept = default;
Picture& Picture::operator=(Picture&& other) noexcept = default;
Picture::~Picture() = default;

void Picture::setGraphic(std::unique_ptr<Graphic> graphic) { graphic_ = std::move(graphic); }

void Picture::assign(const Graphic& graphic) { graphic_ = graphic.clone(); }

void Picture::assign(const Picture& other) { *this = other; }

void Picture::clear() { graphic_.reset(); }

void Picture::loadFromFile(const std::filesystem::path& path) {
    std::unique_ptr<Graphic> graphic = graphicForExtension(path);
    try {
        graphic->loadFromFile(path);
    } catch (const EImageTooLarge& error) {
        // The clerk needs to know which page file it is.
        throw EImageTooLarge("\"" + path.string() + "\": " + error.what());
    }
    graphic_ = std::move(graphic);
}

void Picture::saveToFile(const std::filesystem::path& path) const {
    if (!graphic_) throw EInvalidGraphicOperation("The picture holds no graphic to save");
    graphic_->saveToFile(path);
}

int Picture::width() const { return graphic_ ? graphic_->width() : 0; }

int Picture::height() const { return graphic_ ? graphic_->height() : 0; }

bool Picture::empty() const { return !graphic_ || graphic_->empty(); }

}  // namespace brevanto::graphics
