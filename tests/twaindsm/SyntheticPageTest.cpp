#include <gtest/gtest.h>

#include "platform/twaindsm/ScanRaster.h"
#include "platform/twaindsm/SyntheticPage.h"

namespace brevanto::twaindsm {
namespace {

PageSpec a4(int pageNumber, int dpi = 150) {
    PageSpec spec;
    spec.width = millimetresToPixels(210, dpi);
    spec.height = millimetresToPixels(297, dpi);
    spec.dpi = dpi;
    spec.pageNumber = pageNumber;
    spec.sourceName = "Brevanto Virtual Scanner";
    return spec;
}

TEST(TwainDsmPage, A4At150DpiHasTheExpectedSize) {
    const PageSpec spec = a4(1);
    EXPECT_EQ(spec.width, 1240);
    EXPECT_EQ(spec.height, 1754);
    const PageCanvas page = renderPage(spec);
    EXPECT_EQ(page.width(), 1240);
    EXPECT_EQ(page.height(), 1754);
}

TEST(TwainDsmPage, ShowsTitleNameAndColourPatchesWhereTheLayoutSays) {
    const PageSpec spec = a4(7);
    const PageLayout layout = layoutPage(spec);
    const PageCanvas page = renderPage(spec);
    // Margins are white; the title's "P" starts with a dark dot at its top-left corner.
    EXPECT_EQ(page.pixel(0, 0), kPageWhite);
    EXPECT_EQ(page.pixel(spec.width - 1, spec.height - 1), kPageWhite);
    EXPECT_EQ(page.pixel(layout.title.x, layout.title.y), kPageInk);
    EXPECT_EQ(page.pixel(layout.sourceName.x, layout.sourceName.y), kPageNameInk);
    // Red, green and blue from left to right, at the top right.
    EXPECT_EQ(page.pixel(layout.redPatch.centerX(), layout.redPatch.centerY()), kPageRed);
    EXPECT_EQ(page.pixel(layout.greenPatch.centerX(), layout.greenPatch.centerY()), kPageGreen);
    EXPECT_EQ(page.pixel(layout.bluePatch.centerX(), layout.bluePatch.centerY()), kPageBlue);
    EXPECT_LT(layout.redPatch.x, layout.greenPatch.x);
    EXPECT_LT(layout.greenPatch.x, layout.bluePatch.x);
    EXPECT_GT(layout.redPatch.x, spec.width / 2);
    EXPECT_LT(layout.redPatch.y, spec.height / 8);
    // The footer is inside the page, near its bottom.
    EXPECT_GT(layout.footer.y, spec.height * 7 / 8);
    EXPECT_LE(layout.footer.y + layout.footer.height, spec.height);
}

TEST(TwainDsmPage, HasRowsOfTextLikeBlocks) {
    const PageSpec spec = a4(1);
    const PageLayout layout = layoutPage(spec);
    const PageCanvas page = renderPage(spec);
    int inkedRows = 0;
    for (int y = layout.firstTextLine; y < layout.footer.y; ++y) {
        int ink = 0;
        for (int x = 0; x < spec.width; ++x) ink += page.pixel(x, y) == kPageBlockInk;
        inkedRows += ink > spec.width / 4;
    }
    // About half of every line spacing is a row of blocks.
    EXPECT_GT(inkedRows, (layout.footer.y - layout.firstTextLine) / 3);
}

TEST(TwainDsmPage, PagesDifferByNumberAndRepeatExactly) {
    const PageCanvas one = renderPage(a4(1, 75));
    const PageCanvas oneAgain = renderPage(a4(1, 75));
    const PageCanvas two = renderPage(a4(2, 75));
    int sameAsAgain = 0;
    int differentFromTwo = 0;
    for (int y = 0; y < one.height(); ++y)
        for (int x = 0; x < one.width(); ++x) {
            sameAsAgain += one.pixel(x, y) == oneAgain.pixel(x, y);
            differentFromTwo += !(one.pixel(x, y) == two.pixel(x, y));
        }
    EXPECT_EQ(sameAsAgain, one.width() * one.height());
    EXPECT_GT(differentFromTwo, one.width() * one.height() / 50);
}

TEST(TwainDsmPage, TinyPagesClipInsteadOfFailing) {
    PageSpec spec;
    spec.width = 10;
    spec.height = 10;
    spec.dpi = 25;
    spec.pageNumber = 123456;
    spec.sourceName = "A very long source name indeed";
    const PageCanvas page = renderPage(spec);
    EXPECT_EQ(page.width(), 10);
    const ScanRaster raster = encodeRaster(page, TWPT_BW, TWPF_CHOCOLATE);
    EXPECT_EQ(raster.rowBytes, 4u);
    EXPECT_EQ(raster.size(), 40u);
}

TEST(TwainDsmPage, EncodesEachPixelType) {
    PageCanvas canvas(4, 1);
    canvas.fillRect({0, 0, 1, 1}, kPageRed);
    canvas.fillRect({1, 0, 1, 1}, kPageBlockInk);
    canvas.fillRect({2, 0, 1, 1}, kPageInk);
    struct Case {
        TW_INT16 pixelType;
        TW_UINT16 flavor;
        std::vector<std::uint8_t> row;
    };
    const Case cases[] = {
        {TWPT_RGB, TWPF_CHOCOLATE, {255, 0, 0, 64, 64, 64, 0, 0, 0, 255, 255, 255}},
        {TWPT_GRAY, TWPF_CHOCOLATE, {76, 64, 0, 255}},
        // Dark pixels (red's grey is 76) are 0 with chocolate, 1 with vanilla.
        {TWPT_BW, TWPF_CHOCOLATE, {0x10, 0, 0, 0}},
        {TWPT_BW, TWPF_VANILLA, {0xE0, 0, 0, 0}},
        {TWPT_PALETTE, TWPF_CHOCOLATE, {180, 43, 0, 215}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pixelType * 10 + c.flavor);
        const ScanRaster raster = encodeRaster(canvas, c.pixelType, c.flavor);
        EXPECT_EQ(raster.rowBytes % 4, 0u);
        std::vector<std::uint8_t> row(raster.bytes.begin(), raster.bytes.begin() + c.row.size());
        EXPECT_EQ(row, c.row);
        EXPECT_EQ(raster.pixel(0, 0), c.pixelType == TWPT_RGB || c.pixelType == TWPT_PALETTE
                                          ? kPageRed
                                      : c.pixelType == TWPT_GRAY ? (Rgb{76, 76, 76})
                                                                 : (Rgb{0, 0, 0}));
        EXPECT_EQ(raster.pixel(3, 0), kPageWhite);
    }
}

}  // namespace
}  // namespace brevanto::twaindsm
