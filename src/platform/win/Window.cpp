#include "platform/win/Window.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/win/HandleValue.h"
#include "platform/win/WindowCall.h"

namespace win {
namespace {

struct ClassRecord {
    ATOM atom;
    WNDCLASS windowClass;
    std::string name;
    int windowCount = 0;
};

struct WindowRecord {
    std::string classKey;
    WNDPROC procedure;
    LONG_PTR userData = 0;
};

struct Registry {
    std::mutex mutex;
    std::map<std::string, ClassRecord> classes;  // by lower-case name
    std::map<std::uintptr_t, WindowRecord> windows;
    ATOM nextAtom = 0xC000;
    POINT cursor{0, 0};
};

Registry& registry() {
    static Registry instance;
    return instance;
}

std::string classKey(const char* name) {
    std::string key = name != nullptr ? name : "";
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return key;
}

}  // namespace

namespace detail {

bool CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    WNDPROC procedure = nullptr;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        const auto it = r.windows.find(FromHandle(window));
        if (it == r.windows.end()) return false;
        procedure = it->second.procedure;
    }
    try {
        result = procedure(window, message, wParam, lParam);
    } catch (...) {
        // A window procedure is a C boundary: nothing may unwind into the dispatcher's caller.
        result = 0;
    }
    return true;
}

}  // namespace detail

ATOM RegisterClass(const WNDCLASS* windowClass) {
    if (windowClass == nullptr || windowClass->lpfnWndProc == nullptr ||
        windowClass->lpszClassName == nullptr || *windowClass->lpszClassName == '\0')
        return 0;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const std::string key = classKey(windowClass->lpszClassName);
    if (r.classes.count(key) != 0) return 0;
    ClassRecord record{r.nextAtom++, *windowClass, windowClass->lpszClassName};
    record.windowClass.lpszClassName = nullptr;  // the caller's text may not outlive the call
    record.windowClass.lpszMenuName = nullptr;
    const ATOM atom = record.atom;
    r.classes.emplace(key, std::move(record));
    return atom;
}

bool UnregisterClass(const char* className, HINSTANCE) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.classes.find(classKey(className));
    if (it == r.classes.end() || it->second.windowCount > 0) return false;
    r.classes.erase(it);
    return true;
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param) {
    HWND window = nullptr;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        const std::string key = classKey(className);
        const auto it = r.classes.find(key);
        if (it == r.classes.end()) return nullptr;
        ++it->second.windowCount;
        const std::uintptr_t value = detail::NextHandleValue(detail::HandleKind::Window);
        r.windows.emplace(value, WindowRecord{key, it->second.windowClass.lpfnWndProc});
        window = detail::ToHandle<HWND>(value);
    }
    CREATESTRUCT create{
        param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    LRESULT result = 0;
    detail::CallWindowProcedure(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create), result);
    if (result == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}

bool DestroyWindow(HWND window) {
    if (!IsWindow(window)) return false;
    LRESULT ignored = 0;
    detail::CallWindowProcedure(window, WM_DESTROY, 0, 0, ignored);
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.windows.find(detail::FromHandle(window));
    if (it == r.windows.end()) return false;  // destroyed from its own WM_DESTROY
    const auto cls = r.classes.find(it->second.classKey);
    if (cls != r.classes.end()) --cls->second.windowCount;
    r.windows.erase(it);
    return true;
}

bool IsWindow(HWND window) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.windows.count(detail::FromHandle(window)) != 0;
}

LRESULT DefWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value) {
    if (index != GWLP_USERDATA) return 0;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.windows.find(detail::FromHandle(window));
    if (it == r.windows.end()) return 0;
    return std::exchange(it->second.userData, value);
}

LONG_PTR GetWindowLongPtr(HWND window, int index) {
    if (index != GWLP_USERDATA) return 0;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.windows.find(detail::FromHandle(window));
    return it == r.windows.end() ? 0 : it->second.userData;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    detail::CallWindowProcedure(window, message, wParam, lParam, result);
    return result;
}

bool GetCursorPos(POINT* point) {
    if (point == nullptr) return false;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    *point = r.cursor;
    return true;
}

bool SetCursorPos(int x, int y) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.cursor = POINT{x, y};
    return true;
}

}  // namespace win
