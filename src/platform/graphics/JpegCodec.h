#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brevanto::graphics {

class Bitmap;

// JPEG compression and decompression with libjpeg. Every libjpeg error, and every warning that
// means corrupt or truncated data, becomes an EJPEG carrying libjpeg's message; libjpeg's
// non-local exits never cross a C++ frame that owns anything.

// A baseline JFIF stream of three components (YCbCr) at the given quality (1 to 100) from a
// pf24bit bitmap. Throws EInvalidGraphicOperation for another format or an empty bitmap.
std::vector<std::uint8_t> encodeJpeg(const Bitmap& bitmap, int quality);

// The pixels of a JPEG stream: pf8bit with a grey ramp for one-component images, pf24bit for
// everything else (YCbCr, RGB, CMYK). Throws EJPEG, or EInvalidGraphic when the image is
// larger than a Bitmap may be.
Bitmap decodeJpeg(const std::uint8_t* data, std::size_t size);

}  // namespace brevanto::graphics
