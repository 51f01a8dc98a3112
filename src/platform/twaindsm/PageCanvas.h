#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace brevanto::twaindsm {

// One colour of a synthetic page.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A rectangle in pixels, origin top-left.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int centerX() const { return x + width / 2; }
    int centerY() const { return y + height / 2; }
};

// A white RGB drawing surface, row 0 at the top, that the virtual scanner paints its pages on.
// Everything drawn is clipped to the canvas. Owns its pixels.
class PageCanvas final {
  public:
    PageCanvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb pixel(int x, int y) const;

    void fillRect(const PixelRect& rect, Rgb color);
    // Text in the dot font, each dot a dotSize x dotSize square, one blank dot between
    // characters; (x, y) is the top-left corner. Returns the rectangle the text covers.
    PixelRect drawText(int x, int y, int dotSize, std::string_view text, Rgb color);
    // The width drawText would take.
    static int textWidth(int dotSize, std::string_view text);

  private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

}  // namespace brevanto::twaindsm
