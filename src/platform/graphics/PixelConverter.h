#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics/DibTypes.h"
#include "platform/graphics/PixelFormat.h"

namespace brevanto::graphics {

class Bitmap;

// Pixel-level reading, writing and format conversion for Bitmap.
//
// Conversion rules: between palette formats the palette and the indices are carried over
// unchanged when the source palette fits into the target (1 or 4 bits to 8 bits, or a small
// palette into fewer bits); true-colour targets take each pixel's colour. A palette target for
// pixels with more colours than it holds gets an exact palette when the picture uses few enough
// colours, otherwise a fixed one (black and white, the 16 standard colours, or 3-3-2 levels of
// red, green and blue) with each pixel mapped to the nearest entry.

// n entries from black to white.
std::vector<PaletteEntry> greyPalette(int n);

// The colour of pixel x of a row of the bitmap's format.
RgbColor readPixel(const Bitmap& bitmap, const std::uint8_t* row, int x);
// Stores a colour into pixel x of a row of a true-colour format.
void writePixel(const Bitmap& bitmap, std::uint8_t* row, int x, RgbColor color);
// The palette index of pixel x of a row of a palette format, and its inverse.
int readIndex(const Bitmap& bitmap, const std::uint8_t* row, int x);
void writeIndex(const Bitmap& bitmap, std::uint8_t* row, int x, int index);

// The entry of palette nearest to color (squared distance); 0 for an empty palette.
int nearestPaletteIndex(const std::vector<PaletteEntry>& palette, RgbColor color);

// A copy of source in format (a storable one), bottom-up, resolution not carried.
Bitmap convertPixelFormat(const Bitmap& source, PixelFormat format);

}  // namespace brevanto::graphics
