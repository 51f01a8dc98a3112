#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/twaindsm/ImageDevice.h"
#include "platform/win/WinTypes.h"

namespace brevanto::twaindsm {

// Turns a page's bytes (top row first, TWAIN order, see ScanRaster) into what the native and
// file transfers hand over: a Windows bitmap with its colour table and resolution.
class TransferImage final {
  public:
    // bytes must hold geometry.imageBytes() bytes.
    static graphics::Bitmap toBitmap(const ImageGeometry& geometry, const std::vector<Rgb>& palette,
                                     const std::uint8_t* bytes);

    // A movable block holding the bitmap as a packed DIB; null when memory cannot be had.
    // The caller (the application) owns the block.
    static win::HGLOBAL packedDib(const graphics::Bitmap& bitmap);

    // Writes the bitmap as a BMP file: to a temporary file beside it first, renamed over path
    // only when complete, so a failed write leaves no partial file. False on any failure.
    static bool writeBmpFile(const graphics::Bitmap& bitmap, const std::string& path);
};

}  // namespace brevanto::twaindsm
