// JPEG pages are declared in the colour space of their stream, so grey and CMYK scans render as
// what they are instead of stripes or noise.
#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "LibjpegProbe.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfImages.h"
#include "platform/graphics/JpegImage.h"
#include "support/PdfFileCheck.h"
#include "support/PdfTestDoc.h"

using brevanto::graphics::JpegImage;
using brevanto::graphics::test::makeSolidJpeg;

namespace {

struct Case {
    const char* name;
    std::vector<std::uint8_t> jpeg;  // 8 x 8 pixels of one colour
    // What follows the stream's Length and Filter in its dictionary.
    std::string entries;
    std::array<int, 3> rendered;  // the page colour poppler draws
};

std::string Entries(const char* colorSpace, const char* decode = "") {
    return std::string("/Type /XObject\r\n/Subtype /Image\r\n/ColorSpace /") + colorSpace +
           "\r\n/Width 8\r\n/Height 8\r\n/BitsPerComponent 8\r\n" + decode;
}

// A one-page document whose page is covered by the picture.
std::string OnePageWith(std::unique_ptr<TPdfImage> image) {
    FixedLocalClock clock(kTestTime);
    TPdfDoc doc;
    doc.StartDocument();
    doc.AddPage();
    doc.AddImage("P1", std::move(image));
    doc.GetCanvas().DrawXObject(0, 0, 596, 842, "P1");
    return Saved(doc);
}

}  // namespace

TEST(PdfJpegColourSpace, StreamComponentsChooseTheColourSpace) {
    RegisterImageCreators();
    // Red ink is no cyan, full magenta and yellow, no black; Adobe software stores each value as
    // 255 minus the ink. Poppler draws CMYK as printed ink, so pure red comes out a little dull.
    const Case cases[] = {
        {"grey", makeSolidJpeg(8, 8, {90}), Entries("DeviceGray"), {90, 90, 90}},
        {"RGB", makeSolidJpeg(8, 8, {30, 90, 200}), Entries("DeviceRGB"), {30, 90, 200}},
        {"CMYK with the Adobe segment",
         makeSolidJpeg(8, 8, {255, 0, 0, 255}),
         Entries("DeviceCMYK", "/Decode [1 0 1 0 1 0 1 0 ]\r\n"),
         {237, 28, 36}},
        {"CMYK without the Adobe segment",
         makeSolidJpeg(8, 8, {0, 255, 255, 0}, false),
         Entries("DeviceCMYK"),
         {237, 28, 36}},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.jpeg.empty());
        JpegImage jpeg;
        jpeg.loadFromBytes(c.jpeg.data(), c.jpeg.size());

        auto image = BuildPdfImage(jpeg, "Pdf-Jpeg");
        const std::string bytes(c.jpeg.begin(), c.jpeg.end());
        // The dictionary in its usual key order, then the file's bytes unchanged.
        const std::string written = Written(*image);
        const std::string head = "<<\r\n/Length " + std::to_string(bytes.size()) +
                                 "\r\n/Filter [/DCTDecode ]\r\n" + c.entries + ">>\r\nstream\r\n";
        EXPECT_EQ(written.substr(0, head.size()), head);
        EXPECT_TRUE(written.substr(head.size()) == bytes + "\nendstream");

        const std::string file = OnePageWith(std::move(image));
        ExpectConsistentXref(file);
        const auto path = folder.Write("page.pdf", file);
        ExpectAcceptedByTools(path);
        const RenderedPage page = RenderFirstPage(path, 10);
        ASSERT_GT(page.width, 0);
        for (const auto& [x, y] : {std::pair{page.width / 4, page.height / 4},
                                   {page.width / 2, page.height / 2},
                                   {3 * page.width / 4, 3 * page.height / 4}}) {
            const std::array<int, 3> got = page.Pixel(x, y);
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(got[i], c.rendered[i], 12)
                    << "channel " << i << " at " << x << "," << y;
        }
    }
}
