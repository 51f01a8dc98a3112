#include "platform/twaindsm/PageCanvas.h"

#include <algorithm>

#include "platform/twaindsm/GlyphFont.h"

namespace brevanto::twaindsm {

PageCanvas::PageCanvas(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
              Rgb{255, 255, 255}) {}

Rgb PageCanvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return Rgb{255, 255, 255};
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

void PageCanvas::fillRect(const PixelRect& rect, Rgb color) {
    const int left = std::max(rect.x, 0);
    const int top = std::max(rect.y, 0);
    const int right = std::min(rect.x + rect.width, width_);
    const int bottom = std::min(rect.y + rect.height, height_);
    for (int y = top; y < bottom; ++y) {
        Rgb* row = pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
        std::fill(row + left, row + std::max(left, right), color);
    }
}

int PageCanvas::textWidth(int dotSize, std::string_view text) {
    if (text.empty()) return 0;
    return static_cast<int>(text.size()) * (GlyphFont::kColumns + 1) * dotSize - dotSize;
}

PixelRect PageCanvas::drawText(int x, int y, int dotSize, std::string_view text, Rgb color) {
    dotSize = std::max(dotSize, 1);
    int left = x;
    for (char c : text) {
        const std::uint8_t* rows = GlyphFont::glyph(c);
        for (int r = 0; r < GlyphFont::kRows; ++r)
            for (int col = 0; col < GlyphFont::kColumns; ++col)
                if (rows[r] & (0x10 >> col))
                    fillRect({left + col * dotSize, y + r * dotSize, dotSize, dotSize}, color);
        left += (GlyphFont::kColumns + 1) * dotSize;
    }
    return {x, y, textWidth(dotSize, text), GlyphFont::kRows * dotSize};
}

}  // namespace brevanto::twaindsm
