#include "platform/graphics/Graphic.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/FileBytes.h"

namespace brevanto::graphics {

Graphic::~Graphic() = default;

std::size_t Graphic::maxFileBytes() { return Bitmap::kMaxPixelBytes + (std::size_t{1} << 20); }

void Graphic::loadFromFile(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> data = readFileBytes(path, maxFileBytes());
    loadFromBytes(data.data(), data.size());
}

void Graphic::saveToFile(const std::filesystem::path& path) const {
    const std::vector<std::uint8_t> data = saveToBytes();
    writeFileAtomically(path, data.data(), data.size());
}

}  // namespace brevanto::graphics
