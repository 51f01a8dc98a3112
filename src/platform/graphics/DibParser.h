#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/graphics/DibTypes.h"
#include "platform/graphics/PixelFormat.h"

namespace brevanto::graphics {

class Bitmap;

// The parsed description of a DIB: what its header, masks and colour table say, checked
// against the memory they came from. Shared by packed DIBs and BMP files.
struct DibDescription {
    int width = 0;
    int height = 0;  // rows, always positive
    bool topDown = false;
    PixelFormat format = PixelFormat::pf24bit;
    std::vector<PaletteEntry> palette;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::size_t headerBytes = 0;  // header, masks and colour table together
};

// Reads the header (40 bytes or larger, or a 12-byte core header), the bit-field masks and the
// colour table at data. Throws EInvalidGraphic when any of them does not fit into size bytes,
// or when the header describes something we do not store (compression, odd bit counts, a
// width, height or pixel block beyond Bitmap's limits).
DibDescription parseDibHeader(const std::uint8_t* data, std::size_t size);

// The pixel format a header's bit count, compression and masks stand for; throws
// EInvalidGraphic when there is none.
PixelFormat dibPixelFormat(std::uint16_t bitCount, std::uint32_t compression,
                           const std::uint32_t* masks);

// Checks width, height and bit count against Bitmap's limits; throws EInvalidGraphic.
void checkDibGeometry(std::int64_t width, std::int64_t height, int bitsPerPixel);

// A bitmap of the description, its rows copied from pixels (stored bottom-up or top-down as the
// description says). Throws EInvalidGraphic when fewer than the image's bytes are available.
Bitmap readDibPixels(const DibDescription& description, const std::uint8_t* pixels,
                     std::size_t available);

// "Bitmap image is not valid: " + detail, as EInvalidGraphic.
[[noreturn]] void throwInvalidBitmap(const char* detail);

}  // namespace brevanto::graphics
