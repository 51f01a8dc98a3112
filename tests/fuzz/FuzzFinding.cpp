#include "FuzzFinding.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpFile.h"

namespace fuzz {
namespace {

using brevanto::graphics::Bitmap;
using brevanto::graphics::PixelFormat;

// Converting a large picture costs time without reaching new code.
constexpr long kMaxConvertedPixels = 1 << 20;

bool samePicture(const Bitmap& a, const Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height() || a.pixelFormat() != b.pixelFormat() ||
        a.palette() != b.palette() || a.stride() != b.stride() ||
        a.xPelsPerMeter() != b.xPelsPerMeter() || a.yPelsPerMeter() != b.yPelsPerMeter())
        return false;
    for (int row = 0; row < a.height(); ++row)
        if (std::memcmp(a.scanLine(row), b.scanLine(row), a.stride()) != 0) return false;
    return true;
}

}  // namespace

void finding(const char* what) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

void checkAcceptedBitmap(const Bitmap& bitmap) {
    if (bitmap.empty()) finding("an empty bitmap was accepted");
    // Corners, so that a row or palette index past the block shows.
    volatile unsigned sink = 0;
    for (int y : {0, bitmap.height() - 1})
        for (int x : {0, bitmap.width() - 1}) sink = sink + bitmap.pixel(x, y).red;

    const std::vector<std::uint8_t> file = brevanto::graphics::encodeBmpFile(bitmap);
    if (!samePicture(brevanto::graphics::decodeBmpFile(file.data(), file.size()), bitmap))
        finding("the bitmap written as a BMP file reads back differently");
    const std::vector<std::uint8_t> dib = bitmap.toPackedDib();
    if (!samePicture(*Bitmap::fromPackedDib(dib.data(), dib.size()), bitmap))
        finding("the bitmap written as a packed DIB reads back differently");

    if (static_cast<long>(bitmap.width()) * bitmap.height() <= kMaxConvertedPixels) {
        Bitmap preview(bitmap);
        preview.setPixelFormat(PixelFormat::pf24bit);
        if (preview.width() != bitmap.width() || preview.height() != bitmap.height())
            finding("the 24-bit copy changed size");
    }
}

}  // namespace fuzz
