#pragma once

// Internal: calling a window's procedure by handle, shared by Window.cpp and MessageQueue.cpp.

#include "platform/win/WinTypes.h"

namespace win::detail {

// False when the window does not exist; otherwise the procedure ran and result holds its answer
// (0 when it threw).
bool CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace win::detail
