// Fuzzing target: a BMP file as the program reads a scanned page's file (decodeBmpFile, which
// Bitmap::loadFromBytes and Picture use). EInvalidGraphic is its documented refusal; any other
// exception, a sanitizer report or a broken check in FuzzFinding.h is a finding.

#include <cstddef>
#include <cstdint>

#include "FuzzFinding.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpFile.h"
#include "platform/graphics/GraphicErrors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    brevanto::graphics::Bitmap bitmap;
    try {
        bitmap = brevanto::graphics::decodeBmpFile(data, size);
    } catch (const brevanto::graphics::EInvalidGraphic&) {
        return 0;
    }
    fuzz::checkAcceptedBitmap(bitmap);
    return 0;
}
