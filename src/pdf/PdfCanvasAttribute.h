#pragma once

#include <cstdint>

class TPdfFont;

// The text state of a page canvas. Setters check their range (bounds included; NaN is
// refused) and raise EPdfInvalidValue. Only the font selection ever reaches a content stream.
class TPdfCanvasAttribute {
  public:
    float WordSpace() const { return wordSpace_; }
    float CharSpace() const { return charSpace_; }
    float FontSize() const { return fontSize_; }
    // Not owned: the document owns its fonts.
    TPdfFont* Font() const { return font_; }
    float Leading() const { return leading_; }
    std::uint16_t HorizontalScaling() const { return horizontalScaling_; }

    void SetWordSpace(float value);  // 0 or more
    void SetCharSpace(float value);  // -30 to 300
    void SetFontSize(float value);   // 0 to 300
    void SetFont(TPdfFont* font) { font_ = font; }
    void SetLeading(float value);                    // 0 to 300
    void SetHorizontalScaling(std::uint16_t value);  // 10 to 300

  private:
    float wordSpace_ = 0;
    float charSpace_ = 0;
    float fontSize_ = 10;
    TPdfFont* font_ = nullptr;
    float leading_ = 0;
    std::uint16_t horizontalScaling_ = 100;
};
