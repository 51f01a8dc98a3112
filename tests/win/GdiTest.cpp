#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win/Gdi.h"

namespace {

TEST(WinGdi, DibSectionFromHeaderAndColourTable) {
    win::BITMAPINFOHEADER header;
    header.biWidth = 3;
    header.biHeight = 2;
    header.biBitCount = 8;
    header.biClrUsed = 2;
    header.biXPelsPerMeter = 11811;
    const win::RGBQUAD colors[2] = {{0, 0, 0, 0}, {10, 20, 30, 0}};
    void* bits = nullptr;
    const std::size_t before = win::BitmapHandleCount();
    win::HDC dc = win::GetDC(nullptr);
    win::HBITMAP bitmap = win::CreateDIBSection(dc, header, colors, 2, win::DIB_RGB_COLORS, &bits);
    win::ReleaseDC(nullptr, dc);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(win::BitmapHandleCount(), before + 1);

    win::BITMAP info{};
    ASSERT_EQ(win::GetObject(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_EQ(info.bmWidthBytes, 4);
    EXPECT_EQ(info.bmBitsPixel, 8);
    EXPECT_EQ(info.bmBits, bits);

    // Bottom-up: the first row in memory is the picture's last row.
    static_cast<std::uint8_t*>(bits)[0] = 1;
    auto* image = win::BitmapOf(bitmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixelIndex(0, 1), 1);
    EXPECT_EQ(image->palette().size(), 2u);
    EXPECT_EQ(image->palette()[1], (brevanto::graphics::PaletteEntry{30, 20, 10, 0}));
    EXPECT_EQ(image->xPelsPerMeter(), 11811);

    EXPECT_TRUE(win::DeleteObject(bitmap));
    EXPECT_FALSE(win::DeleteObject(bitmap));
    EXPECT_EQ(win::GetObject(bitmap, sizeof info, &info), 0);
    EXPECT_EQ(win::BitmapHandleCount(), before);
}

TEST(WinGdi, RefusesHeadersItCannotMake) {
    win::BITMAPINFOHEADER header;
    header.biWidth = 4;
    header.biHeight = 4;
    header.biBitCount = 8;
    const win::RGBQUAD one[1] = {};
    void* bits = &bits;
    // An 8-bit section needs 256 colours when biClrUsed is 0.
    EXPECT_EQ(win::CreateDIBSection(nullptr, header, one, 1, win::DIB_RGB_COLORS, &bits), nullptr);
    EXPECT_EQ(bits, nullptr);
    header.biBitCount = 7;
    EXPECT_EQ(win::CreateDIBSection(nullptr, header, nullptr, 0, win::DIB_RGB_COLORS, nullptr),
              nullptr);
    header.biBitCount = 24;
    header.biWidth = -1;
    EXPECT_EQ(win::CreateDIBSection(nullptr, header, nullptr, 0, win::DIB_RGB_COLORS, nullptr),
              nullptr);
}

std::vector<std::uint8_t> packedDib24(int width, int height) {
    win::BITMAPINFOHEADER header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = 24;
    const std::size_t stride = ((24 * width + 31) / 32) * 4;
    std::vector<std::uint8_t> dib(sizeof header + stride * height, 0x33);
    std::memcpy(dib.data(), &header, sizeof header);
    return dib;
}

TEST(WinGdi, BitmapFromPackedDibChecksItsSize) {
    std::vector<std::uint8_t> dib = packedDib24(2, 2);
    win::HBITMAP bitmap = win::CreateBitmapFromPackedDib(nullptr, dib.data(), dib.size());
    ASSERT_NE(bitmap, nullptr);
    auto taken = win::TakeBitmap(bitmap);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->pixel(1, 1), (brevanto::graphics::RgbColor{0x33, 0x33, 0x33}));
    EXPECT_EQ(win::BitmapOf(bitmap), nullptr);

    EXPECT_EQ(win::CreateBitmapFromPackedDib(nullptr, dib.data(), dib.size() - 1), nullptr);
    EXPECT_EQ(win::CreateBitmapFromPackedDib(nullptr, dib.data(), 20), nullptr);
    EXPECT_EQ(win::CreateBitmapFromPackedDib(nullptr, nullptr, 0), nullptr);
}

}  // namespace
