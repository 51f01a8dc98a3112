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

// Where encodeJpegTo puts the compressed bytes, in blocks. write runs inside libjpeg, so it must
// not throw: it answers false when the bytes could not be taken, and encodeJpegTo then stops
// the compression and calls raise, which throws the sink's own error.
class JpegSink {
  public:
    virtual bool write(const std::uint8_t* data, std::size_t size) noexcept = 0;
    [[noreturn]] virtual void raise() = 0;

  protected:
    ~JpegSink() = default;
};

// The same bytes as encodeJpeg of the bitmap converted to pf24bit, compressed straight from the
// bitmap's rows (other formats are converted a few rows at a time into a small buffer) and
// handed to sink in blocks. Throws what encodeJpeg throws, and the sink's error.
void encodeJpegTo(const Bitmap& bitmap, int quality, JpegSink& sink);

// The pixels of a JPEG stream: pf8bit with a grey ramp for one-component images, pf24bit for
// everything else (YCbCr, RGB, CMYK). Throws EJPEG, or EInvalidGraphic when the image is
// larger than a Bitmap may be.
Bitmap decodeJpeg(const std::uint8_t* data, std::size_t size);

}  // namespace brevanto::graphics
