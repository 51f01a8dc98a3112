#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestImages.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicErrors.h"

namespace brevanto::graphics {
namespace {

using test::patternBitmap;
using test::patternColor;
using test::putU16;
using test::putU32;

struct FormatCase {
    PixelFormat format;
    int bits;
    std::size_t paletteSize;
    std::size_t strideForWidth5;
};

const FormatCase kFormats[] = {
    {PixelFormat::pf1bit, 1, 2, 4},    {PixelFormat::pf4bit, 4, 16, 4},
    {PixelFormat::pf8bit, 8, 256, 8},  {PixelFormat::pf15bit, 16, 0, 12},
    {PixelFormat::pf16bit, 16, 0, 12}, {PixelFormat::pf24bit, 24, 0, 16},
    {PixelFormat::pf32bit, 32, 0, 20},
};

TEST(Bitmap, NewBitmapIsZeroFilledWithPaddedRowsAndGreyPalette) {
    for (const FormatCase& c : kFormats) {
        SCOPED_TRACE(c.bits);
        const Bitmap bitmap(5, 3, c.format);
        EXPECT_EQ(bitmap.pixelFormat(), c.format);
        EXPECT_EQ(bitmap.bitsPerPixel(), c.bits);
        EXPECT_EQ(bitmap.stride(), c.strideForWidth5);
        EXPECT_EQ(bitmap.bitsSize(), c.strideForWidth5 * 3);
        ASSERT_EQ(bitmap.palette().size(), c.paletteSize);
        if (c.paletteSize != 0) {
            EXPECT_EQ(bitmap.palette().front(), (PaletteEntry{0, 0, 0, 0}));
            EXPECT_EQ(bitmap.palette().back(), (PaletteEntry{255, 255, 255, 0}));
        }
        for (std::size_t i = 0; i < bitmap.bitsSize(); ++i) ASSERT_EQ(bitmap.bits()[i], 0);
    }
}

TEST(Bitmap, DeviceFormatIsThirtyTwoBitsAndCustomIsRefused) {
    EXPECT_EQ(Bitmap(2, 2, PixelFormat::pfDevice).pixelFormat(), PixelFormat::pf32bit);
    EXPECT_THROW(Bitmap(2, 2, PixelFormat::pfCustom), EInvalidGraphicOperation);
}

TEST(Bitmap, EmptyBitmapHasNoPixels) {
    const Bitmap bitmap;
    EXPECT_TRUE(bitmap.empty());
    EXPECT_EQ(bitmap.width(), 0);
    EXPECT_EQ(bitmap.bitsSize(), 0u);
    EXPECT_THROW(bitmap.scanLine(0), EInvalidGraphicOperation);
}

TEST(Bitmap, ScanLineZeroIsTheTopRowStoredLastInMemory) {
    Bitmap bitmap(3, 4, PixelFormat::pf24bit);
    bitmap.setPixel(0, 0, RgbColor{1, 2, 3});
    bitmap.setPixel(2, 3, RgbColor{4, 5, 6});
    const std::uint8_t* lastInMemory = bitmap.bits() + bitmap.stride() * 3;
    EXPECT_EQ(bitmap.scanLine(0), lastInMemory);
    EXPECT_EQ(lastInMemory[0], 3);  // blue, green, red
    EXPECT_EQ(lastInMemory[2], 1);
    EXPECT_EQ(bitmap.scanLine(3), bitmap.bits());
    EXPECT_EQ(bitmap.bits()[6], 6);
}

TEST(Bitmap, ScanLineOutsideTheBitmapIsRefused) {
    Bitmap bitmap(2, 2, PixelFormat::pf8bit);
    try {
        bitmap.scanLine(2);
        FAIL() << "no error";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_STREQ(e.what(), "Scan line index out of range");
    }
    EXPECT_THROW(bitmap.scanLine(-1), EInvalidGraphicOperation);
    EXPECT_THROW(bitmap.pixel(2, 0), EInvalidGraphicOperation);
}

TEST(Bitmap, PaletteReadsLikeGetPaletteEntries) {
    Bitmap bitmap(1, 1, PixelFormat::pf4bit);
    bitmap.setPalette({{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}});
    PaletteEntry out[256] = {};
    EXPECT_EQ(bitmap.getPaletteEntries(0, 256, out), 3u);
    EXPECT_EQ(out[2], (PaletteEntry{70, 80, 90, 0}));
    EXPECT_EQ(bitmap.getPaletteEntries(1, 1, out), 1u);
    EXPECT_EQ(out[0], (PaletteEntry{40, 50, 60, 0}));
    EXPECT_EQ(bitmap.getPaletteEntries(3, 10, out), 0u);
    EXPECT_EQ(Bitmap(1, 1, PixelFormat::pf24bit).getPaletteEntries(0, 256, out), 0u);
    EXPECT_THROW(bitmap.setPalette(std::vector<PaletteEntry>(17)), EInvalidGraphicOperation);
}

TEST(Bitmap, CopiesAreDeep) {
    Bitmap original = patternBitmap(4, 4, PixelFormat::pf8bit);
    Bitmap copy = original;
    copy.setPixelIndex(0, 0, 200);
    copy.setPalette({{1, 2, 3, 0}});
    EXPECT_EQ(original.pixelIndex(0, 0), 0);
    EXPECT_EQ(original.palette().size(), 256u);
}

TEST(Bitmap, SectionFromHeaderTakesColourTable) {
    BitmapInfoHeader header;
    header.biWidth = 10;
    header.biHeight = 2;
    header.biBitCount = 1;
    header.biClrUsed = 2;
    const RgbQuad vanilla[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
    const auto bitmap = Bitmap::fromDibHeader(header, vanilla, 2);
    EXPECT_EQ(bitmap->pixelFormat(), PixelFormat::pf1bit);
    EXPECT_EQ(bitmap->stride(), 4u);
    EXPECT_FALSE(bitmap->topDown());
    ASSERT_EQ(bitmap->palette().size(), 2u);
    EXPECT_EQ(bitmap->palette()[0], (PaletteEntry{255, 255, 255, 0}));
    EXPECT_EQ(bitmap->pixel(9, 1), (RgbColor{255, 255, 255}));
}

TEST(Bitmap, SectionFromHeaderWithoutClrUsedTakesTheWholeTable) {
    BitmapInfoHeader header;
    header.biWidth = 2;
    header.biHeight = 2;
    header.biBitCount = 8;
    std::vector<RgbQuad> ramp(256);
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        ramp[static_cast<std::size_t>(i)] = RgbQuad{v, v, v, 0};
    }
    EXPECT_EQ(Bitmap::fromDibHeader(header, ramp.data(), 256)->palette().size(), 256u);
    EXPECT_THROW(Bitmap::fromDibHeader(header, ramp.data(), 255), EInvalidGraphic);
}

TEST(Bitmap, TopDownSectionStoresTheTopRowFirst) {
    BitmapInfoHeader header;
    header.biWidth = 2;
    header.biHeight = -3;
    header.biBitCount = 24;
    const auto bitmap = Bitmap::fromDibHeader(header, nullptr, 0);
    EXPECT_TRUE(bitmap->topDown());
    EXPECT_EQ(bitmap->height(), 3);
    EXPECT_EQ(bitmap->scanLine(0), bitmap->bits());
    bitmap->setPixel(1, 0, RgbColor{7, 8, 9});
    const std::vector<std::uint8_t> dib = bitmap->toPackedDib();
    const auto back = Bitmap::fromPackedDib(dib.data(), dib.size());
    EXPECT_FALSE(back->topDown());
    EXPECT_EQ(back->pixel(1, 0), (RgbColor{7, 8, 9}));
    Bitmap converted = *bitmap;
    converted.setPixelFormat(PixelFormat::pf32bit);
    EXPECT_EQ(converted.pixel(1, 0), (RgbColor{7, 8, 9}));
}

// What a memory-mode transfer does with the section: rows arrive top row first, as one run of
// stride-long rows written from the last row in memory backwards, red-green-blue swapped.
TEST(Bitmap, StripsWrittenFromTheLastMemoryRowFillThePictureTopDown) {
    BitmapInfoHeader header;
    header.biWidth = 2;
    header.biHeight = 2;
    header.biBitCount = 24;
    auto bitmap = Bitmap::fromDibHeader(header, nullptr, 0);
    const std::uint8_t rgbRows[2][6] = {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 9, 8, 7}};
    std::uint8_t* row = bitmap->bits() + bitmap->stride() * (bitmap->height() - 1);
    for (const auto& rgb : rgbRows) {
        std::memcpy(row, rgb, sizeof rgb);
        for (int x = 0; x < bitmap->width(); ++x) std::swap(row[3 * x], row[3 * x + 2]);
        row -= bitmap->stride();
    }
    EXPECT_EQ(bitmap->pixel(0, 0), (RgbColor{255, 0, 0}));
    EXPECT_EQ(bitmap->pixel(1, 0), (RgbColor{0, 255, 0}));
    EXPECT_EQ(bitmap->pixel(0, 1), (RgbColor{0, 0, 255}));
    EXPECT_EQ(bitmap->pixel(1, 1), (RgbColor{9, 8, 7}));
}

TEST(Bitmap, SectionFromImpossibleHeaderIsRefused) {
    struct Case {
        const char* name;
        void (*change)(BitmapInfoHeader&);
    };
    const Case cases[] = {
        {"planes 0", [](BitmapInfoHeader& h) { h.biPlanes = 0; }},
        {"7 bits", [](BitmapInfoHeader& h) { h.biBitCount = 7; }},
        {"RLE8", [](BitmapInfoHeader& h) { h.biCompression = kBiRle8; }},
        {"JPEG compression", [](BitmapInfoHeader& h) { h.biCompression = 4; }},
        {"bit fields without masks", [](BitmapInfoHeader& h) { h.biCompression = kBiBitfields; }},
        {"width 0", [](BitmapInfoHeader& h) { h.biWidth = 0; }},
        {"negative width", [](BitmapInfoHeader& h) { h.biWidth = -5; }},
        {"height 0", [](BitmapInfoHeader& h) { h.biHeight = 0; }},
        {"most negative height", [](BitmapInfoHeader& h) { h.biHeight = INT32_MIN; }},
        {"absurd size",
         [](BitmapInfoHeader& h) {
             h.biWidth = 1000000;
             h.biHeight = 1000000;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BitmapInfoHeader header;
        header.biWidth = 4;
        header.biHeight = 4;
        header.biBitCount = 24;
        c.change(header);
        EXPECT_THROW(Bitmap::fromDibHeader(header, nullptr, 0), EInvalidGraphic);
    }
}

TEST(Bitmap, SixteenBitSectionFollowsItsMasks) {
    BitmapInfoHeader header;
    header.biWidth = 1;
    header.biHeight = 1;
    header.biBitCount = 16;
    header.biCompression = kBiBitfields;
    const std::uint32_t masks565[3] = {0xF800, 0x07E0, 0x001F};
    const std::uint32_t masks555[3] = {0x7C00, 0x03E0, 0x001F};
    const std::uint32_t odd[3] = {0x000F, 0x00F0, 0x0F00};
    EXPECT_EQ(Bitmap::fromDibHeader(header, nullptr, 0, masks565)->pixelFormat(),
              PixelFormat::pf16bit);
    EXPECT_EQ(Bitmap::fromDibHeader(header, nullptr, 0, masks555)->pixelFormat(),
              PixelFormat::pf15bit);
    EXPECT_THROW(Bitmap::fromDibHeader(header, nullptr, 0, odd), EInvalidGraphic);
}

// A packed DIB: 40-byte header, colours, pixels; the block is exactly as long as the parts.
std::vector<std::uint8_t> packedDib(int width, int height, int bits, std::uint32_t clrUsed,
                                    std::size_t colours, std::size_t pixelBytes) {
    std::vector<std::uint8_t> dib(40 + 4 * colours + pixelBytes, 0);
    putU32(dib, 0, 40);
    putU32(dib, 4, static_cast<std::uint32_t>(width));
    putU32(dib, 8, static_cast<std::uint32_t>(height));
    putU16(dib, 12, 1);
    putU16(dib, 14, static_cast<std::uint32_t>(bits));
    putU32(dib, 32, clrUsed);
    return dib;
}

TEST(Bitmap, PackedDibWithFullColourTableSkipsTheTable) {
    // 8 bits, biClrUsed 256: pixels begin after all 256 entries.
    std::vector<std::uint8_t> dib = packedDib(3, 2, 8, 256, 256, 8);
    for (int i = 0; i < 256; ++i) {
        dib[40 + 4 * i] = static_cast<std::uint8_t>(i);            // blue
        dib[40 + 4 * i + 2] = static_cast<std::uint8_t>(255 - i);  // red
    }
    const std::size_t pixels = 40 + 1024;
    const std::uint8_t bottom[3] = {1, 2, 3};
    const std::uint8_t top[3] = {250, 251, 252};
    std::memcpy(&dib[pixels], bottom, 3);
    std::memcpy(&dib[pixels + 4], top, 3);
    const auto bitmap = Bitmap::fromPackedDib(dib.data(), dib.size());
    EXPECT_EQ(bitmap->pixelFormat(), PixelFormat::pf8bit);
    EXPECT_EQ(bitmap->palette().size(), 256u);
    EXPECT_EQ(bitmap->pixelIndex(0, 0), 250);
    EXPECT_EQ(bitmap->pixelIndex(2, 1), 3);
    EXPECT_EQ(bitmap->pixel(0, 1), (RgbColor{254, 0, 1}));
}

TEST(Bitmap, TopDownPackedDibKeepsRowOrder) {
    std::vector<std::uint8_t> dib = packedDib(1, -2, 24, 0, 0, 8);
    dib[40] = 10;  // first row in memory: the top row
    dib[44] = 20;
    const auto bitmap = Bitmap::fromPackedDib(dib.data(), dib.size());
    EXPECT_EQ(bitmap->pixel(0, 0).blue, 10);
    EXPECT_EQ(bitmap->pixel(0, 1).blue, 20);
}

TEST(Bitmap, CoreHeaderDibHasThreeByteColours) {
    std::vector<std::uint8_t> dib(12 + 2 * 3 + 4, 0);
    putU32(dib, 0, 12);
    putU16(dib, 4, 8);  // width
    putU16(dib, 6, 1);  // height
    putU16(dib, 8, 1);
    putU16(dib, 10, 1);
    dib[15] = 200;  // colour 1: blue, green, red = 200, 100, 50
    dib[16] = 100;
    dib[17] = 50;
    dib[18] = 0x80;  // leftmost pixel uses colour 1
    const auto bitmap = Bitmap::fromPackedDib(dib.data(), dib.size());
    EXPECT_EQ(bitmap->pixel(0, 0), (RgbColor{50, 100, 200}));
    EXPECT_EQ(bitmap->pixel(1, 0), (RgbColor{0, 0, 0}));
}

TEST(Bitmap, BitFieldDibReadsItsMasksAfterTheHeader) {
    std::vector<std::uint8_t> dib(40 + 12 + 4, 0);
    putU32(dib, 0, 40);
    putU32(dib, 4, 1);
    putU32(dib, 8, 1);
    putU16(dib, 12, 1);
    putU16(dib, 14, 16);
    putU32(dib, 16, kBiBitfields);
    putU32(dib, 40, 0xF800);
    putU32(dib, 44, 0x07E0);
    putU32(dib, 48, 0x001F);
    putU16(dib, 52, 0xF800);
    const auto bitmap = Bitmap::fromPackedDib(dib.data(), dib.size());
    EXPECT_EQ(bitmap->pixelFormat(), PixelFormat::pf16bit);
    EXPECT_EQ(bitmap->pixel(0, 0), (RgbColor{255, 0, 0}));
}

TEST(Bitmap, PackedDibThatDoesNotFitItsBlockIsRefused) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> dib;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"three bytes", {40, 0, 0}});
    {
        std::vector<std::uint8_t> d = packedDib(2, 2, 24, 0, 0, 16);
        d.resize(39);
        cases.push_back({"header cut", d});
    }
    {
        std::vector<std::uint8_t> d = packedDib(2, 2, 24, 0, 0, 16);
        putU32(d, 0, 20);
        cases.push_back({"header size 20", d});
    }
    {
        std::vector<std::uint8_t> d = packedDib(2, 2, 24, 0, 0, 16);
        putU32(d, 0, 0xFFFFFFF0);
        cases.push_back({"header size beyond block", d});
    }
    cases.push_back({"palette count beyond block", packedDib(2, 2, 8, 0x40000000, 0, 8)});
    cases.push_back({"colour table one entry short", packedDib(2, 2, 8, 0, 255, 8)});
    cases.push_back({"pixels one byte short", packedDib(3, 2, 24, 0, 0, 23)});
    cases.push_back({"no pixels", packedDib(3, 2, 24, 0, 0, 0)});
    cases.push_back({"absurd dimensions", packedDib(0x7FFFFFFF, 0x7FFFFFFF, 24, 0, 0, 16)});
    {
        std::vector<std::uint8_t> d = packedDib(1, 1, 16, 0, 0, 0);
        putU32(d, 16, kBiBitfields);
        d.resize(46);
        cases.push_back({"masks cut", d});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // An exact-size heap copy, so that a sanitizer sees any read past the block.
        const auto block = std::make_unique<std::uint8_t[]>(c.dib.size());
        std::memcpy(block.get(), c.dib.data(), c.dib.size());
        try {
            Bitmap::fromPackedDib(c.dib.empty() ? nullptr : block.get(), c.dib.size());
            ADD_FAILURE() << "no error";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Bitmap image is not valid: ", 0), 0u)
                << e.what();
        }
    }
}

TEST(Bitmap, PackedDibRoundTripsInEveryFormat) {
    for (const FormatCase& c : kFormats) {
        SCOPED_TRACE(c.bits);
        const Bitmap original = patternBitmap(5, 3, c.format);
        const std::vector<std::uint8_t> dib = original.toPackedDib();
        const auto back = Bitmap::fromPackedDib(dib.data(), dib.size());
        EXPECT_EQ(back->pixelFormat(), c.format);
        EXPECT_EQ(back->palette(), original.palette());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(back->pixel(x, y), patternColor(x, y, c.format));
    }
}

}  // namespace
}  // namespace brevanto::graphics
