#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LibjpegProbe.h"
#include "TestImages.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/ImageLimits.h"
#include "platform/graphics/JpegCodec.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/JpegStructure.h"
#include "platform/graphics/Picture.h"

namespace brevanto::graphics {
namespace {

using test::gradientBitmap;
using test::makeJpeg;
using test::makeSolidJpeg;
using test::readFile;
using test::readJpegHeader;
using test::TempFolder;
using test::writeFile;

// The markers of the header segments, up to and including the first SOS.
std::vector<int> headerMarkers(const std::vector<std::uint8_t>& d) {
    std::vector<int> markers;
    std::size_t pos = 2;
    while (pos + 4 <= d.size() && d[pos] == 0xFF) {
        const int marker = d[pos + 1];
        markers.push_back(marker);
        if (marker == 0xDA) break;
        pos += 2 + static_cast<std::size_t>((d[pos + 2] << 8) | d[pos + 3]);
    }
    return markers;
}

bool contains(const std::vector<int>& v, int x) {
    return std::find(v.begin(), v.end(), x) != v.end();
}

std::vector<std::uint8_t> encoded(const Bitmap& bitmap) {
    JpegImage jpeg;
    jpeg.assign(bitmap);
    return jpeg.data();
}

TEST(JpegImage, CompressesBaselineJfifWithThreeComponentsAtQualityNinety) {
    const std::vector<std::uint8_t> data = encoded(gradientBitmap(37, 21));
    const test::LibjpegFacts facts = readJpegHeader(data);
    ASSERT_TRUE(facts.ok);
    EXPECT_EQ(facts.width, 37);
    EXPECT_EQ(facts.height, 21);
    EXPECT_EQ(facts.components, 3);
    EXPECT_TRUE(facts.jfif);
    EXPECT_TRUE(facts.ycbcr);
    EXPECT_FALSE(facts.progressive);
    // Quality 90 scales the standard luminance table (16, 11, ...) by 20 %.
    EXPECT_EQ(facts.lumaQuant0, 3);
    EXPECT_EQ(facts.lumaQuant1, 2);
    const std::vector<int> markers = headerMarkers(data);
    EXPECT_EQ(markers.front(), 0xE0);  // APP0 first
    EXPECT_TRUE(contains(markers, 0xC0));
    EXPECT_FALSE(contains(markers, 0xC1));
    EXPECT_FALSE(contains(markers, 0xC2));
    EXPECT_EQ(data[data.size() - 2], 0xFF);
    EXPECT_EQ(data.back(), 0xD9);
}

TEST(JpegImage, PaletteBitmapsAreCompressedInColour) {
    Bitmap bitmap(8, 8, PixelFormat::pf1bit);
    bitmap.setPixelIndex(3, 3, 1);
    JpegImage jpeg;
    jpeg.assign(bitmap);
    EXPECT_EQ(jpeg.width(), 8);
    EXPECT_EQ(readJpegHeader(jpeg.data()).components, 3);
    EXPECT_EQ(bitmap.pixelFormat(), PixelFormat::pf1bit);  // the source is left alone
}

TEST(JpegImage, CompressionQualityChangesTheTables) {
    JpegImage jpeg;
    jpeg.setCompressionQuality(50);
    jpeg.assign(gradientBitmap(8, 8));
    EXPECT_EQ(readJpegHeader(jpeg.data()).lumaQuant0, 16);
    EXPECT_THROW(jpeg.setCompressionQuality(0), EInvalidGraphicOperation);
}

TEST(JpegImage, LoadReadsSizeFromTheHeaderAndSavesTheSameBytes) {
    std::vector<std::uint8_t> data = makeJpeg(23, 17, 3, false);
    // A comment segment and bytes after the end marker must survive too.
    const std::vector<std::uint8_t> comment = {0xFF, 0xFE, 0x00, 0x06, 'n', 'o', 't', 'e'};
    data.insert(data.begin() + 2, comment.begin(), comment.end());
    data.push_back(0x00);
    data.push_back(0x42);
    TempFolder folder;
    writeFile(folder.file("in.jpg"), data);

    JpegImage jpeg;
    jpeg.loadFromFile(folder.file("in.jpg"));
    EXPECT_EQ(jpeg.width(), 23);
    EXPECT_EQ(jpeg.height(), 17);
    EXPECT_EQ(jpeg.components(), 3);
    EXPECT_EQ(jpeg.data(), data);
    jpeg.saveToFile(folder.file("out.jpg"));
    EXPECT_EQ(readFile(folder.file("out.jpg")), data);
    const JpegImage copy = jpeg;
    EXPECT_EQ(copy.saveToBytes(), data);
}

TEST(JpegImage, DecodesToBlueGreenRedBitmap) {
    Bitmap original(16, 16, PixelFormat::pf24bit);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            original.setPixel(x, y, y < 8 ? RgbColor{200, 30, 40} : RgbColor{20, 60, 220});
    JpegImage jpeg;
    const std::vector<std::uint8_t> data = encoded(original);
    jpeg.loadFromBytes(data.data(), data.size());
    Bitmap decoded;
    decoded.assign(jpeg);
    ASSERT_EQ(decoded.pixelFormat(), PixelFormat::pf24bit);
    ASSERT_EQ(decoded.width(), 16);
    for (const auto& [x, y] : {std::pair{2, 2}, {13, 5}, {4, 12}, {10, 14}}) {
        const RgbColor want = original.pixel(x, y);
        const RgbColor got = decoded.pixel(x, y);
        EXPECT_NEAR(got.red, want.red, 6) << x << "," << y;
        EXPECT_NEAR(got.green, want.green, 6) << x << "," << y;
        EXPECT_NEAR(got.blue, want.blue, 6) << x << "," << y;
    }
}

TEST(JpegImage, GreyJpegDecodesToEightBitsWithGreyRamp) {
    const std::vector<std::uint8_t> data = makeJpeg(9, 5, 1, false);
    JpegImage jpeg;
    jpeg.loadFromBytes(data.data(), data.size());
    EXPECT_EQ(jpeg.components(), 1);
    Bitmap decoded;
    decoded.assign(jpeg);
    EXPECT_EQ(decoded.pixelFormat(), PixelFormat::pf8bit);
    EXPECT_EQ(decoded.palette()[77], (PaletteEntry{77, 77, 77, 0}));
}

TEST(JpegImage, CmykJpegDecodesToItsRgbColour) {
    // Adobe CMYK stores 255 minus the ink: no cyan, full magenta and yellow, no black is red.
    const std::vector<std::uint8_t> data = makeSolidJpeg(8, 8, {255, 0, 0, 255});
    JpegImage jpeg;
    jpeg.loadFromBytes(data.data(), data.size());
    EXPECT_EQ(jpeg.components(), 4);
    Bitmap decoded;
    decoded.assign(jpeg);
    ASSERT_EQ(decoded.pixelFormat(), PixelFormat::pf24bit);
    const RgbColor c = decoded.pixel(4, 4);
    EXPECT_GE(c.red, 250);
    EXPECT_LE(c.green, 5);
    EXPECT_LE(c.blue, 5);
}

// The data with one more segment right after SOI.
std::vector<std::uint8_t> withSegment(std::vector<std::uint8_t> data, std::uint8_t marker,
                                      const std::string& body) {
    const std::size_t length = body.size() + 2;
    std::vector<std::uint8_t> segment = {0xFF, marker, static_cast<std::uint8_t>(length >> 8),
                                         static_cast<std::uint8_t>(length & 0xFF)};
    segment.insert(segment.end(), body.begin(), body.end());
    data.insert(data.begin() + 2, segment.begin(), segment.end());
    return data;
}

TEST(JpegImage, AdobeSegmentIsFoundWhereLibjpegFindsIt) {
    const std::vector<std::uint8_t> plainCmyk = makeSolidJpeg(8, 8, {0, 255, 255, 0}, false);
    // "Adobe", version 100, two flag words, transform 0 (no colour conversion).
    const std::string adobe("Adobe\x00\x64\x00\x00\x00\x00\x00", 12);
    const struct Case {
        const char* name;
        std::vector<std::uint8_t> data;
        int components;
        bool adobe;
    } cases[] = {
        {"grey", makeJpeg(8, 8, 1, false), 1, false},
        {"RGB", makeJpeg(8, 8, 3, false), 3, false},
        {"CMYK as libjpeg writes it", makeSolidJpeg(8, 8, {0, 255, 255, 0}), 4, true},
        {"CMYK without the segment", plainCmyk, 4, false},
        {"segment added by hand", withSegment(plainCmyk, 0xEE, adobe), 4, true},
        {"grey with the segment", withSegment(makeJpeg(8, 8, 1, false), 0xEE, adobe), 1, true},
        {"segment too short for the transform", withSegment(plainCmyk, 0xEE, adobe.substr(0, 11)),
         4, false},
        {"another APP14 segment", withSegment(plainCmyk, 0xEE, "Other" + adobe.substr(5)), 4,
         false},
        {"Adobe in another APP segment", withSegment(plainCmyk, 0xED, adobe), 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readJpegHeader(c.data).adobe, c.adobe);  // libjpeg agrees with the table
        JpegImage jpeg;
        jpeg.loadFromBytes(c.data.data(), c.data.size());
        EXPECT_EQ(jpeg.components(), c.components);
        EXPECT_EQ(jpeg.adobeMarker(), c.adobe);
        const JpegImage copy = jpeg;
        EXPECT_EQ(copy.adobeMarker(), c.adobe);
        // Our own compressed pictures never carry the segment.
        jpeg.assign(gradientBitmap(4, 4));
        jpeg.compress();
        EXPECT_FALSE(jpeg.adobeMarker());
    }
}

TEST(JpegImage, PixelsNotYetCompressedAssignToABitmapUnchanged) {
    const Bitmap original = gradientBitmap(6, 5);
    JpegImage jpeg;
    jpeg.assign(original);
    Bitmap back;
    back.assign(jpeg);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(back.pixel(x, y), original.pixel(x, y));
    JpegImage copy;
    copy.assign(jpeg);
    EXPECT_EQ(copy.data(), jpeg.data());
}

TEST(JpegImage, ProgressiveJpegLoadsAndDecodes) {
    const std::vector<std::uint8_t> data = makeJpeg(40, 30, 3, true);
    JpegImage jpeg;
    jpeg.loadFromBytes(data.data(), data.size());
    EXPECT_TRUE(jpeg.progressive());
    EXPECT_EQ(jpeg.data(), data);
    Bitmap decoded;
    decoded.assign(jpeg);
    EXPECT_EQ(decoded.width(), 40);
    EXPECT_EQ(decoded.height(), 30);
}

TEST(JpegImage, EmptyPictureHasNothingToSave) {
    JpegImage jpeg;
    EXPECT_TRUE(jpeg.empty());
    EXPECT_TRUE(jpeg.data().empty());
    EXPECT_THROW(jpeg.saveToBytes(), EInvalidGraphicOperation);
    Bitmap decoded(2, 2, PixelFormat::pf8bit);
    decoded.assign(jpeg);
    EXPECT_TRUE(decoded.empty());
}

std::size_t scanStart(const std::vector<std::uint8_t>& d) {
    for (std::size_t i = 2; i + 1 < d.size(); ++i)
        if (d[i] == 0xFF && d[i + 1] == 0xDA) return i;
    return 0;
}

std::size_t frameStart(const std::vector<std::uint8_t>& d) {
    for (std::size_t i = 2; i + 1 < d.size(); ++i)
        if (d[i] == 0xFF && d[i + 1] == 0xC0) return i;
    return 0;
}

TEST(JpegImage, DamagedStreamsAreRefusedOnLoad) {
    struct Case {
        const char* name;
        void (*damage)(std::vector<std::uint8_t>&);
    };
    const Case cases[] = {
        {"empty", [](std::vector<std::uint8_t>& d) { d.clear(); }},
        {"a BMP file",
         [](std::vector<std::uint8_t>& d) {
             d = Bitmap(1, 1, PixelFormat::pf24bit).saveToBytes();
         }},
        {"only SOI", [](std::vector<std::uint8_t>& d) { d.resize(2); }},
        {"cut in the header", [](std::vector<std::uint8_t>& d) { d.resize(11); }},
        {"cut in the frame header",
         [](std::vector<std::uint8_t>& d) { d.resize(frameStart(d) + 6); }},
        {"cut in the scan", [](std::vector<std::uint8_t>& d) { d.resize(d.size() * 2 / 3); }},
        {"end marker missing", [](std::vector<std::uint8_t>& d) { d.resize(d.size() - 2); }},
        {"height 0",
         [](std::vector<std::uint8_t>& d) {
             d[frameStart(d) + 5] = 0;
             d[frameStart(d) + 6] = 0;
         }},
        {"segment longer than the file",
         [](std::vector<std::uint8_t>& d) {
             d[4] = 0xFF;
             d[5] = 0xFF;
         }},
        {"segment length 1",
         [](std::vector<std::uint8_t>& d) {
             d[4] = 0;
             d[5] = 1;
         }},
        {"no frame header",
         [](std::vector<std::uint8_t>& d) {
             const std::size_t sof = frameStart(d);
             d.erase(d.begin() + static_cast<std::ptrdiff_t>(sof),
                     d.begin() +
                         static_cast<std::ptrdiff_t>(sof + 2 + ((d[sof + 2] << 8) | d[sof + 3])));
         }},
        {"no scan",
         [](std::vector<std::uint8_t>& d) {
             d.resize(scanStart(d));
             d.push_back(0xFF);
             d.push_back(0xD9);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> data = encoded(gradientBitmap(40, 40));
        c.damage(data);
        const auto block = std::make_unique<std::uint8_t[]>(data.size());
        std::copy(data.begin(), data.end(), block.get());
        const std::vector<std::uint8_t> before = makeJpeg(3, 3, 3, false);
        JpegImage jpeg;
        jpeg.loadFromBytes(before.data(), before.size());
        try {
            jpeg.loadFromBytes(data.empty() ? nullptr : block.get(), data.size());
            ADD_FAILURE() << "no error";
        } catch (const EJPEG& e) {
            EXPECT_EQ(std::string(e.what()).rfind("JPEG image is not valid: ", 0), 0u) << e.what();
        }
        EXPECT_EQ(jpeg.width(), 3);
        EXPECT_EQ(jpeg.data(), before);
    }
}

TEST(JpegImage, MarkersInsideTheScanDataAreFoundWhereverTheyLie) {
    const std::vector<std::uint8_t> original = encoded(gradientBitmap(64, 64));
    const std::size_t sos = scanStart(original);
    const std::size_t entropy = sos + 2 + ((original[sos + 2] << 8) | original[sos + 3]);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> inserted;
        const char* error;  // null: accepted
    };
    const Case cases[] = {
        {"stuffed zero", {0xFF, 0x00}, nullptr},
        {"restart marker", {0xFF, 0xD5}, nullptr},
        {"fill bytes before a stuffed zero", {0xFF, 0xFF, 0xFF, 0x00}, nullptr},
        {"second start of image", {0xFF, 0xD8}, "a second start-of-image marker was found"},
        {"segment cut short", {0xFF, 0xC4, 0xFF, 0xFF}, "a segment is truncated"},
    };
    for (const Case& c : cases) {
        // Every offset in the first two dozen bytes, so the marker lies anywhere in a block.
        for (std::size_t offset = 0; offset < 40; ++offset) {
            const std::size_t at = entropy + offset;
            if (original[at - 1] == 0xFF) continue;  // would pair with the inserted bytes
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(offset));
            std::vector<std::uint8_t> data = original;
            data.insert(data.begin() + static_cast<std::ptrdiff_t>(at), c.inserted.begin(),
                        c.inserted.end());
            JpegImage jpeg;
            if (c.error == nullptr) {
                jpeg.loadFromBytes(data.data(), data.size());
                EXPECT_EQ(jpeg.width(), 64);
                continue;
            }
            try {
                jpeg.loadFromBytes(data.data(), data.size());
                ADD_FAILURE() << "no error";
            } catch (const EJPEG& e) {
                EXPECT_EQ(e.what(), std::string("JPEG image is not valid: ") + c.error);
            }
        }
    }
    // At the end: fill bytes before the end marker are fine; a lone 0xFF is no end marker.
    std::vector<std::uint8_t> filled = original;
    filled.insert(filled.end() - 2, {0xFF, 0xFF});
    JpegImage jpeg;
    jpeg.loadFromBytes(filled.data(), filled.size());
    EXPECT_EQ(jpeg.height(), 64);
    std::vector<std::uint8_t> cut = original;
    cut.pop_back();
    try {
        jpeg.loadFromBytes(cut.data(), cut.size());
        ADD_FAILURE() << "no error";
    } catch (const EJPEG& e) {
        EXPECT_STREQ(e.what(),
                     "JPEG image is not valid: the data end before the end-of-image marker");
    }
}

TEST(JpegImage, SharedBytesOutliveThePictureAndItsNextLoad) {
    TempFolder folder;
    const std::vector<std::uint8_t> first = encoded(gradientBitmap(40, 30));
    const std::vector<std::uint8_t> second = encoded(gradientBitmap(8, 8));
    writeFile(folder.file("first.jpg"), first);
    writeFile(folder.file("second.jpg"), second);

    JpegImage jpeg;
    jpeg.loadFromFile(folder.file("first.jpg"));
    const auto shared = jpeg.sharedData();
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(*shared, first);
    EXPECT_EQ(shared.get(), &jpeg.data());
    const JpegImage copy(jpeg);
    EXPECT_EQ(&copy.data(), &jpeg.data());

    jpeg.loadFromFile(folder.file("second.jpg"));
    EXPECT_EQ(jpeg.data(), second);
    EXPECT_EQ(jpeg.width(), 8);
    EXPECT_EQ(*shared, first);
    EXPECT_EQ(copy.data(), first);
    EXPECT_EQ(copy.width(), 40);

    jpeg.assign(gradientBitmap(9, 7));
    EXPECT_EQ(*jpeg.sharedData(), jpeg.data());
    EXPECT_EQ(jpeg.sharedData().get(), &jpeg.data());
    EXPECT_TRUE(JpegImage().sharedData()->empty());
}

TEST(JpegImage, CorruptScanDataIsRefusedWhenDecoding) {
    // Well-formed markers, but the scan ends early: decoding must not invent grey rows.
    std::vector<std::uint8_t> data = encoded(gradientBitmap(64, 64));
    const std::size_t sos = scanStart(data);
    data.resize(sos + 40);
    data.push_back(0xFF);
    data.push_back(0xD9);
    JpegImage jpeg;
    jpeg.loadFromBytes(data.data(), data.size());
    Bitmap decoded(1, 1, PixelFormat::pf24bit);
    try {
        decoded.assign(jpeg);
        FAIL() << "no error";
    } catch (const EJPEG& e) {
        EXPECT_EQ(std::string(e.what()).rfind("JPEG image is not valid: ", 0), 0u) << e.what();
    }
    EXPECT_EQ(decoded.width(), 1);
}

TEST(JpegImage, SizesBeyondTheDataOrAnyScannerAreRefusedBeforeAllocating) {
    const std::vector<std::uint8_t> small = encoded(gradientBitmap(16, 16));
    const std::size_t sof = frameStart(small);
    auto declaring = [&](int width, int height, std::size_t padding) {
        std::vector<std::uint8_t> data = small;
        data[sof + 5] = static_cast<std::uint8_t>(height >> 8);
        data[sof + 6] = static_cast<std::uint8_t>(height & 0xFF);
        data[sof + 7] = static_cast<std::uint8_t>(width >> 8);
        data[sof + 8] = static_cast<std::uint8_t>(width & 0xFF);
        // A comment segment makes the stream as long as a real page's would be.
        for (std::size_t left = padding; left > 0;) {
            const std::size_t chunk = std::min<std::size_t>(left, 65000);
            std::vector<std::uint8_t> comment{0xFF, 0xFE,
                                              static_cast<std::uint8_t>((chunk + 2) >> 8),
                                              static_cast<std::uint8_t>((chunk + 2) & 0xFF)};
            comment.resize(comment.size() + chunk, 'x');
            data.insert(data.begin() + 2, comment.begin(), comment.end());
            left -= chunk;
        }
        return data;
    };
    const struct {
        const char* name;
        int width, height;
        std::size_t padding;
        bool refused;
    } cases[] = {
        {"a few hundred bytes declaring 26000 x 26000", 26000, 26000, 0, true},
        {"more than any scanned page, whatever the data", 12000, 12000, 3'000'000, true},
        {"A3 at 600 dpi with the data a page has", 7016, 9921, 2'000'000, false},
        {"A4 at 300 dpi in a small file", 2480, 3508, 20'000, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> data = declaring(c.width, c.height, c.padding);
        JpegImage jpeg;
        if (c.refused) {
            EXPECT_THROW(jpeg.loadFromBytes(data.data(), data.size()), EImageTooLarge);
            Bitmap decoded;
            EXPECT_THROW(decodeJpeg(data.data(), data.size()), EImageTooLarge);
        } else {
            jpeg.loadFromBytes(data.data(), data.size());
            EXPECT_EQ(jpeg.width(), c.width);
        }
    }

    // Loaded from a file, the error names it.
    test::TempFolder folder;
    const std::filesystem::path file = folder.path() / "pagina.jpg";
    const std::vector<std::uint8_t> huge = declaring(26000, 26000, 0);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(huge.data()),
               static_cast<std::streamsize>(huge.size()));
    Picture picture;
    try {
        picture.loadFromFile(file);
        ADD_FAILURE() << "loaded";
    } catch (const EImageTooLarge& error) {
        EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos) << error.what();
    }
}

}  // namespace
}  // namespace brevanto::graphics

