#include "platform/twaindsm/SyntheticPage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace brevanto::twaindsm {

namespace {

constexpr double kMarginMm = 12.0;
constexpr double kPatchMm = 12.0;
constexpr double kPatchGapMm = 2.0;

std::string titleText(int pageNumber) { return "PAGE " + std::to_string(pageNumber); }
std::string footerText(int pageNumber) { return "- " + std::to_string(pageNumber) + " -"; }

// A small deterministic generator, so every page number always gets the same text blocks.
class BlockRandom {
  public:
    explicit BlockRandom(std::uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    int next(int low, int high) {
        state_ = state_ * 1664525u + 1013904223u;
        return low + static_cast<int>((state_ >> 8) % static_cast<std::uint32_t>(high - low + 1));
    }

  private:
    std::uint32_t state_;
};

}  // namespace

int millimetresToPixels(double millimetres, int dpi) {
    return static_cast<int>(std::lround(millimetres * dpi / 25.4));
}

PageLayout layoutPage(const PageSpec& spec) {
    PageLayout layout;
    const int margin = millimetresToPixels(kMarginMm, spec.dpi);
    layout.dot = std::max(1, millimetresToPixels(1.6, spec.dpi));
    const int nameDot = std::max(1, millimetresToPixels(0.6, spec.dpi));
    const std::string title = titleText(spec.pageNumber);
    layout.title = {margin, margin, PageCanvas::textWidth(layout.dot, title), 7 * layout.dot};
    layout.sourceName = {margin, layout.title.y + layout.title.height + 2 * nameDot,
                         PageCanvas::textWidth(nameDot, spec.sourceName), 7 * nameDot};

    const int patch = std::max(1, millimetresToPixels(kPatchMm, spec.dpi));
    const int gap = millimetresToPixels(kPatchGapMm, spec.dpi);
    const int right = spec.width - margin;
    layout.bluePatch = {right - patch, margin, patch, patch};
    layout.greenPatch = {layout.bluePatch.x - gap - patch, margin, patch, patch};
    layout.redPatch = {layout.greenPatch.x - gap - patch, margin, patch, patch};

    const int footerDot = std::max(1, millimetresToPixels(0.8, spec.dpi));
    const std::string footer = footerText(spec.pageNumber);
    const int footerWidth = PageCanvas::textWidth(footerDot, footer);
    layout.footer = {(spec.width - footerWidth) / 2, spec.height - margin - 7 * footerDot,
                     footerWidth, 7 * footerDot};

    layout.firstTextLine = std::max(layout.sourceName.y + layout.sourceName.height,
                                    layout.redPatch.y + layout.redPatch.height) +
                           millimetresToPixels(8.0, spec.dpi);
    layout.lineSpacing = std::max(2, millimetresToPixels(6.0, spec.dpi));
    return layout;
}

PageCanvas renderPage(const PageSpec& spec) {
    PageCanvas canvas(spec.width, spec.height);
    const PageLayout layout = layoutPage(spec);
    const int nameDot = std::max(1, layout.sourceName.height / 7);
    canvas.drawText(layout.title.x, layout.title.y, layout.dot, titleText(spec.pageNumber),
                    kPageInk);
    canvas.drawText(layout.sourceName.x, layout.sourceName.y, nameDot, spec.sourceName,
                    kPageNameInk);
    canvas.fillRect(layout.redPatch, kPageRed);
    canvas.fillRect(layout.greenPatch, kPageGreen);
    canvas.fillRect(layout.bluePatch, kPageBlue);
    canvas.drawText(layout.footer.x, layout.footer.y, std::max(1, layout.footer.height / 7),
                    footerText(spec.pageNumber), kPageInk);

    // Rows of word-like blocks between the header and the footer, as a typed page would have.
    const int margin = layout.title.x;
    const int blockHeight = std::max(1, layout.lineSpacing / 2);
    const int wordGap = std::max(1, millimetresToPixels(2.5, spec.dpi));
    const int minWord = std::max(1, millimetresToPixels(5.0, spec.dpi));
    const int maxWord = std::max(minWord, millimetresToPixels(28.0, spec.dpi));
    BlockRandom random(static_cast<std::uint32_t>(spec.pageNumber));
    int line = 0;
    for (int y = layout.firstTextLine; y + blockHeight < layout.footer.y - layout.lineSpacing;
         y += layout.lineSpacing, ++line) {
        // Every page starts its rows indented by its own amount, so pages differ at a glance.
        int x = margin + (line == 0 ? (spec.pageNumber % 5) * minWord : 0);
        const int lineEnd = spec.width - margin - random.next(0, 3) * maxWord;
        while (lineEnd - x >= minWord) {
            const int word = std::min(random.next(minWord, maxWord), lineEnd - x);
            canvas.fillRect({x, y, word, blockHeight}, kPageBlockInk);
            x += word + wordGap;
        }
    }
    return canvas;
}

}  // namespace brevanto::twaindsm
