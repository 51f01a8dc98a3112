#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/twaindsm/PageCanvas.h"
#include "twain/Twain.h"

namespace brevanto::twaindsm {

// One scanned image as a TWAIN source hands it out: rows top row first, each row padded to a
// multiple of 4 bytes (the row length an application's bitmap uses), pixels in the TWAIN
// pixel type's order: 1 bit per pixel with the leftmost pixel in the high bit (TWPT_BW),
// 8-bit grey levels (TWPT_GRAY), red-green-blue byte triples (TWPT_RGB) or 8-bit indices into
// palette (TWPT_PALETTE). Owns its bytes.
struct ScanRaster {
    int width = 0;
    int height = 0;
    TW_INT16 pixelType = TWPT_RGB;
    int bitsPerPixel = 24;
    std::size_t rowBytes = 0;
    std::vector<std::uint8_t> bytes;
    // What each pixel value means: 2 entries for TWPT_BW (after the pixel flavor), 256 for
    // TWPT_GRAY and TWPT_PALETTE, none for TWPT_RGB.
    std::vector<Rgb> palette;

    std::size_t size() const { return bytes.size(); }
    // The colour of one pixel, through the palette where there is one.
    Rgb pixel(int x, int y) const;
};

// Bits per pixel of a TWAIN pixel type: 1, 8, 24, or 8 for the palette type.
int bitsPerPixelOf(TW_INT16 pixelType);
// ((bits * width + 31) / 32) * 4.
std::size_t rowBytesFor(int width, int bitsPerPixel);

// The 256 colours of the palette type: a 6 x 6 x 6 colour cube, then a 40-step grey ramp.
const std::vector<Rgb>& virtualPalette();

// The palette of a raster of that pixel type and flavor (see ScanRaster::palette).
std::vector<Rgb> paletteFor(TW_INT16 pixelType, TW_UINT16 pixelFlavor);

// Converts a page: grey is the luminance (299 R + 587 G + 114 B) / 1000; black and white
// thresholds the grey at 128, a dark pixel being 0 with TWPF_CHOCOLATE and 1 with TWPF_VANILLA;
// the palette type takes the nearest colour-cube entry.
ScanRaster encodeRaster(const PageCanvas& canvas, TW_INT16 pixelType, TW_UINT16 pixelFlavor);

}  // namespace brevanto::twaindsm
