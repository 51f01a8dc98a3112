#pragma once

#include <string>

#include "platform/twaindsm/PageCanvas.h"

namespace brevanto::twaindsm {

// What one page of the virtual scanner shows.
struct PageSpec {
    int width = 0;   // pixels
    int height = 0;  // pixels
    int dpi = 150;
    int pageNumber = 1;
    std::string sourceName;
};

// Where the recognisable parts of a page lie, in pixels, so that tests and people can find
// them: the title "PAGE n" at the top left, the source's name under it, three colour patches
// (red, green, blue, left to right) at the top right, and a footer "- n -".
struct PageLayout {
    int dot = 1;  // dot size of the title font
    PixelRect title;
    PixelRect sourceName;
    PixelRect redPatch;
    PixelRect greenPatch;
    PixelRect bluePatch;
    PixelRect footer;
    int firstTextLine = 0;  // top of the first row of text-like blocks
    int lineSpacing = 1;
};

inline constexpr Rgb kPageWhite{255, 255, 255};
inline constexpr Rgb kPageInk{0, 0, 0};
inline constexpr Rgb kPageNameInk{0, 0, 128};
inline constexpr Rgb kPageBlockInk{64, 64, 64};
inline constexpr Rgb kPageRed{255, 0, 0};
inline constexpr Rgb kPageGreen{0, 255, 0};
inline constexpr Rgb kPageBlue{0, 0, 255};

// The page's geometry at its size and resolution (millimetres scaled by dpi, so pages look
// alike at every resolution).
PageLayout layoutPage(const PageSpec& spec);

// The whole page in RGB. The rows of text-like blocks vary with the page number.
PageCanvas renderPage(const PageSpec& spec);

// Pixels of a length in millimetres at dpi, rounded.
int millimetresToPixels(double millimetres, int dpi);

}  // namespace brevanto::twaindsm
