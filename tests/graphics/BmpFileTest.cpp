#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestImages.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpFile.h"
#include "platform/graphics/GraphicErrors.h"

namespace brevanto::graphics {
namespace {

using test::patternBitmap;
using test::patternColor;
using test::putU32;
using test::readFile;
using test::TempFolder;
using test::writeFile;

std::uint32_t u32At(const std::vector<std::uint8_t>& d, std::size_t offset) {
    return d.at(offset) | (d.at(offset + 1) << 8) | (d.at(offset + 2) << 16) |
           (static_cast<std::uint32_t>(d.at(offset + 3)) << 24);
}

std::uint32_t u16At(const std::vector<std::uint8_t>& d, std::size_t offset) {
    return d.at(offset) | (d.at(offset + 1) << 8);
}

struct FileFormatCase {
    PixelFormat format;
    std::uint32_t bitCount;
    std::uint32_t compression;
    std::uint32_t colours;
    std::uint32_t pixelOffset;
};

TEST(BmpFile, RoundTripsEveryPixelFormatWithItsPalette) {
    const FileFormatCase cases[] = {
        {PixelFormat::pf1bit, 1, kBiRgb, 2, 14 + 40 + 8},
        {PixelFormat::pf4bit, 4, kBiRgb, 16, 14 + 40 + 64},
        {PixelFormat::pf8bit, 8, kBiRgb, 256, 14 + 40 + 1024},
        {PixelFormat::pf15bit, 16, kBiRgb, 0, 14 + 40},
        {PixelFormat::pf16bit, 16, kBiBitfields, 0, 14 + 40 + 12},
        {PixelFormat::pf24bit, 24, kBiRgb, 0, 14 + 40},
        {PixelFormat::pf32bit, 32, kBiRgb, 0, 14 + 40},
    };
    TempFolder folder;
    for (const FileFormatCase& c : cases) {
        SCOPED_TRACE(c.bitCount);
        Bitmap original = patternBitmap(7, 5, c.format);
        original.setResolution(11811, 3780);
        const auto path = folder.file("page.bmp");
        original.saveToFile(path);

        const std::vector<std::uint8_t> file = readFile(path);
        const std::size_t stride = Bitmap::strideFor(7, static_cast<int>(c.bitCount));
        ASSERT_EQ(file.size(), c.pixelOffset + stride * 5);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(u32At(file, 2), file.size());
        EXPECT_EQ(u32At(file, 10), c.pixelOffset);
        EXPECT_EQ(u32At(file, 14), 40u);
        EXPECT_EQ(u32At(file, 22), 5u);  // positive height: bottom-up
        EXPECT_EQ(u16At(file, 28), c.bitCount);
        EXPECT_EQ(u32At(file, 30), c.compression);
        EXPECT_EQ(u32At(file, 38), 11811u);
        EXPECT_EQ(u32At(file, 46), c.colours);

        Bitmap loaded;
        loaded.loadFromFile(path);
        EXPECT_EQ(loaded.pixelFormat(), c.format);
        EXPECT_EQ(loaded.width(), 7);
        EXPECT_EQ(loaded.height(), 5);
        EXPECT_EQ(loaded.palette(), original.palette());
        EXPECT_EQ(loaded.xPelsPerMeter(), 11811);
        EXPECT_EQ(loaded.yPelsPerMeter(), 3780);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(loaded.pixel(x, y), patternColor(x, y, c.format)) << x << "," << y;
        }
    }
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"page.bmp"});
}

TEST(BmpFile, ShortPaletteIsWrittenAndReadAsItIs) {
    Bitmap bitmap(2, 1, PixelFormat::pf8bit);
    bitmap.setPalette({{255, 0, 0, 0}, {0, 0, 255, 0}});
    bitmap.setPixelIndex(1, 0, 1);
    const std::vector<std::uint8_t> file = bitmap.saveToBytes();
    EXPECT_EQ(u32At(file, 46), 2u);
    Bitmap loaded;
    loaded.loadFromBytes(file.data(), file.size());
    EXPECT_EQ(loaded.palette().size(), 2u);
    EXPECT_EQ(loaded.pixel(1, 0), (RgbColor{0, 0, 255}));
}

// A valid 2 x 2, 8-bit file with four colours, to be damaged by the cases below.
std::vector<std::uint8_t> smallBmp() {
    Bitmap bitmap(2, 2, PixelFormat::pf8bit);
    bitmap.setPalette({{1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0}, {4, 4, 4, 0}});
    return bitmap.saveToBytes();
}

TEST(BmpFile, ReadsTopDownFiles) {
    std::vector<std::uint8_t> file = smallBmp();
    const std::size_t pixels = u32At(file, 10);
    putU32(file, 22, static_cast<std::uint32_t>(-2));
    file[pixels] = 3;  // first stored row is now the top row
    Bitmap loaded;
    loaded.loadFromBytes(file.data(), file.size());
    EXPECT_EQ(loaded.pixelIndex(0, 0), 3);
    EXPECT_EQ(loaded.pixelIndex(0, 1), 0);
}

