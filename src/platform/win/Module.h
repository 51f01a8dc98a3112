#pragma once

// Loading a shared library from a path and resolving its exports (LoadLibrary, GetProcAddress,
// FreeLibrary over dlopen/dlsym/dlclose). The caller owns a loaded module until FreeLibrary.

#include "platform/win/WinTypes.h"

namespace win {

// Loads the library at exactly this path; null when it cannot be loaded.
HMODULE LoadLibrary(const char* path);

// The export of that name, or null.
FARPROC GetProcAddress(HMODULE module, const char* name);

// True when the module was released.
bool FreeLibrary(HMODULE module);

// The program's own module instance (for window classes and windows).
HINSTANCE GetModuleHandle(const char* moduleName);

}  // namespace win
