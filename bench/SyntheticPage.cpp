#include "SyntheticPage.h"

#include <cstdint>

namespace brevanto::bench {

namespace {

constexpr int kWidth = 2480;
constexpr int kHeight = 3508;
constexpr std::int32_t kPelsPerMeter300Dpi = 11811;
constexpr int kMargin = 180;
constexpr int kLinePitch = 56;
constexpr int kGlyphHeight = 30;

// xorshift32: fast and deterministic; the pages only need to look busy to the codec.
class Noise {
  public:
    explicit Noise(unsigned seed) : state_(seed * 2654435761u + 1u) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

  private:
    std::uint32_t state_;
};

// One text line: for each column, the glyph's shape bits (0 between glyphs and words).
// A glyph is a few vertical strokes and horizontal bars, chosen at random.
struct TextLine {
    std::uint8_t stroke[kWidth];  // this column is a vertical stroke of its glyph
    std::uint8_t bars[kWidth];    // which of the glyph's 8 bands hold a horizontal bar
};

void makeLine(TextLine& line, Noise& noise) {
    // Lines end anywhere in their last third; one in five is a paragraph's blank line.
    const int textWidth = kWidth - 2 * kMargin;
    const int end = noise.next() % 5 == 0
                        ? kMargin
                        : kWidth - kMargin - static_cast<int>(noise.next() % (textWidth / 3));
    int x = 0;
    while (x < kWidth) {
        const int glyph = 14 + static_cast<int>(noise.next() % 16);
        // About a quarter of the possible strokes and bars are drawn.
        const std::uint32_t shape = noise.next() & noise.next();
        const bool space = noise.next() % 7 == 0;
        for (int i = 0; i < glyph && x < kWidth; ++i, ++x) {
            const bool inside = x >= kMargin && x < end && !space && i >= 3;
            const int stem = (i - 3) / 3;  // strokes three pixels wide
            line.stroke[x] = inside && ((shape >> (8 + stem % 16)) & 1) != 0;
            line.bars[x] = inside ? static_cast<std::uint8_t>(shape & 0xFF) : 0;
        }
    }
}

}  // namespace

graphics::Bitmap makeScannedPage(unsigned seed) {
    graphics::Bitmap page(kWidth, kHeight, graphics::PixelFormat::pf24bit);
    page.setResolution(kPelsPerMeter300Dpi, kPelsPerMeter300Dpi);
    Noise noise(seed);
    TextLine line{};
    for (int y = 0; y < kHeight; ++y) {
        const int lineRow = y - kMargin >= 0 ? (y - kMargin) % kLinePitch : -1;
        if (lineRow == 0) makeLine(line, noise);
        const bool textRow =
            y >= kMargin && y < kHeight - kMargin && lineRow >= 0 && lineRow < kGlyphHeight;
        const int band = textRow ? lineRow * 8 / kGlyphHeight : 0;
        std::uint8_t* row = page.scanLine(y);
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t r = noise.next();
            // Paper near white with a little grain; ink dark with a little more.
            int level = 238 + static_cast<int>(r & 1);
            if (textRow && (line.stroke[x] || ((line.bars[x] >> band) & 1) != 0))
                level = 30 + static_cast<int>((r >> 8) & 15);
            const auto v = static_cast<std::uint8_t>(level);
            row[3 * x] = static_cast<std::uint8_t>(v - 8);  // the paper is a little yellow
            row[3 * x + 1] = v;
            row[3 * x + 2] = v;
        }
    }
    return page;
}

}  // namespace brevanto::bench
