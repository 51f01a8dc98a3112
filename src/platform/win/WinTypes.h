#pragma once

// The Windows types that platform/win stands in for: opaque handles, the message record and the
// few constants the program and its source managers use. Handles are pointer-sized, as on 64-bit
// Windows; their values are table keys, never addresses, so a stale handle is refused instead of
// being followed.

#include <cstddef>
#include <cstdint>

namespace win {

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using ATOM = std::uint16_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LONG_PTR = std::intptr_t;

struct HWND__;
struct HINSTANCE__;
struct HMODULE__;
struct HDC__;
struct HBITMAP__;
using HWND = HWND__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HMODULE__*;
using HDC = HDC__*;
using HBITMAP = HBITMAP__*;
using HGLOBAL = void*;
using HICON = void*;
using HCURSOR = void*;
using HBRUSH = void*;
using HMENU = void*;
using FARPROC = void (*)();

struct POINT {
    LONG x;
    LONG y;
};

#pragma pack(push, 2)
// The window message record handed to a TWAIN source in TW_EVENT.pEvent: the 32-bit record's
// layout, with the window handle, wParam and lParam pointer-sized as the TWAIN records' handle
// fields are.
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
#pragma pack(pop)

static_assert(sizeof(MSG) == 28 + 3 * (sizeof(void*) - 4));

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
};

// What WM_CREATE's lParam points at.
struct CREATESTRUCT {
    void* lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    const char* lpszName;
    const char* lpszClass;
    DWORD dwExStyle;
};

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;

inline constexpr int GWLP_USERDATA = -21;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int MAX_PATH = 260;

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

}  // namespace win
