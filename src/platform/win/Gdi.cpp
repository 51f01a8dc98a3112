#include "platform/win/Gdi.h"

#include <map>
#include <mutex>

#include "platform/graphics/GraphicErrors.h"
#include "platform/win/HandleValue.h"
#include "platform/win/Window.h"

namespace win {
namespace {

using brevanto::graphics::Bitmap;

struct Table {
    std::mutex mutex;
    std::map<std::uintptr_t, std::unique_ptr<Bitmap>> bitmaps;
};

Table& table() {
    static Table instance;
    return instance;
}

HBITMAP adopt(std::unique_ptr<Bitmap> bitmap) {
    const std::uintptr_t value = detail::NextHandleValue(detail::HandleKind::Bitmap);
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.bitmaps.emplace(value, std::move(bitmap));
    return detail::ToHandle<HBITMAP>(value);
}

}  // namespace

HDC GetDC(HWND window) {
    if (window != nullptr && !IsWindow(window)) return nullptr;
    static char screen;
    return reinterpret_cast<HDC>(&screen);
}

int ReleaseDC(HWND, HDC dc) { return dc != nullptr ? 1 : 0; }

HBITMAP CreateDIBSection(HDC, const BITMAPINFOHEADER& header, const RGBQUAD* colors,
                         std::size_t colorCount, UINT usage, void** bits) {
    if (bits != nullptr) *bits = nullptr;
    if (usage != DIB_RGB_COLORS) return nullptr;
    std::unique_ptr<Bitmap> bitmap;
    try {
        bitmap = Bitmap::fromDibHeader(header, colors, colorCount);
    } catch (const std::exception&) {
        return nullptr;
    }
    if (bits != nullptr) *bits = bitmap->bits();
    return adopt(std::move(bitmap));
}

HBITMAP CreateBitmapFromPackedDib(HDC, const void* data, std::size_t size) {
    std::unique_ptr<Bitmap> bitmap;
    try {
        bitmap = Bitmap::fromPackedDib(static_cast<const std::uint8_t*>(data), size);
    } catch (const std::exception&) {
        return nullptr;
    }
    return adopt(std::move(bitmap));
}

int GetObject(HBITMAP bitmap, int size, void* out) {
    if (out == nullptr || size < static_cast<int>(sizeof(BITMAP))) return 0;
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.bitmaps.find(detail::FromHandle(bitmap));
    if (it == t.bitmaps.end()) return 0;
    Bitmap& b = *it->second;
    BITMAP info{0,          b.width(),
                b.height(), static_cast<LONG>(b.stride()),
                1,          static_cast<WORD>(b.bitsPerPixel()),
                b.bits()};
    *static_cast<BITMAP*>(out) = info;
    return static_cast<int>(sizeof(BITMAP));
}

bool DeleteObject(HBITMAP bitmap) { return TakeBitmap(bitmap) != nullptr; }

Bitmap* BitmapOf(HBITMAP bitmap) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.bitmaps.find(detail::FromHandle(bitmap));
    return it == t.bitmaps.end() ? nullptr : it->second.get();
}

std::unique_ptr<Bitmap> TakeBitmap(HBITMAP bitmap) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.bitmaps.find(detail::FromHandle(bitmap));
    if (it == t.bitmaps.end()) return nullptr;
    std::unique_ptr<Bitmap> taken = std::move(it->second);
    t.bitmaps.erase(it);
    return taken;
}

std::size_t BitmapHandleCount() {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    return t.bitmaps.size();
}

}  // namespace win
