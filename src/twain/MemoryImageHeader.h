#pragma once

// The header and colour table of a memory-mode image, and the rules that fill them from the
// source's image information: row length, rounded image size, resolution in pixels per metre,
// and the colour tables of black-and-white, grey and palette images. Plain values, no handles.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/win/Gdi.h"
#include "twain/Twain.h"
#include "twain/TwainEnums.h"

namespace twain {

struct MemoryImageHeader {
    win::BITMAPINFOHEADER header;
    std::array<win::RGBQUAD, 256> colors{};
};

// ((bits * width + 31) div 32) * 4, in 64 bits so no source value overflows it.
std::uint64_t DibRowLength(std::int64_t bitsPerPixel, std::int64_t width);

// (size div preferred + 1) * preferred: the next multiple of preferred above size. Nullopt for
// a preferred of 0 or a result beyond 32 bits.
std::optional<std::uint32_t> RoundedImageSize(std::uint64_t size, std::uint32_t preferred);

// trunc(value / 2.54 * 100) for inches, trunc(value * 100) for centimetres, 0 for every other
// unit (suUnknown included: a source without units gets no resolution).
std::int32_t PelsPerMeter(long double resolution, TScanUnit unit);

// Entry 0 black and 1 white, reversed for flVanilla; biClrUsed 2.
void SetBlackWhiteColors(MemoryImageHeader& image, TPixelFlavor flavor);
// The 256-entry grey ramp; biClrUsed 256.
void SetGrayColors(MemoryImageHeader& image);
// The source's palette, at most 256 entries whatever NumColors claims; biClrUsed the count.
void SetPaletteColors(MemoryImageHeader& image, const TW_PALETTE8& palette);

}  // namespace twain
