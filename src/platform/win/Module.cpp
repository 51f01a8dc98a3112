#include "platform/win/Module.h"

#include <dlfcn.h>

namespace win {

HMODULE LoadLibrary(const char* path) {
    if (path == nullptr || *path == '\0') return nullptr;
    return static_cast<HMODULE>(dlopen(path, RTLD_NOW | RTLD_LOCAL));
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    if (module == nullptr || name == nullptr) return nullptr;
    void* symbol = dlsym(module, name);
    // POSIX guarantees object and function pointers convert both ways.
    return reinterpret_cast<FARPROC>(symbol);
}

bool FreeLibrary(HMODULE module) {
    if (module == nullptr) return false;
    return dlclose(module) == 0;
}

HINSTANCE GetModuleHandle(const char* moduleName) {
    if (moduleName != nullptr) return nullptr;
    static char programInstance;
    return reinterpret_cast<HINSTANCE>(&programInstance);
}

}  // namespace win
