#pragma once

// Bitmap handles over platform/graphics Bitmap: device-independent bitmap sections made from a
// header and colour table, bitmaps made from a packed DIB, their geometry and pixel address,
// and deletion. Device contexts exist only as the argument Windows code passes along.
//
// Ownership: a bitmap handle owns its Bitmap until DeleteObject or TakeBitmap. This part is a
// static library of its own (brevanto_wingdi) rather than part of the shared brevanto_win, so
// that the process holds one copy of the graphics code; source managers only ever hand over
// packed DIBs in global memory, never bitmap handles.

#include <cstddef>
#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DibTypes.h"
#include "platform/win/WinTypes.h"

namespace win {

using BITMAPINFOHEADER = brevanto::graphics::BitmapInfoHeader;
using RGBQUAD = brevanto::graphics::RgbQuad;

inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr DWORD BI_RGB = 0;

// What GetObject reports of a bitmap.
struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

// A device context of the window (null: the screen); release it with ReleaseDC.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// A zero-filled bitmap as the header describes it, with colorCount entries of colors as its
// colour table; *bits (when given) receives the pixel address. Null, with *bits null, when the
// header is not a bitmap we can make or the table is too short for it. Only DIB_RGB_COLORS.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFOHEADER& header, const RGBQUAD* colors,
                         std::size_t colorCount, UINT usage, void** bits);

// A bitmap made from a packed DIB of size bytes (header, masks, colour table, pixels), as
// CreateDIBitmap with CBM_INIT does from the DIB's parts. Null when any part lies outside the
// size bytes or the DIB is not one we can read; nothing past data + size is read.
HBITMAP CreateBitmapFromPackedDib(HDC dc, const void* data, std::size_t size);

// Fills a BITMAP (size must be at least sizeof(BITMAP)); returns the bytes written, 0 for a bad
// handle.
int GetObject(HBITMAP bitmap, int size, void* out);

// Frees the bitmap; false for a bad handle.
bool DeleteObject(HBITMAP bitmap);

// The bitmap behind a handle (still owned by the handle), or null.
brevanto::graphics::Bitmap* BitmapOf(HBITMAP bitmap);

// Ends the handle and hands its bitmap to the caller; null for a bad handle.
std::unique_ptr<brevanto::graphics::Bitmap> TakeBitmap(HBITMAP bitmap);

// How many bitmap handles are alive (for leak checks).
std::size_t BitmapHandleCount();

}  // namespace win
