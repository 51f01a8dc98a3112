#include "DsmTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <random>
#include <stdexcept>

#include <dlfcn.h>
#include <unistd.h>

#include "platform/twaindsm/SyntheticPage.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Window.h"

namespace twaindsmtest {

namespace {

std::vector<win::MSG>& received() {
    static std::vector<win::MSG> messages;
    return messages;
}

win::LRESULT testWindowProcedure(win::HWND window, win::UINT message, win::WPARAM wParam,
                                 win::LPARAM lParam) {
    if (message != win::WM_CREATE && message != win::WM_DESTROY) {
        win::MSG m{};
        m.hwnd = window;
        m.message = message;
        m.wParam = wParam;
        m.lParam = lParam;
        m.time = win::GetTickCount();
        received().push_back(m);
    }
    return win::DefWindowProc(window, message, wParam, lParam);
}

constexpr const char* kWindowClass = "TwainDsmTestWindow";

}  // namespace

IniFile::IniFile(const std::string& text) {
    std::random_device seed;
    folder_ = std::filesystem::temp_directory_path() /
              ("twaindsm-test-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(folder_);
    path_ = folder_ / "twain.ini";
    rewrite(text);
    writeSaneConfig("dll.conf", "");
    ::setenv("BREVANTO_TWAIN_INI", path_.c_str(), 1);
}

IniFile::~IniFile() {
    ::unsetenv("BREVANTO_TWAIN_INI");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void IniFile::rewrite(const std::string& text) {
    std::ofstream out(path_, std::ios::trunc);
    out << text;
}

namespace {

struct SaneFolder {
    SaneFolder() {
        path = std::filesystem::temp_directory_path() /
               ("twaindsm-sane-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        ::setenv("SANE_CONFIG_DIR", path.c_str(), 1);
    }
    ~SaneFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

}  // namespace

const std::filesystem::path& saneFolder() {
    static const SaneFolder folder;
    return folder.path;
}

void writeSaneConfig(const std::string& name, const std::string& text) {
    std::ofstream out(saneFolder() / name, std::ios::trunc);
    out << text;
}

std::string DsmLibrary::path() { return std::string(BREVANTO_BIN_DIR) + "/libtwain_32.so"; }

bool DsmLibrary::isLoaded() {
    void* handle = ::dlopen(path().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return false;
    ::dlclose(handle);
    return true;
}

DsmLibrary::DsmLibrary() {
    handle_ = ::dlopen(path().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) throw std::runtime_error(std::string("cannot load ") + ::dlerror());
    entry_ = reinterpret_cast<DSMENTRYPROC>(::dlsym(handle_, DSM_ENTRY_NAME));
    if (!entry_) throw std::runtime_error("no DSM_Entry");
}

DsmLibrary::~DsmLibrary() {
    if (handle_) ::dlclose(handle_);
}

TestWindow::TestWindow() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        win::WNDCLASS wc;
        wc.lpfnWndProc = testWindowProcedure;
        wc.lpszClassName = kWindowClass;
        win::RegisterClass(&wc);
    });
    handle_ = win::CreateWindowEx(0, kWindowClass, "test", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    received().clear();
}

TestWindow::~TestWindow() { destroy(); }

void TestWindow::destroy() {
    if (handle_) win::DestroyWindow(handle_);
    handle_ = nullptr;
    received().clear();
}

std::vector<win::MSG> TestWindow::take() {
    win::DispatchPostedMessages();
    std::vector<win::MSG> messages;
    messages.swap(received());
    return messages;
}

DsmSession::DsmSession(DSMENTRYPROC entry) : entry_(entry) {
    app_.Version.MajorNum = 1;
    app_.Version.Language = TWLG_USERLOCALE;
    app_.Version.Country = 1;
    std::strcpy(app_.Version.Info, "Application name");
    app_.ProtocolMajor = 1;
    app_.ProtocolMinor = 9;
    app_.SupportedGroups = DG_CONTROL | DG_IMAGE;
    std::strcpy(app_.Manufacturer, "Application manufacturer");
    std::strcpy(app_.ProductFamily, "App product family");
    std::strcpy(app_.ProductName, "App product name");
    parent_ = window_.handle();
}

DsmSession::~DsmSession() {
    // Leave the library as a careful application would, whatever state a test ended in.
    if (sourceOpen_) {
        TW_PENDINGXFERS pending{};
        toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
        toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
        disable();
        closeSource();
    }
    if (managerOpen_) closeManager();
}

TW_UINT16 DsmSession::toManager(TW_UINT16 dat, TW_UINT16 msg, void* data, TW_UINT32 dg) {
    return entry_(&app_, nullptr, dg, dat, msg, data);
}

TW_UINT16 DsmSession::toSource(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data) {
    return entry_(&app_, &source_, dg, dat, msg, data);
}

TW_UINT16 DsmSession::managerCondition() {
    TW_STATUS status{0xEEEE, 0};
    toManager(DAT_STATUS, MSG_GET, &status);
    return status.ConditionCode;
}

TW_UINT16 DsmSession::sourceCondition() {
    TW_STATUS status{0xEEEE, 0};
    toSource(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    return status.ConditionCode;
}

TW_UINT16 DsmSession::openManager() {
    const TW_UINT16 rc = toManager(DAT_PARENT, MSG_OPENDSM, &parent_);
    if (rc == TWRC_SUCCESS) managerOpen_ = true;
    return rc;
}

TW_UINT16 DsmSession::closeManager() {
    const TW_UINT16 rc = toManager(DAT_PARENT, MSG_CLOSEDSM, &parent_);
    if (rc == TWRC_SUCCESS) managerOpen_ = false;
    return rc;
}

TW_UINT16 DsmSession::openSource(const std::string& productName) {
    std::memset(&source_, 0, sizeof source_);
    std::strncpy(source_.ProductName, productName.c_str(), 33);
    const TW_UINT16 rc = toManager(DAT_IDENTITY, MSG_OPENDS, &source_);
    if (rc == TWRC_SUCCESS) sourceOpen_ = true;
    return rc;
}

TW_UINT16 DsmSession::closeSource() {
    const TW_UINT16 rc = toManager(DAT_IDENTITY, MSG_CLOSEDS, &source_);
    if (rc == TWRC_SUCCESS) sourceOpen_ = false;
    return rc;
}

TW_UINT16 DsmSession::enable(bool showUi, bool modal) {
    TW_USERINTERFACE ui{};
    ui.ShowUI = showUi ? 0xFFFF : 0;
    ui.ModalUI = modal ? 0xFFFF : 0;
    ui.hParent = window_.handle();
    return toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
}

TW_UINT16 DsmSession::disable() {
    TW_USERINTERFACE ui{};
    ui.hParent = window_.handle();
    return toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
}

std::vector<TW_UINT16> DsmSession::requests() {
    std::vector<TW_UINT16> claimed;
    for (win::MSG message : window_.take()) {
        TW_EVENT event{};
        event.pEvent = &message;
        if (toSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) == TWRC_DSEVENT)
            claimed.push_back(event.TWMessage);
    }
    return claimed;
}

TW_UINT16 DsmSession::endTransfer(TW_UINT16* count) {
    TW_PENDINGXFERS pending{};
    const TW_UINT16 rc = toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    if (count) *count = pending.Count;
    return rc;
}

void DsmSession::abandon() {
    window_.destroy();
    managerOpen_ = false;
    sourceOpen_ = false;
}

brevanto::twaindsm::ScanRaster expectedRaster(double widthMm, double heightMm, int dpi,
                                              int pageNumber, const std::string& sourceName,
                                              TW_INT16 pixelType, TW_UINT16 flavor) {
    using namespace brevanto::twaindsm;
    PageSpec spec;
    spec.width = millimetresToPixels(widthMm, dpi);
    spec.height = millimetresToPixels(heightMm, dpi);
    spec.dpi = dpi;
    spec.pageNumber = pageNumber;
    spec.sourceName = sourceName;
    return encodeRaster(renderPage(spec), pixelType, flavor);
}

std::string textOf(const char (&field)[34]) { return std::string(field, strnlen(field, 34)); }

}  // namespace twaindsmtest
