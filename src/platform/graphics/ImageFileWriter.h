#pragma once

#include <filesystem>

#include "platform/graphics/Bitmap.h"

namespace brevanto::graphics {

// Page files written straight to an open file descriptor, for writers that create the file
// themselves (exclusively, under a temporary name). Both throw EFCreateError naming shownPath
// with the system's reason when a write fails; what was written before stays for the caller
// to remove.

// The bitmap as a BMP file in its own pixel format: the same bytes as encodeBmpFile.
void writeBmpFile(int fd, const Bitmap& bitmap, const std::filesystem::path& shownPath);

// The bitmap as a baseline JFIF JPEG of three components at quality: the same bytes as
// encodeJpeg of the bitmap converted to pf24bit.
void writeJpegFile(int fd, const Bitmap& bitmap, int quality,
                   const std::filesystem::path& shownPath);

}  // namespace brevanto::graphics
