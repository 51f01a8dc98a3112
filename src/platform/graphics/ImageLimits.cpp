#include "platform/graphics/ImageLimits.h"

namespace brevanto::graphics {

namespace {

constexpr std::int64_t kPixelsPerByte = 1024;

std::string sizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

}  // namespace

void checkImagePixels(std::int64_t width, std::int64_t height) {
    if (width > 0 && height > 0 && width > kMaxImagePixels / height)
        throw EImageTooLarge("The picture is too large: " + sizeText(width, height) +
                             " (no scanned page has more than " +
                             std::to_string(kMaxImagePixels / 1'000'000) + " million)");
}

void checkJpegPixels(std::int64_t width, std::int64_t height, std::size_t dataSize,
                     bool arithmetic) {
    checkImagePixels(width, height);
    const auto bytes = static_cast<std::int64_t>(dataSize);
    if (!arithmetic && width > 0 && height > 0 && width * height / kPixelsPerByte > bytes)
        throw EImageTooLarge("The JPEG data (" + std::to_string(dataSize) +
                             " bytes) cannot hold the " + sizeText(width, height) + " it declares");
}

}  // namespace brevanto::graphics
