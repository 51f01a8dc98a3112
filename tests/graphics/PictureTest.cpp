#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LibjpegProbe.h"
#include "TestImages.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/Picture.h"

namespace brevanto::graphics {
namespace {

using test::makeJpeg;
using test::patternBitmap;
using test::TempFolder;
using test::writeFile;

TEST(Picture, ChoosesTheGraphicByExtension) {
    TempFolder folder;
    const std::vector<std::uint8_t> bmp = patternBitmap(3, 2, PixelFormat::pf8bit).saveToBytes();
    const std::vector<std::uint8_t> jpg = makeJpeg(5, 4, 3, false);
    struct Case {
        const char* name;
        bool jpeg;
    };
    const Case cases[] = {{"a.bmp", false}, {"b.BMP", false}, {"c.jpg", true},
                          {"d.JPEG", true}, {"e.jpe", true},  {"f.jfif", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(folder.file(c.name), c.jpeg ? jpg : bmp);
        Picture picture;
        picture.loadFromFile(folder.file(c.name));
        EXPECT_EQ(picture.graphicAs<JpegImage>() != nullptr, c.jpeg);
        EXPECT_EQ(picture.graphicAs<Bitmap>() != nullptr, !c.jpeg);
        EXPECT_EQ(picture.width(), c.jpeg ? 5 : 3);
    }
}

TEST(Picture, UnknownExtensionIsRefused) {
    TempFolder folder;
    writeFile(folder.file("scan.png"), {1, 2, 3});
    Picture picture;
    try {
        picture.loadFromFile(folder.file("scan.png"));
        FAIL() << "no error";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Unknown picture file extension (.png)");
    }
    EXPECT_TRUE(picture.empty());
}

TEST(Picture, FailedLoadKeepsThePreviousGraphic) {
    TempFolder folder;
    patternBitmap(4, 4, PixelFormat::pf24bit).saveToFile(folder.file("good.bmp"));
    writeFile(folder.file("bad.jpg"), patternBitmap(2, 2, PixelFormat::pf24bit).saveToBytes());
    Picture picture;
    picture.loadFromFile(folder.file("good.bmp"));
    EXPECT_THROW(picture.loadFromFile(folder.file("bad.jpg")), EJPEG);
    EXPECT_THROW(picture.loadFromFile(folder.file("missing.bmp")), EFOpenError);
    ASSERT_NE(picture.graphicAs<Bitmap>(), nullptr);
    EXPECT_EQ(picture.width(), 4);
}

TEST(Picture, CopiesAreDeepAndSaveInTheGraphicsOwnFormat) {
    TempFolder folder;
    Picture picture;
    picture.assign(patternBitmap(2, 2, PixelFormat::pf4bit));
    Picture copy = picture;
    copy.graphicAs<Bitmap>()->setPixelIndex(0, 0, 15);
    EXPECT_EQ(picture.graphicAs<Bitmap>()->pixelIndex(0, 0), 0);
    picture.saveToFile(folder.file("page.bmp"));
    Bitmap loaded;
    loaded.loadFromFile(folder.file("page.bmp"));
    EXPECT_EQ(loaded.pixelFormat(), PixelFormat::pf4bit);
    EXPECT_THROW(Picture().saveToFile(folder.file("none.bmp")), EInvalidGraphicOperation);
}

}  // namespace
}  // namespace brevanto::graphics
