#include "platform/graphics/PixelConverter.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/graphics/Bitmap.h"

namespace brevanto::graphics {

namespace {

std::uint8_t expand5(unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); }
std::uint8_t expand6(unsigned v) { return static_cast<std::uint8_t>((v << 2) | (v >> 4)); }

std::uint32_t colorKey(RgbColor c) {
    return (static_cast<std::uint32_t>(c.red) << 16) | (static_cast<std::uint32_t>(c.green) << 8) |
           c.blue;
}

std::vector<PaletteEntry> standard16Palette() {
    static const std::uint8_t rgb[16][3] = {
        {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    std::vector<PaletteEntry> palette(16);
    for (int i = 0; i < 16; ++i) palette[i] = PaletteEntry{rgb[i][0], rgb[i][1], rgb[i][2], 0};
    return palette;
}

// 3 bits of red, 3 of green, 2 of blue: index = rrrgggbb.
std::vector<PaletteEntry> levels332Palette() {
    std::vector<PaletteEntry> palette(256);
    for (int i = 0; i < 256; ++i) {
        palette[i] = PaletteEntry{static_cast<std::uint8_t>(((i >> 5) & 7) * 255 / 7),
                                  static_cast<std::uint8_t>(((i >> 2) & 7) * 255 / 7),
                                  static_cast<std::uint8_t>((i & 3) * 255 / 3), 0};
    }
    return palette;
}

int levels332Index(RgbColor c) {
    const int r = (c.red * 7 + 127) / 255;
    const int g = (c.green * 7 + 127) / 255;
    const int b = (c.blue * 3 + 127) / 255;
    return (r << 5) | (g << 2) | b;
}

// Maps colours to the indices of a target palette, exact where it can.
class PaletteMapper {
  public:
    PaletteMapper(const Bitmap& source, int targetBits) : bits_(targetBits) {
        const std::size_t capacity = std::size_t{1} << targetBits;
        bool fits = true;
        for (int y = 0; y < source.height() && fits; ++y) {
            const std::uint8_t* row = source.scanLine(y);
            for (int x = 0; x < source.width(); ++x) {
                const RgbColor c = readPixel(source, row, x);
                if (exact_.count(colorKey(c)) != 0) continue;
                if (exact_.size() == capacity) {
                    fits = false;
                    break;
                }
                exact_.emplace(colorKey(c), static_cast<int>(palette_.size()));
                palette_.push_back(PaletteEntry{c.red, c.green, c.blue, 0});
            }
        }
        if (!fits) {
            exact_.clear();
            useFixed_ = true;
            if (targetBits == 1) {
                palette_ = greyPalette(2);
            } else if (targetBits == 4) {
                palette_ = standard16Palette();
            } else {
                palette_ = levels332Palette();
            }
        }
    }

    const std::vector<PaletteEntry>& palette() const { return palette_; }

    int indexOf(RgbColor c) const {
        if (!useFixed_) return exact_.at(colorKey(c));
        if (bits_ == 8) return levels332Index(c);
        if (bits_ == 1) return (c.red * 299 + c.green * 587 + c.blue * 114) >= 128000 ? 1 : 0;
        return nearestPaletteIndex(palette_, c);
    }

  private:
    int bits_;
    bool useFixed_ = false;
    std::vector<PaletteEntry> palette_;
    std::unordered_map<std::uint32_t, int> exact_;
};

}  // namespace

std::vector<PaletteEntry> greyPalette(int n) {
    std::vector<PaletteEntry> palette(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const auto v = static_cast<std::uint8_t>(n > 1 ? i * 255 / (n - 1) : 0);
        palette[static_cast<std::size_t>(i)] = PaletteEntry{v, v, v, 0};
    }
    return palette;
}

int readIndex(const Bitmap& bitmap, const std::uint8_t* row, int x) {
    switch (bitmap.pixelFormat()) {
        case PixelFormat::pf1bit:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case PixelFormat::pf4bit:
            return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        case PixelFormat::pf8bit:
            return row[x];
        default:
            return 0;
    }
}

void writeIndex(const Bitmap& bitmap, std::uint8_t* row, int x, int index) {
    switch (bitmap.pixelFormat()) {
        case PixelFormat::pf1bit: {
            const auto mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
            row[x >> 3] =
                static_cast<std::uint8_t>(index ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
            break;
        }
        case PixelFormat::pf4bit: {
            std::uint8_t& b = row[x >> 1];
            b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | (index & 0x0F))
                        : static_cast<std::uint8_t>((b & 0x0F) | ((index & 0x0F) << 4));
            break;
        }
        case PixelFormat::pf8bit:
            row[x] = static_cast<std::uint8_t>(index);
            break;
        default:
            break;
    }
}

RgbColor readPixel(const Bitmap& bitmap, const std::uint8_t* row, int x) {
    switch (bitmap.pixelFormat()) {
        case PixelFormat::pf1bit:
        case PixelFormat::pf4bit:
        case PixelFormat::pf8bit: {
            const auto index = static_cast<std::size_t>(readIndex(bitmap, row, x));
            const auto& palette = bitmap.palette();
            if (index >= palette.size()) return RgbColor{};
            return RgbColor{palette[index].peRed, palette[index].peGreen, palette[index].peBlue};
        }
        case PixelFormat::pf15bit: {
            const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
            return RgbColor{expand5((v >> 10) & 31), expand5((v >> 5) & 31), expand5(v & 31)};
        }
        case PixelFormat::pf16bit: {
            const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
            return RgbColor{expand5((v >> 11) & 31), expand6((v >> 5) & 63), expand5(v & 31)};
        }
        case PixelFormat::pf24bit:
            return RgbColor{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
        case PixelFormat::pf32bit:
            return RgbColor{row[4 * x + 2], row[4 * x + 1], row[4 * x]};
        default:
            return RgbColor{};
    }
}

void writePixel(const Bitmap& bitmap, std::uint8_t* row, int x, RgbColor c) {
    switch (bitmap.pixelFormat()) {
        case PixelFormat::pf15bit: {
            const unsigned v = ((c.red >> 3) << 10) | ((c.green >> 3) << 5) | (c.blue >> 3);
            row[2 * x] = static_cast<std::uint8_t>(v);
            row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
            break;
        }
        case PixelFormat::pf16bit: {
            const unsigned v = ((c.red >> 3) << 11) | ((c.green >> 2) << 5) | (c.blue >> 3);
            row[2 * x] = static_cast<std::uint8_t>(v);
            row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
            break;
        }
        case PixelFormat::pf24bit:
            row[3 * x] = c.blue;
            row[3 * x + 1] = c.green;
            row[3 * x + 2] = c.red;
            break;
        case PixelFormat::pf32bit:
            row[4 * x] = c.blue;
            row[4 * x + 1] = c.green;
            row[4 * x + 2] = c.red;
            row[4 * x + 3] = 0;
            break;
        default:
            break;
    }
}

int nearestPaletteIndex(const std::vector<PaletteEntry>& palette, RgbColor c) {
    int best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const long dr = long{palette[i].peRed} - c.red;
        const long dg = long{palette[i].peGreen} - c.green;
        const long db = long{palette[i].peBlue} - c.blue;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

Bitmap convertPixelFormat(const Bitmap& source, PixelFormat format) {
    Bitmap target(source.width(), source.height(), format);
    const int w = source.width();
    const int h = source.height();
    if (!isIndexed(format)) {
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* in = source.scanLine(y);
            std::uint8_t* out = target.scanLine(y);
            if (source.pixelFormat() == PixelFormat::pf32bit && format == PixelFormat::pf24bit) {
                for (int x = 0; x < w; ++x) std::memcpy(out + 3 * x, in + 4 * x, 3);
            } else {
                for (int x = 0; x < w; ++x) writePixel(target, out, x, readPixel(source, in, x));
            }
        }
        return target;
    }
    const int targetBits = bitsPerPixelOf(format);
    if (isIndexed(source.pixelFormat()) &&
        source.palette().size() <= (std::size_t{1} << targetBits)) {
        target.setPalette(source.palette());
        const bool keepsBytes = source.pixelFormat() == format;
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* in = source.scanLine(y);
            std::uint8_t* out = target.scanLine(y);
            if (keepsBytes) {
                std::memcpy(out, in, target.stride());
                continue;
            }
            for (int x = 0; x < w; ++x) {
                // An index past a short palette may not fit into fewer bits; it reads as the
                // first colour then.
                int index = readIndex(source, in, x);
                if (index >= (1 << targetBits)) index = 0;
                writeIndex(target, out, x, index);
            }
        }
        return target;
    }
    const PaletteMapper mapper(source, targetBits);
    target.setPalette(mapper.palette());
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = source.scanLine(y);
        std::uint8_t* out = target.scanLine(y);
        for (int x = 0; x < w; ++x)
            writeIndex(target, out, x, mapper.indexOf(readPixel(source, in, x)));
    }
    return target;
}

}  // namespace brevanto::graphics
