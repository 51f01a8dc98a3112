#include "app/PagePreview.h"

#include <cstring>

#include "platform/graphics/Bitmap.h"

using brevanto::graphics::Bitmap;
using brevanto::graphics::PixelFormat;

QImage PreviewImage(const Bitmap& bitmap) {
    if (bitmap.empty()) return {};
    if (bitmap.pixelFormat() != PixelFormat::pf24bit) {
        Bitmap converted(bitmap);
        converted.setPixelFormat(PixelFormat::pf24bit);
        return PreviewImage(converted);
    }
    QImage image(bitmap.width(), bitmap.height(), QImage::Format_BGR888);
    const auto rowBytes = static_cast<std::size_t>(bitmap.width()) * 3;
    for (int y = 0; y < bitmap.height(); ++y)
        std::memcpy(image.scanLine(y), bitmap.scanLine(y), rowBytes);
    return image;
}
