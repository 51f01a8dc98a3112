#include "platform/graphics/Graphic.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/FileBytes.h"

namespace brevanto::graphics {

namespace {
// No picture we handle comes near this; it bounds what a stray huge file can cost.
constexpr std::size_t kMaxFileBytes = Bitmap::kMaxPixelBytes + (std::size_t{1} << 20);
}  // namespace

Graphic::~Graphic() = default;

void Graphic::loadFromFile(const std::filesystem::path& path) {
    loadFromFileBytes(readFileBytes(path, kMaxFileBytes));
}

void Graphic::loadFromFileBytes(std::vector<std::uint8_t>&& data) {
    loadFromBytes(data.data(), data.size());
}

void Graphic::saveToFile(const std::filesystem::path& path) const {
    const std::vector<std::uint8_t> data = saveToBytes();
    writeFileAtomically(path, data.data(), data.size());
}

}  // namespace brevanto::graphics
