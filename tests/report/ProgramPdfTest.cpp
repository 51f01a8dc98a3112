// The filed document as the program writes it: one A4 page per scanned JPEG.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ReportFixtures.h"
#include "report/TPReport.h"

using testing::HasSubstr;

TEST(ProgramPdf, OnePagePerJpegWithTheJpegBytesUnchanged) {
    RegisterPdfClasses();
    TempFolder folder;
    const std::pair<int, int> sizes[] = {{40, 56}, {120, 80}, {33, 17}};
    std::vector<std::string> jpegs;
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        const auto path = folder.Path() / ("page" + std::to_string(i) + ".jpg");
        WriteTestJpeg(path, sizes[i].first, sizes[i].second);
        jpegs.push_back(ReadFile(path));
    }

    TProgramPageLayout layout;
    TPReport report;
    const auto pdfPath = folder.Path() / "filed.pdf";
    report.SetFileName(pdfPath.string());
    report.SetCreationDate(41829.71127694444);
    report.SetUseOutlines(false);
    report.OpenDoc();
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        layout.PRJpegImage1.SetSharedImage(false);
        layout.PRJpegImage1.Picture().loadFromFile(folder.Path() /
                                                   ("page" + std::to_string(i) + ".jpg"));
        report.PrintPage(layout.pagina);
    }
    report.CloseDoc();

    const std::string pdf = ReadFile(pdfPath);
    // 1 catalog, 2 information, 3 pages, then per page: page, content, (font once), picture.
    const int pageObjects[] = {4, 8, 11};
    const int contentObjects[] = {5, 9, 12};
    const int imageObjects[] = {7, 10, 13};
    EXPECT_THAT(PdfObjectText(pdf, 6), HasSubstr("/BaseFont /Helvetica"));
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const std::string page = PdfObjectText(pdf, pageObjects[i]);
        EXPECT_THAT(page, HasSubstr("/Type /Page"));
        EXPECT_THAT(page, HasSubstr("/MediaBox [0 0 596 842 ]"));
        EXPECT_THAT(PdfObjectText(pdf, contentObjects[i]), HasSubstr("592 0 0 838 2 2 cm"));
        const std::string image = PdfObjectText(pdf, imageObjects[i]);
        EXPECT_THAT(image, HasSubstr("/Subtype /Image"));
        EXPECT_THAT(image, HasSubstr("/Width " + std::to_string(sizes[i].first)));
        EXPECT_THAT(image, HasSubstr("/Height " + std::to_string(sizes[i].second)));
        EXPECT_THAT(image, HasSubstr("/Name /PRJpegImage1"));
        // The stream data are the file's bytes.
        const auto data = image.find("stream\r\n");
        ASSERT_NE(data, std::string::npos);
        EXPECT_EQ(image.substr(data + 8, jpegs[i].size()), jpegs[i]);
    }
    EXPECT_EQ(PdfObjectText(pdf, 14), "");

    std::string output;
    const std::string file = "'" + pdfPath.string() + "'";
    ExpectConsistentXref(pdf);
    ExpectAcceptedByTools(pdfPath);
    ASSERT_EQ(RunCommand("pdfimages -list " + file, output), 0) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 2 + 3) << output;
    EXPECT_THAT(output, HasSubstr("jpeg"));

    // Extracted images are the JPEG files again.
    ASSERT_EQ(
        RunCommand("pdfimages -j " + file + " '" + (folder.Path() / "x").string() + "'", output), 0)
        << output;
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "x-%03zu.jpg", i);
        EXPECT_EQ(ReadFile(folder.Path() / name), jpegs[i]) << name;
    }

    // Rendered, each page shows the picture: red at the left, blue at the right.
    ASSERT_EQ(
        RunCommand("pdftoppm -r 10 " + file + " '" + (folder.Path() / "r").string() + "'", output),
        0)
        << output;
    EXPECT_EQ(output, "");
    for (int i = 1; i <= 3; ++i) {
        const std::string ppm = ReadFile(folder.Path() / ("r-" + std::to_string(i) + ".ppm"));
        // P6 header: "P6\n<w> <h>\n255\n"
        std::istringstream header(ppm);
        std::string magic;
        int width = 0, height = 0, max = 0;
        header >> magic >> width >> height >> max;
        ASSERT_EQ(magic, "P6");
        const std::size_t offset = static_cast<std::size_t>(header.tellg()) + 1;
        auto pixel = [&](int x, int y) {
            const std::size_t at = offset + (static_cast<std::size_t>(y) * width + x) * 3;
            return std::array<int, 3>{static_cast<unsigned char>(ppm[at]),
                                      static_cast<unsigned char>(ppm[at + 1]),
                                      static_cast<unsigned char>(ppm[at + 2])};
        };
        const auto left = pixel(width / 4, height / 2);
        const auto right = pixel(3 * width / 4, height / 2);
        EXPECT_GT(left[0], 150) << "page " << i;
        EXPECT_LT(left[2], 100) << "page " << i;
        EXPECT_GT(right[2], 150) << "page " << i;
        EXPECT_LT(right[0], 100) << "page " << i;
    }
}
