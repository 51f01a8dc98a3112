#include "twain/MemoryImageHeader.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace twain {

std::uint64_t DibRowLength(std::int64_t bitsPerPixel, std::int64_t width) {
    if (bitsPerPixel <= 0 || width <= 0) return 0;
    return static_cast<std::uint64_t>((bitsPerPixel * width + 31) / 32) * 4;
}

std::optional<std::uint32_t> RoundedImageSize(std::uint64_t size, std::uint32_t preferred) {
    if (preferred == 0) return std::nullopt;
    const std::uint64_t rounded = (size / preferred + 1) * preferred;
    if (rounded > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    return static_cast<std::uint32_t>(rounded);
}

std::int32_t PelsPerMeter(long double resolution, TScanUnit unit) {
    long double perMetre = 0;
    if (unit == suInches)
        perMetre = resolution / 2.54L * 100.0L;
    else if (unit == suCentimeters)
        perMetre = resolution * 100.0L;
    else
        return 0;
    // A TW_FIX32 is at most 32768, so this always fits; trunc as the header takes it.
    return static_cast<std::int32_t>(std::trunc(perMetre));
}

void SetBlackWhiteColors(MemoryImageHeader& image, TPixelFlavor flavor) {
    image.header.biClrUsed = 2;
    image.header.biClrImportant = 0;
    const win::RGBQUAD black{0, 0, 0, 0};
    const win::RGBQUAD white{255, 255, 255, 0};
    image.colors[0] = flavor == flVanilla ? white : black;
    image.colors[1] = flavor == flVanilla ? black : white;
}

void SetGrayColors(MemoryImageHeader& image) {
    image.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        image.colors[static_cast<std::size_t>(i)] = win::RGBQUAD{level, level, level, 0};
    }
}

void SetPaletteColors(MemoryImageHeader& image, const TW_PALETTE8& palette) {
    const std::size_t count = std::min<std::size_t>(palette.NumColors, 256);
    image.header.biClrUsed = static_cast<std::uint32_t>(count);
    for (std::size_t i = 0; i < count; ++i) {
        const TW_ELEMENT8& c = palette.Colors[i];
        image.colors[i] = win::RGBQUAD{c.Channel3, c.Channel2, c.Channel1, 0};
    }
}

}  // namespace twain
