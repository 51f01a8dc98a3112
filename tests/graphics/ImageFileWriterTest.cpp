#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestImages.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpFile.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/ImageFileWriter.h"
#include "platform/graphics/JpegCodec.h"

namespace brevanto::graphics {
namespace {

using test::patternBitmap;
using test::readFile;
using test::TempFolder;

// The pattern bitmap of the format, stored top-down (as a section made from a top-down
// description) or bottom-up.
Bitmap storedBitmap(int width, int height, PixelFormat format, bool topDown) {
    Bitmap pattern = patternBitmap(width, height, format);
    pattern.setResolution(11811, 3780);
    if (!topDown) return pattern;
    BitmapInfoHeader header = pattern.infoHeader();
    header.biHeight = -height;
    std::vector<RgbQuad> colors;
    for (const PaletteEntry& e : pattern.palette())
        colors.push_back(RgbQuad{e.peBlue, e.peGreen, e.peRed, 0});
    const std::uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    auto bitmap = Bitmap::fromDibHeader(header, colors.data(), colors.size(), masks);
    for (int y = 0; y < height; ++y)
        std::memcpy(bitmap->scanLine(y), pattern.scanLine(y), pattern.stride());
    return std::move(*bitmap);
}

// Busy pixels, so that the JPEG comes to many of the writer's blocks.
Bitmap noisyBitmap(int width, int height) {
    Bitmap bitmap(width, height, PixelFormat::pf24bit);
    std::uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.scanLine(y);
        for (std::size_t i = 0; i < static_cast<std::size_t>(width) * 3; ++i) {
            state = state * 1103515245u + 12345u;
            row[i] = static_cast<std::uint8_t>(state >> 24);
        }
    }
    return bitmap;
}

class OutputFile {
  public:
    explicit OutputFile(const std::filesystem::path& path)
        : path_(path), fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {}
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    int fd() const { return fd_; }
    std::vector<std::uint8_t> bytes() {
        ::close(fd_);
        fd_ = -1;
        return readFile(path_);
    }

  private:
    std::filesystem::path path_;
    int fd_;
};

// Both files of the bitmap as the writers put them out, against the in-memory encoders.
void expectSameBytesAsTheEncoders(const Bitmap& bitmap, const TempFolder& folder) {
    OutputFile bmp(folder.file("page.bmp"));
    ASSERT_GE(bmp.fd(), 0);
    writeBmpFile(bmp.fd(), bitmap, "page.bmp");
    EXPECT_EQ(bmp.bytes(), encodeBmpFile(bitmap));

    Bitmap converted(bitmap);
    converted.setPixelFormat(PixelFormat::pf24bit);
    OutputFile jpeg(folder.file("page.jpg"));
    ASSERT_GE(jpeg.fd(), 0);
    writeJpegFile(jpeg.fd(), bitmap, 90, "page.jpg");
    EXPECT_EQ(jpeg.bytes(), encodeJpeg(converted, 90));
}

TEST(ImageFileWriter, WritesWhatTheEncodersMakeForEveryFormatWidthAndRowOrder) {
    const PixelFormat formats[] = {PixelFormat::pf1bit,  PixelFormat::pf4bit,  PixelFormat::pf8bit,
                                   PixelFormat::pf15bit, PixelFormat::pf16bit, PixelFormat::pf24bit,
                                   PixelFormat::pf32bit};
    // Odd widths leave padding at the end of every row; 37 rows span several row batches.
    const int widths[] = {1, 5, 13, 31};
    TempFolder folder;
    for (const PixelFormat format : formats) {
        for (const int width : widths) {
            for (const bool topDown : {false, true}) {
                SCOPED_TRACE(std::to_string(bitsPerPixelOf(format)) + " bits, width " +
                             std::to_string(width) + (topDown ? ", top-down" : ", bottom-up"));
                const Bitmap bitmap = storedBitmap(width, 37, format, topDown);
                ASSERT_EQ(bitmap.topDown(), topDown);
                expectSameBytesAsTheEncoders(bitmap, folder);
            }
        }
    }
}

TEST(ImageFileWriter, LargePicturesGoOutInManyWritesUnchanged) {
    TempFolder folder;
    // More rows than one write call takes, and a JPEG of several of its blocks.
    const Bitmap bottomUp = noisyBitmap(641, 1100);
    Bitmap topDown = storedBitmap(641, 1100, PixelFormat::pf24bit, true);
    for (int y = 0; y < bottomUp.height(); ++y)
        std::memcpy(topDown.scanLine(y), bottomUp.scanLine(y), bottomUp.stride());
    ASSERT_GT(encodeJpeg(bottomUp, 90).size(), std::size_t{512} << 10);
    expectSameBytesAsTheEncoders(bottomUp, folder);
    expectSameBytesAsTheEncoders(topDown, folder);
}

TEST(ImageFileWriter, FailedWriteNamesTheFileWithTheSystemsReason) {
    TempFolder folder;
    const std::filesystem::path existing = folder.file("existing.bmp");
    { OutputFile(existing).bytes(); }
    struct Case {
        const char* what;
        std::filesystem::path path;
        int flags;
        int error;
    };
    const Case cases[] = {
        {"full disk", "/dev/full", O_WRONLY, ENOSPC},
        {"descriptor open for reading", existing, O_RDONLY, EBADF},
    };
    const Bitmap bitmap = storedBitmap(31, 37, PixelFormat::pf8bit, false);
    const Bitmap large = noisyBitmap(641, 400);
    const std::string shown = "/cases/2024001/page.bmp";
    const std::string expected = "Cannot create file \"" + shown + "\". ";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int fd = ::open(c.path.c_str(), c.flags | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        for (const Bitmap* b : {&bitmap, &large}) {
            try {
                writeBmpFile(fd, *b, shown);
                ADD_FAILURE() << "no error from the BMP writer";
            } catch (const EFCreateError& e) {
                EXPECT_EQ(e.what(), expected + std::strerror(c.error));
            }
            try {
                writeJpegFile(fd, *b, 90, shown);
                ADD_FAILURE() << "no error from the JPEG writer";
            } catch (const EFCreateError& e) {
                EXPECT_EQ(e.what(), expected + std::strerror(c.error));
            }
        }
        ::close(fd);
    }
}

TEST(ImageFileWriter, EmptyBitmapIsNotCompressedAndNothingIsWritten) {
    TempFolder folder;
    for (const PixelFormat format : {PixelFormat::pf24bit, PixelFormat::pf8bit}) {
        OutputFile jpeg(folder.file("empty.jpg"));
        try {
            writeJpegFile(jpeg.fd(), Bitmap(0, 0, format), 90, "empty.jpg");
            ADD_FAILURE() << "no error";
        } catch (const EInvalidGraphicOperation& e) {
            EXPECT_STREQ(e.what(), "An empty bitmap cannot be compressed");
        }
        EXPECT_TRUE(jpeg.bytes().empty());
    }
}

}  // namespace
}  // namespace brevanto::graphics
