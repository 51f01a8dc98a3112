// "Salvar PDF" leaves each page's JPEG in its file until CloseDoc, which has the file system
// copy it into the document: the document must be byte for byte the one made from the same
// bytes in memory, and a page file changed meanwhile must fail the save, naming the file.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ReportFixtures.h"
#include "pdf/MemoryStream.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/FileDescriptor.h"
#include "platform/graphics/FileRegion.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/JpegImage.h"
#include "platform/locale/LocalClock.h"
#include "report/TFileStream.h"
#include "report/TPReport.h"

using brevanto::graphics::Bitmap;
using brevanto::graphics::EFOpenError;
using brevanto::graphics::FileDescriptor;
using brevanto::graphics::FileRegion;
using brevanto::graphics::JpegImage;
using brevanto::graphics::PixelFormat;
using brevanto::graphics::RgbColor;

namespace {

// A JPEG of noise, which compresses badly: big enough to pass any write buffer.
void WriteNoisyJpeg(const std::filesystem::path& path, int width, int height) {
    Bitmap bitmap(width, height, PixelFormat::pf24bit);
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(
                x, y,
                RgbColor{static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
                         static_cast<std::uint8_t>(random())});
    JpegImage jpeg;
    jpeg.assign(bitmap);
    jpeg.saveToFile(path);
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The file the program writes for these pages, each loaded by load.
void FilePages(const std::vector<std::filesystem::path>& pages,
               const std::function<void(TProgramPageLayout&, const std::filesystem::path&)>& load,
               const std::filesystem::path& pdf) {
    TProgramPageLayout layout;
    TPReport report;
    report.SetFileName(pdf.string());
    report.SetCreationDate(41829.71127694444);
    FixedLocalClock clock({2026, 12, 11, 9, 30, 5, 0});
    report.OpenDoc();
    for (const auto& page : pages) {
        // One image object under a fixed name, so two runs write the same bytes.
        layout.PRJpegImage1.SetSharedImage(true);
        load(layout, page);
        report.PrintPage(layout.pagina);
    }
    report.CloseDoc();
}

void LoadFile(TProgramPageLayout& layout, const std::filesystem::path& page) {
    layout.PRJpegImage1.Picture().loadFromFile(page);
}

void LoadBytes(TProgramPageLayout& layout, const std::filesystem::path& page) {
    const std::string bytes = ReadFile(page);
    auto jpeg = std::make_unique<JpegImage>();
    jpeg->loadFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    layout.PRJpegImage1.Picture().setGraphic(std::move(jpeg));
}

}  // namespace

TEST(FiledPages, PagesLeftInTheirFilesWriteTheSameDocumentAsPagesInMemory) {
    RegisterPdfClasses();
    TempFolder folder;
    const struct {
        const char* name;
        int width, height;
        bool noisy;
    } cases[] = {
        {"small", 40, 56, false},
        {"larger than the write buffer", 320, 240, true},
    };
    const std::size_t regionsBefore = FileRegion::openCount();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto page = folder.Path() / (std::string(c.name) + ".jpg");
        if (c.noisy)
            WriteNoisyJpeg(page, c.width, c.height);
        else
            WriteTestJpeg(page, c.width, c.height);
        FilePages({page}, LoadFile, folder.Path() / "from-file.pdf");
        FilePages({page}, LoadBytes, folder.Path() / "from-bytes.pdf");
        const std::string fromFile = ReadFile(folder.Path() / "from-file.pdf");
        EXPECT_TRUE(fromFile == ReadFile(folder.Path() / "from-bytes.pdf"));
        EXPECT_NE(fromFile.find(ReadFile(page)), std::string::npos);
        ExpectAcceptedByTools(folder.Path() / "from-file.pdf");
    }
    EXPECT_EQ(FileRegion::openCount(), regionsBefore);  // closed with the document and layout
}

