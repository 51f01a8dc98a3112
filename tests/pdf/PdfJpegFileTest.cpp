// JPEG pages loaded from files go into the document as file regions, copied when the document
// is written: the written bytes must be those of the same pictures loaded from memory.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "LibjpegProbe.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfImages.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/JpegImage.h"
#include "support/PdfFileCheck.h"
#include "support/PdfTestDoc.h"

using brevanto::graphics::EFOpenError;
using brevanto::graphics::JpegImage;
using brevanto::graphics::test::makeJpeg;
using brevanto::graphics::test::makeSolidJpeg;

namespace {

// A one-page document whose page is covered by the picture, written to memory.
std::string OnePageWith(const JpegImage& jpeg) {
    FixedLocalClock clock(kTestTime);
    TPdfDoc doc;
    doc.StartDocument();
    doc.AddPage();
    doc.AddImage("P1", BuildPdfImage(jpeg, "Pdf-Jpeg"));
    doc.GetCanvas().DrawXObject(0, 0, 596, 842, "P1");
    return Saved(doc);
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

}  // namespace

TEST(PdfJpegFile, FileBackedPicturesWriteWhatTheirBytesWrite) {
    RegisterImageCreators();
    const struct {
        const char* name;
        std::vector<std::uint8_t> jpeg;
    } cases[] = {
        {"grey", makeJpeg(24, 16, 1, false)},
        {"RGB", makeJpeg(40, 30, 3, false)},
        {"progressive", makeJpeg(40, 30, 3, true)},
        {"CMYK with the Adobe segment", makeSolidJpeg(8, 8, {255, 0, 0, 255})},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = folder.Write(std::string(c.name) + ".jpg", Text(c.jpeg));
        JpegImage fromFile;
        fromFile.loadFromFile(path);
        JpegImage fromBytes;
        fromBytes.loadFromBytes(c.jpeg.data(), c.jpeg.size());
        ASSERT_NE(fromFile.sharedFile(), nullptr);

        const std::string written = OnePageWith(fromFile);
        EXPECT_TRUE(written == OnePageWith(fromBytes));
        EXPECT_NE(written.find(Text(c.jpeg)), std::string::npos);
        // Writing copied from the file: nothing read the bytes into the picture.
        EXPECT_NE(fromFile.sharedFile(), nullptr);

        // Whoever needs the stream's bytes in memory gets them.
        auto image = BuildPdfImage(fromFile, "Pdf-Jpeg");
        EXPECT_EQ(image->Data().Size(), c.jpeg.size());
        EXPECT_EQ(image->Data().Bytes(), c.jpeg);
        EXPECT_EQ(Written(*image), Written(*BuildPdfImage(fromBytes, "Pdf-Jpeg")));
        image->Data().WriteText("x");  // a write continues on a private copy
        EXPECT_EQ(image->Data().Size(), c.jpeg.size() + 1);
        EXPECT_EQ(fromFile.saveToBytes(), c.jpeg);
    }
}

TEST(PdfJpegFile, FileChangedBeforeWritingFailsNamingIt) {
    RegisterImageCreators();
    const std::vector<std::uint8_t> jpeg = makeJpeg(40, 30, 3, false);
    TempFolder folder;
    const auto path = folder.Write("page.jpg", Text(jpeg));
    JpegImage picture;
    picture.loadFromFile(path);
    auto image = BuildPdfImage(picture, "Pdf-Jpeg");
    std::filesystem::resize_file(path, jpeg.size() - 1);

    const std::string message =
        "Cannot open file \"" + path.string() + "\". The file has changed since it was loaded.";
    try {
        Written(*image);
        FAIL() << "wrote a changed file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.what(), message);
    }
    try {
        OnePageWith(picture);
        FAIL() << "wrote a changed file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.what(), message);
    }
    EXPECT_THROW(image->Data().Bytes(), EFOpenError);
    EXPECT_EQ(image->Data().Size(), jpeg.size());  // the region stays what was loaded
}