namespace brevanto::graphics {
namespace {

// What a walk says about a stream: its structure, or its refusal.
std::string verdict(const std::function<JpegStructure()>& walk) {
    try {
        const JpegStructure s = walk();
        return std::to_string(s.width) + "x" + std::to_string(s.height) + "/" +
               std::to_string(s.components) + (s.progressive ? "p" : "") + (s.adobe ? "a" : "") +
               (s.jfif ? "j" : "");
    } catch (const EInvalidGraphic& error) {
        return error.what();
    }
}

TEST(JpegStructure, AWalkOverSmallWindowsFindsWhatTheWalkOverMemoryFinds) {
    std::vector<std::vector<std::uint8_t>> streams = {encoded(test::gradientBitmap(37, 21)),
                                                      encoded(test::gradientBitmap(300, 200))};
    // Every way a stream can end early, and a few bytes changed.
    const std::vector<std::uint8_t> base = streams[0];
    for (std::size_t cut = 0; cut < base.size(); cut += 7)
        streams.emplace_back(base.begin(), base.begin() + static_cast<std::ptrdiff_t>(cut));
    for (std::size_t at = 0; at < base.size(); at += 11) {
        std::vector<std::uint8_t> changed = base;
        changed[at] = static_cast<std::uint8_t>(changed[at] ^ 0xFF);
        streams.push_back(changed);
    }
    for (const auto& data : streams) {
        const std::string inMemory = verdict([&] { return inspectJpeg(data.data(), data.size()); });
        for (const std::size_t window : {2, 3, 7, 64, 4096, 1 << 16}) {
            const auto read = [&](std::size_t offset, std::uint8_t* out, std::size_t count) {
                ASSERT_LE(offset + count, data.size());
                std::memcpy(out, data.data() + offset, count);
            };
            EXPECT_EQ(verdict([&] { return inspectJpeg(data.size(), read, window); }), inMemory)
                << "window " << window << ", " << data.size() << " bytes";
        }
    }
}

}  // namespace
}  // namespace brevanto::graphics
