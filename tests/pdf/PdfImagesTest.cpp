#include <gtest/gtest.h>

#include "pdf/PdfArray.h"
#include "pdf/PdfBinary.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfImages.h"
#include "pdf/PdfJpegImage.h"
#include "pdf/PdfName.h"
#include "pdf/PdfNumber.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/JpegImage.h"

using namespace brevanto::graphics;

namespace {

class PdfImagesTest : public testing::Test {
  protected:
    void SetUp() override { RegisterImageCreators(); }
};

// The keys of a dictionary, in order.
std::string keysOf(const TPdfDictionary& dict) {
    std::string keys;
    for (int i = 0; i < dict.ElementCount(); ++i) keys += dict.Element(i).KeyText() + " ";
    return keys;
}

}  // namespace

TEST_F(PdfImagesTest, BitmapsBecomeIndexedOrRgbImagesOfTheRightSize) {
    struct Case {
        PixelFormat format;
        int width, height;
        bool indexed;
        std::size_t bytes;
    } cases[] = {
        {PixelFormat::pf1bit, 9, 2, true, 18},   {PixelFormat::pf4bit, 5, 3, true, 15},
        {PixelFormat::pf8bit, 3, 2, true, 6},    {PixelFormat::pf15bit, 3, 2, false, 18},
        {PixelFormat::pf16bit, 3, 2, false, 18}, {PixelFormat::pf24bit, 3, 2, false, 18},
        {PixelFormat::pf32bit, 4, 1, false, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.format));
        Bitmap bitmap(c.width, c.height, c.format);
        auto image = BuildPdfImage(bitmap, "Pdf-Bitmap");
        ASSERT_NE(image, nullptr);
        const TPdfDictionary& dict = image->Dictionary();
        EXPECT_EQ(keysOf(dict),
                  "Length Filter Type Subtype ColorSpace Width Height BitsPerComponent ");
        EXPECT_EQ(image->Data().Size(), c.bytes);
        EXPECT_EQ(dict.NumberOf("Width")->Value(), c.width);
        EXPECT_EQ(dict.NumberOf("Height")->Value(), c.height);
        EXPECT_EQ(dict.NumberOf("BitsPerComponent")->Value(), 8);
        if (c.indexed) {
            const TPdfArray* space = dict.ArrayOf("ColorSpace");
            ASSERT_NE(space, nullptr);
            ASSERT_EQ(space->Count(), 4);
            EXPECT_EQ(static_cast<TPdfNumber*>(space->Items(2))->Value(), 255);
            EXPECT_EQ(static_cast<TPdfBinary*>(space->Items(3))->Data().Size(), 1794u);
        } else {
            EXPECT_EQ(dict.NameOf("ColorSpace")->Value(), "DeviceRGB");
        }
    }
}

TEST_F(PdfImagesTest, RgbPixelsAreWrittenRedGreenBlueTopRowFirst) {
    Bitmap bitmap(2, 2, PixelFormat::pf32bit);
    bitmap.setPixel(0, 0, {10, 20, 30});
    bitmap.setPixel(1, 0, {40, 50, 60});
    bitmap.setPixel(0, 1, {70, 80, 90});
    bitmap.setPixel(1, 1, {100, 110, 120});
    const Bitmap before = bitmap;
    auto image = BuildPdfImage(bitmap, "pdf-bitmap");  // the registry ignores letter case
    const auto& bytes = image->Data().Bytes();
    EXPECT_EQ(bytes,
              (std::vector<std::uint8_t>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}));
    EXPECT_EQ(bitmap.pixel(0, 0), before.pixel(0, 0));  // the caller's picture is untouched
}

TEST_F(PdfImagesTest, ColourTableListsTheWholePalette) {
    Bitmap bitmap(2, 1, PixelFormat::pf1bit);
    bitmap.setPalette({{255, 0, 16, 0}, {1, 171, 255, 0}});
    bitmap.setPixelIndex(1, 0, 1);
    auto image = BuildPdfImage(bitmap, "Pdf-Bitmap");
    EXPECT_EQ(image->Data().Bytes(), (std::vector<std::uint8_t>{0, 1}));
    const auto* table =
        static_cast<TPdfBinary*>(image->Dictionary().ArrayOf("ColorSpace")->Items(3));
    const std::string_view text = table->Data().View();
    EXPECT_EQ(text.substr(0, 22), "<FF0010 01ABFF 000000 ");
    EXPECT_EQ(text.back(), '>');

    TPdfImageCreator creator;
    Bitmap rgb(1, 1, PixelFormat::pf24bit);
    try {
        creator.BuildIndexedColorSpace(rgb);
        FAIL() << "built a colour table for RGB";
    } catch (const EPdfInvalidImageFormat& e) {
        EXPECT_STREQ(e.what(), "only 8 bit color image is allowed.");
    }
}

TEST_F(PdfImagesTest, JpegBytesAreCopiedUnchanged) {
    Bitmap bitmap(17, 9, PixelFormat::pf24bit);
    JpegImage encoded;
    encoded.assign(bitmap);
    const std::vector<std::uint8_t> file = encoded.saveToBytes();
    JpegImage jpeg;
    jpeg.loadFromBytes(file.data(), file.size());

    auto image = BuildPdfImage(jpeg, "Pdf-Jpeg");
    EXPECT_EQ(image->Data().Bytes(), file);
    // The picture's bytes are shared, not copied, and outlive a new load into the picture.
    EXPECT_EQ(&image->Data().Bytes(), &jpeg.data());
    JpegImage other;
    other.assign(Bitmap(5, 3, PixelFormat::pf24bit));
    jpeg.loadFromBytes(other.data().data(), other.data().size());
    EXPECT_EQ(jpeg.width(), 5);
    EXPECT_EQ(image->Data().Bytes(), file);
    const TPdfDictionary& dict = image->Dictionary();
    EXPECT_EQ(keysOf(dict), "Length Filter Type Subtype ColorSpace Width Height BitsPerComponent ");
    EXPECT_EQ(dict.NumberOf("Width")->Value(), 17);
    EXPECT_EQ(dict.NumberOf("Height")->Value(), 9);
    EXPECT_NE(dict.ArrayOf("Filter")->FindNameItem("DCTDecode"), nullptr);
    EXPECT_NE(BuildPdfImage(jpeg, "Pdf-Jpeg"), image);  // a new image every time

    try {
        BuildPdfImage(bitmap, "Pdf-Jpeg");
        FAIL() << "took a bitmap";
    } catch (const EPdfInvalidValue& e) {
        EXPECT_STREQ(e.what(), "only jpeg image is allowed.");
    }
    try {
        BuildPdfImage(bitmap, "Pdf-Gif");
        FAIL() << "found a creator";
    } catch (const EClassNotFound& e) {
        EXPECT_STREQ(e.what(), "Class Pdf-Gif not found");
    }
}
