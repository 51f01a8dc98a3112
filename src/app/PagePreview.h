#pragma once

#include <QImage>

namespace brevanto::graphics {
class Bitmap;
}

// A bitmap as Qt draws it, at its own size: 24-bit pixels shared row by row, other formats
// converted first.
QImage PreviewImage(const brevanto::graphics::Bitmap& bitmap);