TEST(FiledPages, PageFileChangedBeforeCloseFailsNamingItAndLeavesNoFile) {
    RegisterPdfClasses();
    using std::filesystem::path;
    const struct {
        const char* name;
        std::function<void(const path&)> change;
        bool refused;
    } cases[] = {
        {"truncated",
         [](const path& p) { std::filesystem::resize_file(p, std::filesystem::file_size(p) / 2); },
         true},
        {"grown",
         [](const path& p) { std::filesystem::resize_file(p, std::filesystem::file_size(p) + 1); },
         true},
        {"renamed over",
         [](const path& p) {
             WriteTestJpeg(p.string() + ".new", 40, 56);
             std::filesystem::rename(p.string() + ".new", p);
         },
         true},
        {"modified one second later",
         [](const path& p) {
             std::filesystem::last_write_time(
                 p, std::filesystem::last_write_time(p) + std::chrono::seconds(1));
         },
         true},
        {"deleted", [](const path& p) { std::filesystem::remove(p); }, false},
        {"moved away",
         [](const path& p) { std::filesystem::rename(p, p.parent_path() / "elsewhere.jpg"); },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const path first = folder.Path() / "page1.jpg";
        const path second = folder.Path() / "page2.jpg";
        WriteTestJpeg(first, 24, 32);
        WriteTestJpeg(second, 32, 24);
        const std::string secondBytes = ReadFile(second);
        const path pdf = folder.Path() / "filed.pdf";

        TProgramPageLayout layout;
        TPReport report;
        report.SetFileName(pdf.string());
        report.OpenDoc();
        for (const path& page : {first, second}) {
            layout.PRJpegImage1.SetSharedImage(false);
            layout.PRJpegImage1.Picture().loadFromFile(page);
            report.PrintPage(layout.pagina);
        }
        layout.PRJpegImage1.Picture().clear();
        c.change(second);
        const std::vector<std::string> before = FilesIn(folder.Path());
        if (c.refused) {
            try {
                report.CloseDoc();
                FAIL() << "filed a changed page";
            } catch (const EFOpenError& e) {
                EXPECT_EQ(e.what(), "Cannot open file \"" + second.string() +
                                        "\". The file has changed since it was loaded.");
            }
            EXPECT_TRUE(report.HasDocument());
            EXPECT_EQ(FilesIn(folder.Path()), before);  // no document, no temporary file
            report.CancelDoc();
        } else {
            report.CloseDoc();
            const std::string written = ReadFile(pdf);
            EXPECT_NE(written.find(secondBytes), std::string::npos);
            ExpectAcceptedByTools(pdf);
        }
    }
}

TEST(FiledPages, FileCopiesLandWhereTheStreamStands) {
    TempFolder folder;
    std::string source(200000, '\0');
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<char>(i * 7 + i / 251);
    const auto sourcePath = folder.Write("source.bin", source);
    const FileDescriptor readable(::open(sourcePath.c_str(), O_RDONLY | O_CLOEXEC));
    const FileDescriptor writeOnly(::open(sourcePath.c_str(), O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(readable.valid() && writeOnly.valid());
    // The same steps on every sink: a copy after buffered bytes, one running into the file's
    // end, an overwrite before them, and a source that cannot be read.
    const auto run = [&](TStream& sink) {
        sink.Write("head", 4);
        TStream::TCopyResult copy = sink.CopyFromFile(readable.get(), 5, 150000);
        EXPECT_EQ(copy.Copied, 150000u);
        EXPECT_EQ(copy.ReadError, 0);
        EXPECT_EQ(sink.Position(), 4 + 150000);
        sink.Write("mid", 3);
        copy = sink.CopyFromFile(readable.get(), 199990, 100);
        EXPECT_EQ(copy.Copied, 10u);
        EXPECT_EQ(copy.ReadError, 0);
        copy = sink.CopyFromFile(writeOnly.get(), 0, 100);
        EXPECT_EQ(copy.Copied, 0u);
        EXPECT_EQ(copy.ReadError, EBADF);
        sink.SetPosition(0);
        sink.Write("H", 1);
        EXPECT_EQ(sink.Position(), 1);
    };
    const std::string expected =
        "Head" + source.substr(5, 150000) + "mid" + source.substr(199990, 10);

    TMemoryStream memory;
    run(memory);
    EXPECT_TRUE(std::string(memory.View()) == expected);

    const auto target = folder.Path() / "target.bin";
    TFileStream file(target);
    run(file);
    file.Close();
    EXPECT_TRUE(ReadFile(target) == expected);
}
