// Fuzzing target: a packed DIB as a native TWAIN transfer or the clipboard hands it over
// (Bitmap::fromPackedDib: parseDibHeader, then readDibPixels). EInvalidGraphic is its
// documented refusal; any other exception, a sanitizer report or a broken check in
// FuzzFinding.h is a finding.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzFinding.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicErrors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<brevanto::graphics::Bitmap> bitmap;
    try {
        bitmap = brevanto::graphics::Bitmap::fromPackedDib(data, size);
    } catch (const brevanto::graphics::EInvalidGraphic&) {
        return 0;
    }
    if (bitmap == nullptr) fuzz::finding("a packed DIB gave no bitmap and no error");
    fuzz::checkAcceptedBitmap(*bitmap);
    return 0;
}
