#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brevanto::graphics {

class Bitmap;

// The Windows BMP file format and packed DIBs, in and out of memory.

// A BMP file: the 14-byte file header, then a packed DIB whose pixels start at the header's
// offset. Throws EInvalidGraphic for a file that is not a BMP, is truncated anywhere, or
// describes a bitmap we do not store.
Bitmap decodeBmpFile(const std::uint8_t* data, std::size_t size);

// A BMP file in the bitmap's own pixel format: BITMAPINFOHEADER, 5-6-5 masks for pf16bit, the
// palette for the palette formats, rows bottom-up.
std::vector<std::uint8_t> encodeBmpFile(const Bitmap& bitmap);

// What encodeBmpFile writes before the rows: the file header (its size counting the rows),
// the DIB header, the masks and the palette.
std::vector<std::uint8_t> encodeBmpFileHeader(const Bitmap& bitmap);

// The same without the file header.
std::vector<std::uint8_t> encodePackedDib(const Bitmap& bitmap);

}  // namespace brevanto::graphics
