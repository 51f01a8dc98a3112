#include <vector>

#include <gtest/gtest.h>

#include "TestImages.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/PixelConverter.h"

namespace brevanto::graphics {
namespace {

using test::gradientBitmap;
using test::patternBitmap;

const PixelFormat kAll[] = {PixelFormat::pf1bit,  PixelFormat::pf4bit,  PixelFormat::pf8bit,
                            PixelFormat::pf15bit, PixelFormat::pf16bit, PixelFormat::pf24bit,
                            PixelFormat::pf32bit};

// Black, white and pure red and blue survive every format: 1 bit holds two of them, so the
// two-colour picture is the one that must survive everywhere.
Bitmap twoColourPicture(PixelFormat format) {
    Bitmap bitmap(9, 3, PixelFormat::pf24bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x)
            bitmap.setPixel(x, y, (x + y) % 3 == 0 ? RgbColor{255, 0, 0} : RgbColor{0, 0, 255});
    bitmap.setPixelFormat(format);
    return bitmap;
}

TEST(PixelConverter, EveryFormatConvertsToEveryOtherKeepingColours) {
    for (PixelFormat from : kAll) {
        for (PixelFormat to : kAll) {
            SCOPED_TRACE(testing::Message() << bitsPerPixelOf(from) << " -> " << bitsPerPixelOf(to)
                                            << (to == PixelFormat::pf15bit ? " (15)" : ""));
            Bitmap bitmap = twoColourPicture(from);
            bitmap.setResolution(100, 200);
            bitmap.setPixelFormat(to);
            ASSERT_EQ(bitmap.pixelFormat(), to);
            EXPECT_EQ(bitmap.width(), 9);
            EXPECT_EQ(bitmap.height(), 3);
            EXPECT_EQ(bitmap.xPelsPerMeter(), 100);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 9; ++x)
                    ASSERT_EQ(bitmap.pixel(x, y),
                              (x + y) % 3 == 0 ? (RgbColor{255, 0, 0}) : (RgbColor{0, 0, 255}));
        }
    }
}

TEST(PixelConverter, SmallerPaletteFormatsGrowToEightBitsCarryingPaletteAndIndices) {
    for (PixelFormat from : {PixelFormat::pf1bit, PixelFormat::pf4bit}) {
        const Bitmap original = patternBitmap(11, 4, from);
        Bitmap bitmap = original;
        bitmap.setPixelFormat(PixelFormat::pf8bit);
        EXPECT_EQ(bitmap.palette(), original.palette());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 11; ++x)
                EXPECT_EQ(bitmap.pixelIndex(x, y), original.pixelIndex(x, y));
    }
}

TEST(PixelConverter, FewColoursGetAnExactPalette) {
    Bitmap bitmap = gradientBitmap(4, 4);  // 16 distinct colours at most
    const Bitmap original = bitmap;
    bitmap.setPixelFormat(PixelFormat::pf4bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(bitmap.pixel(x, y), original.pixel(x, y));
}

TEST(PixelConverter, ManyColoursMapToTheNearestFixedColour) {
    Bitmap bitmap = gradientBitmap(64, 64);
    bitmap.setPixel(0, 0, RgbColor{255, 0, 0});
    bitmap.setPixel(1, 0, RgbColor{250, 250, 250});
    bitmap.setPixelFormat(PixelFormat::pf8bit);
    EXPECT_EQ(bitmap.palette().size(), 256u);
    EXPECT_EQ(bitmap.pixel(0, 0), (RgbColor{255, 0, 0}));
    EXPECT_EQ(bitmap.pixel(1, 0), (RgbColor{255, 255, 255}));
    bitmap.setPixelFormat(PixelFormat::pf1bit);
    EXPECT_EQ(bitmap.pixel(0, 0), (RgbColor{0, 0, 0}));  // red is dark
    EXPECT_EQ(bitmap.pixel(1, 0), (RgbColor{255, 255, 255}));
}

TEST(PixelConverter, SixteenBitPixelsPackFiveSixFive) {
    Bitmap bitmap(2, 1, PixelFormat::pf24bit);
    bitmap.setPixel(0, 0, RgbColor{255, 0, 0});
    bitmap.setPixel(1, 0, RgbColor{0, 255, 0});
    Bitmap b16 = bitmap;
    b16.setPixelFormat(PixelFormat::pf16bit);
    EXPECT_EQ(b16.scanLine(0)[0] | (b16.scanLine(0)[1] << 8), 0xF800);
    EXPECT_EQ(b16.scanLine(0)[2] | (b16.scanLine(0)[3] << 8), 0x07E0);
    Bitmap b15 = bitmap;
    b15.setPixelFormat(PixelFormat::pf15bit);
    EXPECT_EQ(b15.scanLine(0)[0] | (b15.scanLine(0)[1] << 8), 0x7C00);
    EXPECT_EQ(b15.scanLine(0)[2] | (b15.scanLine(0)[3] << 8), 0x03E0);
}

TEST(PixelConverter, ThirtyTwoBitsKeepBlueGreenRedAndZeroTheFourthByte) {
    Bitmap bitmap(1, 1, PixelFormat::pf24bit);
    bitmap.setPixel(0, 0, RgbColor{1, 2, 3});
    bitmap.setPixelFormat(PixelFormat::pf32bit);
    const std::uint8_t* p = bitmap.scanLine(0);
    EXPECT_EQ(std::vector<std::uint8_t>(p, p + 4), (std::vector<std::uint8_t>{3, 2, 1, 0}));
}

TEST(PixelConverter, CustomFormatCannotBeChosen) {
    Bitmap bitmap(1, 1, PixelFormat::pf24bit);
    EXPECT_THROW(bitmap.setPixelFormat(PixelFormat::pfCustom), EInvalidGraphicOperation);
    EXPECT_EQ(bitmap.pixelFormat(), PixelFormat::pf24bit);
}

TEST(PixelConverter, IndexPastAShortPaletteReadsBlack) {
    Bitmap bitmap(1, 1, PixelFormat::pf8bit);
    bitmap.setPalette({{9, 9, 9, 0}});
    bitmap.setPixelIndex(0, 0, 200);
    EXPECT_EQ(bitmap.pixel(0, 0), (RgbColor{0, 0, 0}));
    bitmap.setPixelFormat(PixelFormat::pf24bit);
    EXPECT_EQ(bitmap.pixel(0, 0), (RgbColor{0, 0, 0}));
}

}  // namespace
}  // namespace brevanto::graphics
