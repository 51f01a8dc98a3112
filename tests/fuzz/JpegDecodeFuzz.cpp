// Fuzzing target: a JPEG file as the program takes it (JpegImage::loadFromBytes) and decodes it
// for the preview or a bitmap (assignTo, which runs decodeJpeg over libjpeg). EJPEG and
// EInvalidGraphic are the documented refusals. Beyond sanitizer reports, a finding is any other
// exception, or a decoded bitmap whose size or kind differs from what the stream's header said.

#include <cstddef>
#include <cstdint>

#include "FuzzFinding.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/JpegImage.h"

using brevanto::graphics::Bitmap;
using brevanto::graphics::EInvalidGraphic;
using brevanto::graphics::JpegImage;
using brevanto::graphics::PixelFormat;

// The decoder allocates the whole bitmap a header declares before it reads any scan data, so a
// few hundred bytes can ask for up to 2 GB. Until the declared size is checked against the data,
// such streams are not decoded here: they only exhaust the fuzzer's memory. 40 Mpx is above an
// A3 page at 600 dpi.
constexpr long long kMaxDecodedPixels = 40'000'000;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    JpegImage image;
    try {
        image.loadFromBytes(data, size);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    if (static_cast<long long>(image.width()) * image.height() > kMaxDecodedPixels) return 0;
    Bitmap bitmap;
    try {
        image.assignTo(bitmap);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    if (bitmap.width() != image.width() || bitmap.height() != image.height())
        fuzz::finding("the decoded bitmap is not the size the frame header declares");
    const PixelFormat expected =
        image.components() == 1 ? PixelFormat::pf8bit : PixelFormat::pf24bit;
    if (bitmap.pixelFormat() != expected)
        fuzz::finding("the decoded bitmap's pixel format does not follow its components");
    return 0;
}
