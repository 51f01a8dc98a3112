// Fuzzing target: the marker walk that decides whether a file is a whole JPEG stream
// (inspectJpeg) and JpegImage::loadFromBytes, which the program runs on every page's JPEG file.
// EJPEG and EImageTooLarge are their documented refusals. Beyond sanitizer reports, a finding is
// any other exception, the two disagreeing, or a loaded picture that does not report what the walk
// found or does not keep the bytes as given.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "FuzzFinding.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/JpegStructure.h"

// Malformed streams (EJPEG) and sizes refused before allocating (EImageTooLarge) alike.
using brevanto::graphics::EInvalidGraphic;
using brevanto::graphics::JpegImage;
using brevanto::graphics::JpegStructure;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::optional<JpegStructure> s;
    try {
        s = brevanto::graphics::inspectJpeg(data, size);
    } catch (const EInvalidGraphic&) {
    }
    // The walk over windows of a file must find exactly what the walk over memory finds.
    if (size > 0) {
        const std::size_t window = 2 + data[size - 1] % 23;
        std::optional<JpegStructure> windowed;
        std::string memoryError = "accepted";
        std::string windowError = "accepted";
        try {
            brevanto::graphics::inspectJpeg(data, size);
        } catch (const EInvalidGraphic& error) {
            memoryError = error.what();
        }
        try {
            windowed = brevanto::graphics::inspectJpeg(
                size,
                [&](std::size_t offset, std::uint8_t* out, std::size_t count) {
                    if (offset > size || count > size - offset) fuzz::finding("read past the end");
                    std::memcpy(out, data + offset, count);
                },
                window);
        } catch (const EInvalidGraphic& error) {
            windowError = error.what();
        }
        if (memoryError != windowError) fuzz::finding("the windowed walk disagrees");
        if (s && windowed &&
            (windowed->width != s->width || windowed->height != s->height ||
             windowed->components != s->components || windowed->progressive != s->progressive ||
             windowed->adobe != s->adobe || windowed->jfif != s->jfif))
            fuzz::finding("the windowed walk found another structure");
    }
    JpegImage image;
    try {
        image.loadFromBytes(data, size);
    } catch (const EInvalidGraphic&) {
        if (s) fuzz::finding("loadFromBytes refused a stream inspectJpeg accepted");
        if (!image.empty()) fuzz::finding("a refused stream left the picture changed");
        return 0;
    }
    if (!s) fuzz::finding("loadFromBytes took a stream inspectJpeg refused");
    if (s->width <= 0 || s->height <= 0 || s->components <= 0)
        fuzz::finding("an accepted stream has no size or no components");
    if (image.width() != s->width || image.height() != s->height ||
        image.components() != s->components || image.progressive() != s->progressive ||
        image.adobeMarker() != s->adobe)
        fuzz::finding("the picture does not report what its stream says");
    if (image.saveToBytes() != std::vector<std::uint8_t>(data, data + size))
        fuzz::finding("the picture did not keep its bytes as given");
    return 0;
}
