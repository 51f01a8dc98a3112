// JPEG pictures loaded from files leave their bytes in the file until someone needs them; they
// must behave as pictures loaded from the same bytes, and never give other bytes.
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LibjpegProbe.h"
#include "TestImages.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/FileRegion.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/JpegImage.h"

namespace brevanto::graphics {
namespace {

using test::gradientBitmap;
using test::makeJpeg;
using test::makeSolidJpeg;
using test::readFile;
using test::TempFolder;
using test::writeFile;

std::vector<std::uint8_t> encoded(const Bitmap& bitmap) {
    JpegImage jpeg;
    jpeg.assign(bitmap);
    return jpeg.data();
}

std::vector<std::uint8_t> pixelsOf(const Bitmap& bitmap) {
    return {bitmap.bits(), bitmap.bits() + bitmap.bitsSize()};
}

std::size_t openDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

std::string changedMessage(const std::filesystem::path& path) {
    return "Cannot open file \"" + path.string() + "\". The file has changed since it was loaded.";
}

TEST(JpegImageFile, BehavesAsTheSameBytesLoadedFromMemory) {
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"baseline RGB", encoded(gradientBitmap(37, 21))},
        {"grey", makeJpeg(16, 9, 1, false)},
        {"progressive", makeJpeg(40, 24, 3, true)},
        {"CMYK with the Adobe segment", makeSolidJpeg(8, 8, {255, 0, 0, 255})},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = folder.file(std::string(c.name) + ".jpg");
        writeFile(path, c.bytes);
        JpegImage fromFile;
        fromFile.loadFromFile(path);
        JpegImage fromBytes;
        fromBytes.loadFromBytes(c.bytes.data(), c.bytes.size());

        ASSERT_NE(fromFile.sharedFile(), nullptr);
        EXPECT_EQ(fromFile.sharedFile()->size(), c.bytes.size());
        EXPECT_EQ(fromBytes.sharedFile(), nullptr);
        EXPECT_FALSE(fromFile.empty());
        EXPECT_EQ(fromFile.width(), fromBytes.width());
        EXPECT_EQ(fromFile.height(), fromBytes.height());
        EXPECT_EQ(fromFile.components(), fromBytes.components());
        EXPECT_EQ(fromFile.progressive(), fromBytes.progressive());
        EXPECT_EQ(fromFile.adobeMarker(), fromBytes.adobeMarker());
        Bitmap decodedFromFile, decodedFromBytes;
        fromFile.assignTo(decodedFromFile);
        fromBytes.assignTo(decodedFromBytes);
        EXPECT_EQ(pixelsOf(decodedFromFile), pixelsOf(decodedFromBytes));
        EXPECT_EQ(fromFile.saveToBytes(), c.bytes);
        // Decoding and saving read the file without keeping its bytes; data() keeps them.
        EXPECT_NE(fromFile.sharedFile(), nullptr);
        const JpegImage copy(fromFile);
        EXPECT_EQ(copy.sharedFile(), fromFile.sharedFile());
        EXPECT_EQ(fromFile.data(), c.bytes);
        EXPECT_EQ(fromFile.sharedFile(), nullptr);
        EXPECT_EQ(fromFile.sharedData().get(), &fromFile.data());
        EXPECT_EQ(copy.data(), c.bytes);
    }

    // A damaged file is refused as the same bytes are, and the picture keeps what it held.
    const std::vector<std::uint8_t> whole = encoded(gradientBitmap(20, 10));
    const std::vector<std::uint8_t> cut(whole.begin(), whole.end() - 2);
    writeFile(folder.file("cut.jpg"), cut);
    JpegImage jpeg;
    jpeg.loadFromBytes(whole.data(), whole.size());
    try {
        jpeg.loadFromFile(folder.file("cut.jpg"));
        FAIL() << "took a cut stream";
    } catch (const EJPEG& e) {
        EXPECT_STREQ(e.what(),
                     "JPEG image is not valid: the data end before the end-of-image marker");
    }
    EXPECT_EQ(jpeg.data(), whole);
    EXPECT_THROW(jpeg.loadFromFile(folder.file("missing.jpg")), EFOpenError);
    EXPECT_EQ(jpeg.width(), 20);
}

