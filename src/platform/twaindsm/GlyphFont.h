#pragma once

#include <cstdint>

namespace brevanto::twaindsm {

// A fixed 5 x 7 dot font for the synthetic pages: digits, upper-case letters and a little
// punctuation, so that page texts render the same on every machine without a font engine.
class GlyphFont final {
  public:
    static constexpr int kColumns = 5;
    static constexpr int kRows = 7;

    // The dots of one character, row 0 the top one; bit 4 of a row is its leftmost dot.
    // Lower-case letters take their upper-case glyph; unknown characters are blank.
    static const std::uint8_t* glyph(char c);
};

}  // namespace brevanto::twaindsm
