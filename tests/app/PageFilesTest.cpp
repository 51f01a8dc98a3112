// Writing a page's two files: complete, never over another file, nothing left on failure.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "app/PageFiles.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpFile.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/Picture.h"
#include "support/PdfFileCheck.h"

using brevanto::graphics::Bitmap;
using brevanto::graphics::PixelFormat;

namespace {

Bitmap page(PixelFormat format) {
    Bitmap bitmap(37, 21, format);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            bitmap.setPixel(
                x, y, {static_cast<std::uint8_t>(x * 6), 80, static_cast<std::uint8_t>(y * 12)});
    return bitmap;
}

std::vector<std::string> names(const std::filesystem::path& folder) {
    std::vector<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        all.push_back(entry.path().filename().string());
    std::sort(all.begin(), all.end());
    return all;
}

}  // namespace

TEST(PageFiles, BmpAsDeliveredAndAColourJpegBesideIt) {
    for (const PixelFormat format :
         {PixelFormat::pf1bit, PixelFormat::pf8bit, PixelFormat::pf24bit}) {
        TempFolder folder;
        const Bitmap image = page(format);
        const TPageFiles files = WritePageFiles(image, folder.Path().string(), "111220260907");
        EXPECT_EQ(files.Bmp, folder.Path().string() + "/111220260907.bmp");
        EXPECT_EQ(files.Jpeg, folder.Path().string() + "/111220260907.jpg");
        const std::string bmp = ReadFile(files.Bmp);
        const auto expected = brevanto::graphics::encodeBmpFile(image);
        EXPECT_EQ(bmp, std::string(expected.begin(), expected.end()));

        brevanto::graphics::Picture jpeg;
        jpeg.loadFromFile(files.Jpeg);
        const auto* decoded = jpeg.graphicAs<brevanto::graphics::JpegImage>();
        ASSERT_NE(decoded, nullptr);
        EXPECT_EQ(decoded->components(), 3);
        EXPECT_FALSE(decoded->progressive());
        EXPECT_EQ(decoded->width(), 37);
        EXPECT_EQ(decoded->height(), 21);
        EXPECT_EQ(names(folder.Path()),
                  (std::vector<std::string>{"111220260907.bmp", "111220260907.jpg"}));
    }
}

TEST(PageFiles, TakenNamesAreNeverReplaced) {
    // Files another workstation wrote in the same second: a whole page, a lone BMP, a lone JPEG.
    TempFolder folder;
    folder.Write("0101202610.bmp", "theirs");
    folder.Write("0101202610.jpg", "theirs");
    folder.Write("0101202610-2.bmp", "theirs");
    folder.Write("0101202610-3.jpg", "theirs");
    const TPageFiles files =
        WritePageFiles(page(PixelFormat::pf24bit), folder.Path().string(), "0101202610");
    EXPECT_EQ(files.Bmp, folder.Path().string() + "/0101202610-4.bmp");
    EXPECT_EQ(files.Jpeg, folder.Path().string() + "/0101202610-4.jpg");
    for (const char* theirs :
         {"0101202610.bmp", "0101202610.jpg", "0101202610-2.bmp", "0101202610-3.jpg"})
        EXPECT_EQ(ReadFile(folder.Path() / theirs), "theirs") << theirs;
    EXPECT_EQ(names(folder.Path()).size(), 6u);  // no temporary file stays
}

TEST(PageFiles, AFolderThatCannotTakeFilesFailsNamingThePageAndLeavesNothing) {
    TempFolder folder;
    const std::string notAFolder = folder.Write("plain-file", "x").string();
    for (const std::string& target : {folder.Path().string() + "/missing", notAFolder}) {
        try {
            WritePageFiles(page(PixelFormat::pf24bit), target, "0101202610");
            ADD_FAILURE() << target;
        } catch (const brevanto::graphics::EFCreateError& error) {
            EXPECT_EQ(std::string(error.what())
                          .rfind("Cannot create file \"" + target + "/0101202610.bmp\". ", 0),
                      0u)
                << error.what();
        }
    }
    EXPECT_EQ(names(folder.Path()), std::vector<std::string>{"plain-file"});
}