TEST(JpegImageFile, ChangedFileIsRefusedNamingItAndALostNameIsNot) {
    const std::vector<std::uint8_t> page = encoded(gradientBitmap(48, 32));
    const std::vector<std::uint8_t> other = encoded(gradientBitmap(32, 48));
    using std::filesystem::path;
    const struct {
        const char* name;
        std::function<void(const path&)> change;
        bool refused;
    } cases[] = {
        {"truncated", [&](const path& p) { std::filesystem::resize_file(p, page.size() / 2); },
         true},
        {"grown",
         [&](const path& p) {
             std::vector<std::uint8_t> longer = page;
             longer.push_back(0);
             writeFile(p, longer);
         },
         true},
        {"renamed over",
         [&](const path& p) {
             writeFile(p.string() + ".new", other);
             std::filesystem::rename(p.string() + ".new", p);
         },
         true},
        {"rewritten in place, one second later",
         [&](const path& p) {
             const auto time = std::filesystem::last_write_time(p);
             writeFile(p, page);
             std::filesystem::last_write_time(p, time + std::chrono::seconds(1));
         },
         true},
        {"deleted", [&](const path& p) { std::filesystem::remove(p); }, false},
        {"moved away", [&](const path& p) { std::filesystem::rename(p, p.string() + ".moved"); },
         false},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const path file = folder.file(std::string(c.name) + ".jpg");
        writeFile(file, page);
        JpegImage jpeg;
        jpeg.loadFromFile(file);
        const JpegImage copy(jpeg);
        c.change(file);
        if (c.refused) {
            try {
                jpeg.data();
                FAIL() << "gave bytes of a changed file";
            } catch (const EFOpenError& e) {
                EXPECT_EQ(e.what(), changedMessage(file));
            }
            EXPECT_THROW(copy.saveToBytes(), EFOpenError);
            Bitmap bitmap;
            EXPECT_THROW(copy.assignTo(bitmap), EFOpenError);
            EXPECT_EQ(jpeg.width(), 48);  // what was checked at load stays known
        } else {
            EXPECT_EQ(jpeg.data(), page);
            EXPECT_EQ(copy.saveToBytes(), page);
        }
    }
}

TEST(JpegImageFile, FilesCloseWithTheirLastPictureAndOnlySoManyStayOpen) {
    TempFolder folder;
    const std::vector<std::uint8_t> page = encoded(gradientBitmap(8, 8));
    const std::size_t pages = FileRegion::kMaxOpen + 2;
    for (std::size_t i = 0; i < pages; ++i)
        writeFile(folder.file("page" + std::to_string(i) + ".jpg"), page);
    const std::size_t descriptorsBefore = openDescriptors();
    const std::size_t regionsBefore = FileRegion::openCount();
    {
        std::vector<JpegImage> pictures(pages);
        for (std::size_t i = 0; i < pages; ++i)
            pictures[i].loadFromFile(folder.file("page" + std::to_string(i) + ".jpg"));
        const std::vector<JpegImage> copies = pictures;  // share their files
        EXPECT_EQ(FileRegion::openCount(), FileRegion::kMaxOpen);
        EXPECT_EQ(openDescriptors(), descriptorsBefore + FileRegion::kMaxOpen - regionsBefore);
        // Past the bound the bytes are held in memory.
        EXPECT_EQ(pictures.back().sharedFile(), nullptr);
        for (const JpegImage& picture : copies) ASSERT_EQ(picture.saveToBytes(), page);
        pictures[0].loadFromBytes(page.data(), page.size());
        pictures[1].assign(gradientBitmap(4, 4));
        EXPECT_EQ(FileRegion::openCount(), FileRegion::kMaxOpen);  // the copies hold them
    }
    EXPECT_EQ(FileRegion::openCount(), regionsBefore);
    EXPECT_EQ(openDescriptors(), descriptorsBefore);
}

}  // namespace
}  // namespace brevanto::graphics
