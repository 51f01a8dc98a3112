#include "platform/twaindsm/ScanRaster.h"

namespace brevanto::twaindsm {

namespace {

std::uint8_t grayOf(Rgb c) {
    return static_cast<std::uint8_t>((299 * c.red + 587 * c.green + 114 * c.blue) / 1000);
}

std::uint8_t cubeLevel(std::uint8_t value) { return static_cast<std::uint8_t>((value + 25) / 51); }

std::vector<Rgb> makeVirtualPalette() {
    std::vector<Rgb> colors;
    colors.reserve(256);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                colors.push_back({static_cast<std::uint8_t>(r * 51),
                                  static_cast<std::uint8_t>(g * 51),
                                  static_cast<std::uint8_t>(b * 51)});
    for (int i = 0; i < 40; ++i) {
        const auto level = static_cast<std::uint8_t>(i * 255 / 39);
        colors.push_back({level, level, level});
    }
    return colors;
}

}  // namespace

int bitsPerPixelOf(TW_INT16 pixelType) {
    switch (pixelType) {
        case TWPT_BW:
            return 1;
        case TWPT_RGB:
            return 24;
        default:
            return 8;
    }
}

std::size_t rowBytesFor(int width, int bitsPerPixel) {
    return ((static_cast<std::size_t>(bitsPerPixel) * static_cast<std::size_t>(width) + 31) / 32) *
           4;
}

const std::vector<Rgb>& virtualPalette() {
    static const std::vector<Rgb> palette = makeVirtualPalette();
    return palette;
}

Rgb ScanRaster::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return {};
    const std::uint8_t* row = bytes.data() + static_cast<std::size_t>(y) * rowBytes;
    switch (bitsPerPixel) {
        case 24:
            return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
        case 1: {
            const int bit = (row[x / 8] >> (7 - x % 8)) & 1;
            return palette.at(static_cast<std::size_t>(bit));
        }
        default:
            return palette.at(row[x]);
    }
}

std::vector<Rgb> paletteFor(TW_INT16 pixelType, TW_UINT16 pixelFlavor) {
    switch (pixelType) {
        case TWPT_BW:
            if (pixelFlavor == TWPF_VANILLA) return {{255, 255, 255}, {0, 0, 0}};
            return {{0, 0, 0}, {255, 255, 255}};
        case TWPT_GRAY: {
            std::vector<Rgb> ramp;
            for (int i = 0; i < 256; ++i) {
                const auto level = static_cast<std::uint8_t>(i);
                ramp.push_back({level, level, level});
            }
            return ramp;
        }
        case TWPT_RGB:
            return {};
        default:
            return virtualPalette();
    }
}

ScanRaster encodeRaster(const PageCanvas& canvas, TW_INT16 pixelType, TW_UINT16 pixelFlavor) {
    ScanRaster raster;
    raster.width = canvas.width();
    raster.height = canvas.height();
    raster.pixelType = pixelType;
    raster.bitsPerPixel = bitsPerPixelOf(pixelType);
    raster.rowBytes = rowBytesFor(raster.width, raster.bitsPerPixel);
    raster.bytes.assign(raster.rowBytes * static_cast<std::size_t>(raster.height), 0);

    const bool vanilla = pixelFlavor == TWPF_VANILLA;
    raster.palette = paletteFor(pixelType, pixelFlavor);

    for (int y = 0; y < raster.height; ++y) {
        std::uint8_t* row = raster.bytes.data() + static_cast<std::size_t>(y) * raster.rowBytes;
        for (int x = 0; x < raster.width; ++x) {
            const Rgb c = canvas.pixel(x, y);
            switch (pixelType) {
                case TWPT_RGB:
                    row[3 * x] = c.red;
                    row[3 * x + 1] = c.green;
                    row[3 * x + 2] = c.blue;
                    break;
                case TWPT_BW: {
                    const bool dark = grayOf(c) < 128;
                    if (dark == vanilla) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                    break;
                }
                case TWPT_GRAY:
                    row[x] = grayOf(c);
                    break;
                default:
                    row[x] = static_cast<std::uint8_t>(36 * cubeLevel(c.red) +
                                                       6 * cubeLevel(c.green) + cubeLevel(c.blue));
                    break;
            }
        }
    }
    return raster;
}

}  // namespace brevanto::twaindsm
