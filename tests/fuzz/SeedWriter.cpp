// Writes the seed corpus of every fuzzing target into <folder>/<target>/: small valid inputs
// made with our own encoders (and libjpeg for the JPEG kinds we do not write), plus the header
// variants the parsers accept, so the fuzzers start from every branch of a good input.
//   fuzz_seed_writer <folder>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LibjpegProbe.h"
#include "TwainStripInput.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpFile.h"
#include "platform/graphics/JpegCodec.h"

namespace {

namespace fs = std::filesystem;
using brevanto::graphics::Bitmap;
using brevanto::graphics::PixelFormat;
using brevanto::graphics::RgbColor;
using Bytes = std::vector<std::uint8_t>;

fs::path root;

void write(const std::string& target, const std::string& name, const Bytes& bytes) {
    const fs::path folder = root / target;
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
}

void putU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A 5 x 3 picture with a different colour in every pixel, odd width so rows are padded.
Bitmap picture(PixelFormat format) {
    Bitmap bitmap(5, 3, PixelFormat::pf24bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            bitmap.setPixel(
                x, y,
                RgbColor{static_cast<std::uint8_t>(50 * x), static_cast<std::uint8_t>(120 * y),
                         static_cast<std::uint8_t>(255 - 40 * x)});
    bitmap.setPixelFormat(format);
    bitmap.setResolution(5905, 5905);
    return bitmap;
}

// Packed DIBs of every kind the parser accepts; the BMP seeds are the same behind a file header.
std::vector<std::pair<std::string, Bytes>> packedDibs() {
    std::vector<std::pair<std::string, Bytes>> dibs;
    const std::pair<const char*, PixelFormat> formats[] = {
        {"1bit", PixelFormat::pf1bit},   {"4bit", PixelFormat::pf4bit},
        {"8bit", PixelFormat::pf8bit},   {"15bit", PixelFormat::pf15bit},
        {"16bit", PixelFormat::pf16bit}, {"24bit", PixelFormat::pf24bit},
        {"32bit", PixelFormat::pf32bit}};
    for (const auto& [name, format] : formats)
        dibs.emplace_back(name, brevanto::graphics::encodePackedDib(picture(format)));

    // Top-down rows: a negative height.
    Bytes topDown = brevanto::graphics::encodePackedDib(picture(PixelFormat::pf24bit));
    putU32(topDown, 8, static_cast<std::uint32_t>(-3));
    dibs.emplace_back("24bit-topdown", topDown);

    // A short colour table: biClrUsed 3 for an 8-bit picture.
    Bitmap few = picture(PixelFormat::pf8bit);
    few.setPalette({{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 0, 255, 0}});
    dibs.emplace_back("8bit-3colours", brevanto::graphics::encodePackedDib(few));

    // 32 bits with bit-field masks after a 40-byte header.
    Bytes fields = brevanto::graphics::encodePackedDib(picture(PixelFormat::pf32bit));
    putU32(fields, 16, 3);
    const std::uint8_t masks[12] = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
    fields.insert(fields.begin() + 40, masks, masks + 12);
    dibs.emplace_back("32bit-bitfields", fields);

    // A 108-byte (version 4) header, whose masks are inside the header: 16 bits 5-6-5.
    Bytes v4 = brevanto::graphics::encodePackedDib(picture(PixelFormat::pf16bit));
    putU32(v4, 0, 108);
    v4.insert(v4.begin() + 52, 108 - 52, 0);  // the masks already follow the 40 bytes
    dibs.emplace_back("16bit-v4header", v4);

    // A 12-byte core header with a 3-byte-per-entry colour table: 4 bits, 2 x 2.
    Bytes core = {12, 0, 0, 0, 2, 0, 2, 0, 1, 0, 4, 0};
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 3; ++c) core.push_back(static_cast<std::uint8_t>(i * 16 + c));
    const std::uint8_t rows[8] = {0x12, 0, 0, 0, 0x3F, 0, 0, 0};
    core.insert(core.end(), rows, rows + 8);
    dibs.emplace_back("4bit-coreheader", core);
    return dibs;
}

void writeBitmapSeeds() {
    for (const auto& [name, dib] : packedDibs()) {
        write("fuzz_packed_dib", name + ".dib", dib);
        Bytes file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        file.insert(file.end(), dib.begin(), dib.end());
        putU32(file, 2, static_cast<std::uint32_t>(file.size()));
        // The pixels follow header, masks and table: the parser tells us where.
        const Bitmap parsed = *Bitmap::fromPackedDib(dib.data(), dib.size());
        const std::size_t pixelBytes = parsed.stride() * static_cast<std::size_t>(parsed.height());
        putU32(file, 10, static_cast<std::uint32_t>(file.size() - pixelBytes));
        write("fuzz_bmp_file", name + ".bmp", file);
    }
}

void writeJpegSeeds() {
    using brevanto::graphics::test::makeJpeg;
    using brevanto::graphics::test::makeSolidJpeg;
    const std::pair<std::string, Bytes> jpegs[] = {
        {"ours-q90.jpg", brevanto::graphics::encodeJpeg(picture(PixelFormat::pf24bit), 90)},
        {"ours-q10.jpg", brevanto::graphics::encodeJpeg(picture(PixelFormat::pf24bit), 10)},
        {"grey.jpg", makeJpeg(16, 8, 1, false)},
        {"rgb-progressive.jpg", makeJpeg(9, 9, 3, true)},
        {"grey-progressive.jpg", makeJpeg(8, 17, 1, true)},
        {"cmyk-adobe.jpg", makeSolidJpeg(8, 8, {10, 200, 30, 40}, true)},
        {"cmyk-plain.jpg", makeSolidJpeg(8, 8, {10, 200, 30, 40}, false)},
    };
    for (const auto& [name, bytes] : jpegs) {
        write("fuzz_jpeg_structure", name, bytes);
        write("fuzz_jpeg_decode", name, bytes);
    }
}

TW_FIX32 fix32(int whole) {
    TW_FIX32 f{};
    f.Whole = static_cast<TW_INT16>(whole);
    return f;
}

fuzz::TwainStripInput image(int width, int height, int bits, TW_INT16 pixelType,
                            TW_UINT32 preferred) {
    fuzz::TwainStripInput in;
    in.info.XResolution = fix32(300);
    in.info.YResolution = fix32(300);
    in.info.ImageWidth = width;
    in.info.ImageLength = height;
    in.info.BitsPerPixel = static_cast<TW_INT16>(bits);
    in.info.PixelType = pixelType;
    in.units = TWUN_INCHES;
    in.preferred = preferred;
    in.laterPreferred = preferred;
    return in;
}

// Cuts rows of the image's DIB row length into strips of `preferred` bytes, the last one ending
// the transfer.
void stripsOf(fuzz::TwainStripInput& in, std::size_t total) {
    for (std::size_t at = 0; at < total; at += in.preferred) {
        fuzz::TwainStrip strip;
        const std::size_t n = std::min<std::size_t>(in.preferred, total - at);
        for (std::size_t i = 0; i < n; ++i)
            strip.bytes.push_back(static_cast<std::uint8_t>(at + i));
        strip.claimed = static_cast<TW_UINT32>(n);
        strip.returnCode = at + n >= total ? TWRC_XFERDONE : TWRC_SUCCESS;
        in.strips.push_back(std::move(strip));
    }
}

void writeTwainSeeds() {
    auto rows = [](int width, int height, int bits) {
        return static_cast<std::size_t>(((bits * width + 31) / 32) * 4 * height);
    };
    struct Seed {
        const char* name;
        fuzz::TwainStripInput in;
        std::size_t bytes;
    };
    std::vector<Seed> seeds;
    // RGB strips ending mid-row, as the virtual scanner sends them.
    seeds.push_back({"rgb-midrow", image(3, 4, 24, TWPT_RGB, 13), rows(3, 4, 24)});
    seeds.push_back({"gray", image(6, 3, 8, TWPT_GRAY, 8), rows(6, 3, 8)});
    fuzz::TwainStripInput bw = image(20, 3, 1, TWPT_BW, 4);
    bw.flavor = TWPF_VANILLA;
    seeds.push_back({"bw-vanilla", bw, rows(20, 3, 1)});
    fuzz::TwainStripInput indexed = image(4, 2, 8, TWPT_PALETTE, 16);
    TW_PALETTE8 palette;
    std::memset(&palette, 0, sizeof palette);
    palette.NumColors = 4;
    for (int i = 0; i < 4; ++i)
        palette.Colors[i] = TW_ELEMENT8{static_cast<TW_UINT8>(i), static_cast<TW_UINT8>(60 * i), 7,
                                        static_cast<TW_UINT8>(255 - 60 * i)};
    indexed.palette = palette;
    indexed.units = TWUN_CENTIMETERS;
    seeds.push_back({"palette", indexed, rows(4, 2, 8)});
    fuzz::TwainStripInput nibbles = image(5, 2, 4, TWPT_PALETTE, 100);
    nibbles.units.reset();
    seeds.push_back({"4bit-no-palette", nibbles, rows(5, 2, 4)});
    seeds.push_back({"32bit-one-strip", image(2, 2, 32, TWPT_RGB, 64), rows(2, 2, 32)});
    // The driver asks for a different buffer the second time.
    fuzz::TwainStripInput changed = image(3, 3, 24, TWPT_RGB, 10);
    changed.laterPreferred = 7;
    seeds.push_back({"rgb-buffer-changes", changed, rows(3, 3, 24)});
    for (Seed& seed : seeds) {
        stripsOf(seed.in, seed.bytes);
        write("fuzz_twain_strips", seed.name, fuzz::packTwainStrips(seed.in));
    }

    // A driver claiming more than its buffer, then cancelling.
    fuzz::TwainStripInput liar = image(4, 4, 24, TWPT_RGB, 8);
    liar.strips.push_back({TWRC_SUCCESS, 4000, Bytes(8, 9)});
    liar.strips.push_back({TWRC_CANCEL, 8, Bytes(8, 1)});
    write("fuzz_twain_strips", "claims-too-much", fuzz::packTwainStrips(liar));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    root = argv[1];
    try {
        writeBitmapSeeds();
        writeJpegSeeds();
        writeTwainSeeds();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_seed_writer: %s\n", e.what());
        return 1;
    }
    return 0;
}
