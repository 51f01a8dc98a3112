#include "twain/TTwainManager.h"

#include <cstring>

#include "platform/win/Module.h"
#include "platform/win/Window.h"
#include "twain/TTwainSource.h"
#include "twain/TwainLibrarySearch.h"

namespace twain {
namespace {

win::LRESULT HiddenWindowProc(win::HWND window, win::UINT message, win::WPARAM wParam,
                              win::LPARAM lParam) {
    try {
        if (message == win::WM_CREATE) {
            const auto* create = reinterpret_cast<const win::CREATESTRUCT*>(lParam);
            win::SetWindowLongPtr(window, win::GWLP_USERDATA,
                                  reinterpret_cast<win::LONG_PTR>(create->lpCreateParams));
            return win::DefWindowProc(window, message, wParam, lParam);
        }
        auto* manager =
            reinterpret_cast<TTwainManager*>(win::GetWindowLongPtr(window, win::GWLP_USERDATA));
        if (manager != nullptr && manager->RouteMessage(window, message, wParam, lParam)) return 0;
    } catch (...) {
        // Nothing unwinds through a window procedure; handlers guard themselves.
        return 0;
    }
    return win::DefWindowProc(window, message, wParam, lParam);
}

// The window class, registered once for the process before the first manager's window and
// unregistered at process end.
class HiddenWindowClass {
  public:
    HiddenWindowClass() {
        win::WNDCLASS cls{};
        cls.style = 0;
        cls.lpfnWndProc = HiddenWindowProc;
        cls.hInstance = win::GetModuleHandle(nullptr);
        cls.hbrBackground = reinterpret_cast<win::HBRUSH>(win::COLOR_WINDOW + 1);
        cls.lpszMenuName = "";
        cls.lpszClassName = TTwainManager::kWindowClassName;
        win::RegisterClass(&cls);
    }
    ~HiddenWindowClass() {
        win::UnregisterClass(TTwainManager::kWindowClassName, win::GetModuleHandle(nullptr));
    }
    HiddenWindowClass(const HiddenWindowClass&) = delete;
    HiddenWindowClass& operator=(const HiddenWindowClass&) = delete;
};

void EnsureHiddenWindowClass() { static HiddenWindowClass registration; }

// Clears a flag when the scope ends, however it ends.
class FlagGuard {
  public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

