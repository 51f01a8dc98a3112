// A module loaded with LoadLibrary in the tests: it allocates movable memory and posts
// messages through the same platform/win the test program uses.

#include "platform/win/GlobalMemory.h"
#include "platform/win/MessageQueue.h"

extern "C" {

__attribute__((visibility("default"))) void* ModuleAllocate(unsigned bytes, unsigned char fill) {
    win::HGLOBAL memory = win::GlobalAlloc(win::GHND, bytes);
    auto* bytesOf = static_cast<unsigned char*>(win::GlobalLock(memory));
    for (unsigned i = 0; i < bytes; ++i) bytesOf[i] = fill;
    win::GlobalUnlock(memory);
    return memory;
}

__attribute__((visibility("default"))) int ModulePost(win::HWND window, unsigned message) {
    return win::PostMessage(window, message, 7, -7) ? 1 : 0;
}
}
