#include "TestImages.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include <stdlib.h>

namespace brevanto::graphics::test {

TempFolder::TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "graphics-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    return names;
}

namespace {

int paletteSize(PixelFormat format) { return 1 << bitsPerPixelOf(format); }

int patternIndex(int x, int y, PixelFormat format) { return (x * 7 + y * 3) % paletteSize(format); }

PaletteEntry paletteColor(int i) {
    return PaletteEntry{static_cast<std::uint8_t>(i * 37 % 256), static_cast<std::uint8_t>(255 - i),
                        static_cast<std::uint8_t>(i * 91 % 256), 0};
}

}  // namespace

RgbColor patternColor(int x, int y, PixelFormat format) {
    if (isIndexed(format)) {
        const PaletteEntry e = paletteColor(patternIndex(x, y, format));
        return RgbColor{e.peRed, e.peGreen, e.peBlue};
    }
    if (format == PixelFormat::pf15bit || format == PixelFormat::pf16bit) {
        // Codes expanded to 8 bits the way the formats expand them survive a round trip.
        auto five = [](int c) { return static_cast<std::uint8_t>((c << 3) | (c >> 2)); };
        auto six = [](int c) { return static_cast<std::uint8_t>((c << 2) | (c >> 4)); };
        const int green = x + y * 3;
        return RgbColor{five((x * 5 + y) % 32),
                        format == PixelFormat::pf16bit ? six(green % 64) : five(green % 32),
                        five((x * 2 + y * 7) % 32)};
    }
    return RgbColor{static_cast<std::uint8_t>(x * 40 + y), static_cast<std::uint8_t>(y * 50 + 3),
                    static_cast<std::uint8_t>((x * y) % 256)};
}

Bitmap patternBitmap(int width, int height, PixelFormat format) {
    Bitmap bitmap(width, height, format);
    if (isIndexed(format)) {
        std::vector<PaletteEntry> palette(static_cast<std::size_t>(paletteSize(format)));
        for (std::size_t i = 0; i < palette.size(); ++i)
            palette[i] = paletteColor(static_cast<int>(i));
        bitmap.setPalette(palette);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) bitmap.setPixelIndex(x, y, patternIndex(x, y, format));
    } else {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) bitmap.setPixel(x, y, patternColor(x, y, format));
    }
    return bitmap;
}

Bitmap gradientBitmap(int width, int height) {
    Bitmap bitmap(width, height, PixelFormat::pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(x, y,
                            RgbColor{static_cast<std::uint8_t>(x * 255 / width),
                                     static_cast<std::uint8_t>(y * 255 / height),
                                     static_cast<std::uint8_t>(128)});
    return bitmap;
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void putU16(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t value) {
    out.at(offset) = static_cast<std::uint8_t>(value);
    out.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void putU32(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t value) {
    putU16(out, offset, value & 0xFFFF);
    putU16(out, offset + 2, value >> 16);
}

}  // namespace brevanto::graphics::test