  private:
    bool& flag_;
};

}  // namespace

TTwainManager::TTwainManager(TTwainObject* owner) : owner_(owner) {
    EnsureHiddenWindowClass();
    windowHandle_ = win::CreateWindowEx(0, kWindowClassName, kWindowTitle, 0, 10, 10, 100, 100,
                                        nullptr, nullptr, win::GetModuleHandle(nullptr), this);
    info_ = std::make_unique<TTwainIdentity>(this);
    appIdentity_ = &info_->Structure();
}

TTwainManager::~TTwainManager() {
    SetLibraryLoaded(false);
    if (windowHandle_ != nullptr) win::DestroyWindow(windowHandle_);
    windowHandle_ = nullptr;
    FreeSources();
}

void TTwainManager::SetLibraryLoaded(bool value) {
    if (value == libraryLoaded_) return;
    if (value)
        LoadTwainLibrary();
    else
        UnloadTwainLibrary();
}

void TTwainManager::SetSourceManagerLoaded(bool value) {
    if (!libraryLoaded_ || value == sourceManagerLoaded_) return;
    if (value)
        OpenSourceManager();
    else
        CloseSourceManager();
}

bool TTwainManager::LoadTwainLibrary() {
    if (libraryLoaded_) return true;
    const std::optional<std::string> path = FindTwainLibrary(kLibraryName);
    if (!path) return false;
    libraryHandle_ = win::LoadLibrary(path->c_str());
    if (libraryHandle_ == nullptr) return false;
    entryPoint_ =
        reinterpret_cast<DSMENTRYPROC>(win::GetProcAddress(libraryHandle_, DSM_ENTRY_NAME));
    if (entryPoint_ == nullptr) {
        win::FreeLibrary(libraryHandle_);
        libraryHandle_ = nullptr;
        return false;
    }
    libraryLoaded_ = true;
    return true;
}

bool TTwainManager::UnloadTwainLibrary() {
    if (!libraryLoaded_) return true;
    SetSourceManagerLoaded(false);
    if (!win::FreeLibrary(libraryHandle_)) return false;
    libraryHandle_ = nullptr;
    entryPoint_ = nullptr;
    libraryLoaded_ = false;
    return true;
}

TW_UINT16 TTwainManager::CallSourceManager(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    return entryPoint_(appIdentity_, nullptr, DG_CONTROL, dat, msg, data);
}

bool TTwainManager::OpenSourceManager() {
    if (libraryLoaded_ && !sourceManagerLoaded_) {
        TW_HANDLE parent = windowHandle_;
        if (CallSourceManager(DAT_PARENT, MSG_OPENDSM, &parent) == TWRC_SUCCESS)
            sourceManagerLoaded_ = true;
    }
    return sourceManagerLoaded_;
}

bool TTwainManager::CloseSourceManager() {
    if (libraryLoaded_ && sourceManagerLoaded_) {
        FreeSources();
        TW_HANDLE parent = windowHandle_;
        if (CallSourceManager(DAT_PARENT, MSG_CLOSEDSM, &parent) != TWRC_SUCCESS) return false;
        sourceManagerLoaded_ = false;
        return true;
    }
    sourceManagerLoaded_ = false;
    return true;
}

bool TTwainManager::ListSources() {
    if (!libraryLoaded_ || !sourceManagerLoaded_) return false;
    FreeSources();
    auto next = std::make_unique<TTwainSource>(this);
    next->SetTransferMode(transferMode_);
    next->SetIndex(0);
    TW_UINT16 rc = CallSourceManager(DAT_IDENTITY, MSG_GETFIRST, &next->Structure());
    while (rc == TWRC_SUCCESS) {
        sources_.Add(std::move(next));
        next = std::make_unique<TTwainSource>(this);
        next->SetTransferMode(transferMode_);
        next->SetIndex(sources_.Count());
        rc = CallSourceManager(DAT_IDENTITY, MSG_GETNEXT, &next->Structure());
    }
    sourcesListed_ = true;
    return true;  // the unfilled last source object goes with `next`
}

void TTwainManager::FreeSources() {
    sources_.Clear();
    sourcesListed_ = false;
}

int TTwainManager::SourceCount() {
    if (!libraryLoaded_ || !sourceManagerLoaded_) return 0;
    if (!sourcesListed_) ListSources();
    return sources_.Count();
}

TTwainSource* TTwainManager::Sources(int index) {
    if (!libraryLoaded_ || !sourceManagerLoaded_) return nullptr;
    const int count = SourceCount();
    if (index >= 0 && index < count) return sources_.Item(index);
    if (index == -1 && count > 0) {
        const int defaultIndex = DefaultSourceIndex();
        return defaultIndex == -1 ? nullptr : sources_.Item(defaultIndex);
    }
    return nullptr;
}

int TTwainManager::DefaultSourceIndex() {
    if (!sourceManagerLoaded_ || !libraryLoaded_) return 0;
    TW_IDENTITY identity{};
    if (CallSourceManager(DAT_IDENTITY, MSG_GETDEFAULT, &identity) != TWRC_SUCCESS) return 0;
    return IndexOfIdentity(identity);
}

int TTwainManager::IndexOfIdentity(const TW_IDENTITY& identity) {
    const int count = SourceCount();
    for (int i = 0; i < count; ++i) {
        const TTwainSource* source = sources_.Item(i);
        if (source != nullptr && std::memcmp(&source->Structure(), &identity, sizeof identity) == 0)
            return i;
    }
    return -1;
}

int TTwainManager::ChooseSource() {
    if (!libraryLoaded_ || !sourceManagerLoaded_ || choosing_) return -1;
    FlagGuard choosing(choosing_);
    TW_IDENTITY identity{};
    if (CallSourceManager(DAT_IDENTITY, MSG_USERSELECT, &identity) != TWRC_SUCCESS) return -1;
    return IndexOfIdentity(identity);
}

bool TTwainManager::RouteMessage(win::HWND window, win::UINT message, win::WPARAM wParam,
                                 win::LPARAM lParam) {
    if (openSourceCount_ <= 0) return false;
    win::MSG record{};
    record.hwnd = window;
    record.message = message;
    record.wParam = wParam;
    record.lParam = lParam;
    record.time = 0;
    win::GetCursorPos(&record.pt);
    for (int i = 0; i < SourceCount(); ++i) {
        TTwainSource* source = sources_.Item(i);
        if (source != nullptr && source->Loaded() && source->Enabled() &&
            source->HandleMessage(record))
            return true;
    }
    return false;
}

}  // namespace twain
