#pragma once

// Window classes and hidden windows: a process-wide class registry, windows with a window
// procedure, a creation parameter delivered with WM_CREATE and one user-data value. Nothing is
// ever drawn; the windows exist to receive messages (see MessageQueue.h). Window procedures run
// on the thread that sends or dispatches to them; an exception thrown by one is stopped at this
// boundary.

#include "platform/win/WinTypes.h"

namespace win {

// 0 when the class name (case-insensitive) is taken or the class has no procedure.
ATOM RegisterClass(const WNDCLASS* windowClass);
// False while windows of the class exist or when it is not registered.
bool UnregisterClass(const char* className, HINSTANCE instance);

// Sends WM_CREATE (lParam: a CREATESTRUCT carrying param) before returning; null when the class
// is unknown or the procedure answered WM_CREATE with -1.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param);
// Sends WM_DESTROY, then forgets the window; messages still queued for it are dropped.
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Only GWLP_USERDATA is kept; both return the previous / current value, 0 for a bad window.
LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtr(HWND window, int index);

// Calls the window procedure now; 0 for a bad window.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The pointer position: what SetCursorPos last set, (0, 0) at start.
bool GetCursorPos(POINT* point);
bool SetCursorPos(int x, int y);

}  // namespace win