TEST(BmpFile, DamagedFilesAreRefusedAndChangeNothing) {
    struct Case {
        const char* name;
        void (*damage)(std::vector<std::uint8_t>&);
    };
    const Case cases[] = {
        {"empty", [](std::vector<std::uint8_t>& f) { f.clear(); }},
        {"file header cut", [](std::vector<std::uint8_t>& f) { f.resize(10); }},
        {"info header cut", [](std::vector<std::uint8_t>& f) { f.resize(30); }},
        {"not BM", [](std::vector<std::uint8_t>& f) { f[0] = 'P'; }},
        {"header size 0", [](std::vector<std::uint8_t>& f) { putU32(f, 14, 0); }},
        {"huge header size", [](std::vector<std::uint8_t>& f) { putU32(f, 14, 0x7FFFFFFF); }},
        {"absurd width", [](std::vector<std::uint8_t>& f) { putU32(f, 18, 0x7FFFFFFF); }},
        {"absurd height", [](std::vector<std::uint8_t>& f) { putU32(f, 22, 0x80000001); }},
        {"wide and short", [](std::vector<std::uint8_t>& f) { putU32(f, 18, 5000); }},
        {"width 0", [](std::vector<std::uint8_t>& f) { putU32(f, 18, 0); }},
        {"height 0", [](std::vector<std::uint8_t>& f) { putU32(f, 22, 0); }},
        {"planes 2", [](std::vector<std::uint8_t>& f) { f[26] = 2; }},
        {"bit count 7", [](std::vector<std::uint8_t>& f) { f[28] = 7; }},
        {"run-length", [](std::vector<std::uint8_t>& f) { putU32(f, 30, kBiRle8); }},
        {"palette count beyond the file",
         [](std::vector<std::uint8_t>& f) { putU32(f, 46, 0xFFFFFFFF); }},
        {"palette count 300", [](std::vector<std::uint8_t>& f) { putU32(f, 46, 300); }},
        {"pixel offset beyond the file",
         [](std::vector<std::uint8_t>& f) { putU32(f, 10, 0xFFFFFF00); }},
        {"pixel offset inside the header", [](std::vector<std::uint8_t>& f) { putU32(f, 10, 20); }},
        {"pixel data one byte short", [](std::vector<std::uint8_t>& f) { f.pop_back(); }},
        {"no pixel data", [](std::vector<std::uint8_t>& f) { f.resize(f.size() - 8); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> file = smallBmp();
        c.damage(file);
        const auto block = std::make_unique<std::uint8_t[]>(file.size());
        std::copy(file.begin(), file.end(), block.get());
        Bitmap bitmap(3, 1, PixelFormat::pf24bit);
        bitmap.setPixel(2, 0, RgbColor{7, 8, 9});
        try {
            bitmap.loadFromBytes(file.empty() ? nullptr : block.get(), file.size());
            ADD_FAILURE() << "no error";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Bitmap image is not valid: ", 0), 0u)
                << e.what();
        }
        EXPECT_EQ(bitmap.width(), 3);
        EXPECT_EQ(bitmap.pixel(2, 0), (RgbColor{7, 8, 9}));
    }
}

TEST(BmpFile, UnreadableFileGivesOpenError) {
    TempFolder folder;
    Bitmap bitmap;
    try {
        bitmap.loadFromFile(folder.file("missing.bmp"));
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("missing.bmp"), std::string::npos);
    }
}

TEST(BmpFile, UnwritableFolderGivesCreateErrorAndNoFile) {
    TempFolder folder;
    const Bitmap bitmap = patternBitmap(2, 2, PixelFormat::pf24bit);
    EXPECT_THROW(bitmap.saveToFile(folder.file("no/such/folder/page.bmp")), EFCreateError);
    EXPECT_TRUE(folder.entries().empty());
}

TEST(BmpFile, SavingReplacesAnOlderFile) {
    TempFolder folder;
    const auto path = folder.file("page.bmp");
    writeFile(path, std::vector<std::uint8_t>(5000, 0xAA));
    patternBitmap(2, 2, PixelFormat::pf24bit).saveToFile(path);
    Bitmap loaded;
    loaded.loadFromFile(path);
    EXPECT_EQ(loaded.pixel(1, 1), patternColor(1, 1, PixelFormat::pf24bit));
    EXPECT_EQ(folder.entries().size(), 1u);
}

TEST(BmpFile, EmptyBitmapIsNotSaved) {
    EXPECT_THROW(Bitmap().saveToBytes(), EInvalidGraphicOperation);
}

}  // namespace
}  // namespace brevanto::graphics
