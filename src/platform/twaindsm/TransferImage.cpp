#include "platform/twaindsm/TransferImage.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/graphics/BmpFile.h"
#include "platform/win/GlobalMemory.h"

namespace brevanto::twaindsm {

namespace {

graphics::PixelFormat formatFor(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
            return graphics::PixelFormat::pf1bit;
        case 8:
            return graphics::PixelFormat::pf8bit;
        default:
            return graphics::PixelFormat::pf24bit;
    }
}

}  // namespace

graphics::Bitmap TransferImage::toBitmap(const ImageGeometry& geometry,
                                         const std::vector<Rgb>& palette,
                                         const std::uint8_t* bytes) {
    graphics::Bitmap bitmap(geometry.width, geometry.height, formatFor(geometry.bitsPerPixel));
    if (geometry.bitsPerPixel != 24) {
        std::vector<graphics::PaletteEntry> entries;
        for (const Rgb& c : palette) entries.push_back({c.red, c.green, c.blue, 0});
        bitmap.setPalette(std::move(entries));
    }
    const std::size_t rowBytes = std::min(geometry.rowBytes, bitmap.stride());
    for (int y = 0; y < geometry.height; ++y) {
        std::uint8_t* row = bitmap.scanLine(y);
        std::memcpy(row, bytes + static_cast<std::size_t>(y) * geometry.rowBytes, rowBytes);
        if (geometry.bitsPerPixel == 24)
            for (int x = 0; x < geometry.width; ++x) std::swap(row[3 * x], row[3 * x + 2]);
    }
    const auto pelsPerMetre = static_cast<std::int32_t>(std::lround(geometry.dpi / 0.0254));
    bitmap.setResolution(pelsPerMetre, pelsPerMetre);
    return bitmap;
}

win::HGLOBAL TransferImage::packedDib(const graphics::Bitmap& bitmap) {
    const std::vector<std::uint8_t> dib = bitmap.toPackedDib();
    win::HGLOBAL handle = win::GlobalAlloc(win::GHND, dib.size());
    void* block = win::GlobalLock(handle);
    if (!block) {
        win::GlobalFree(handle);
        return nullptr;
    }
    std::memcpy(block, dib.data(), dib.size());
    win::GlobalUnlock(handle);
    return handle;
}

bool TransferImage::writeBmpFile(const graphics::Bitmap& bitmap, const std::string& path) {
    const std::vector<std::uint8_t> bytes = graphics::encodeBmpFile(bitmap);
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

}  // namespace brevanto::twaindsm
