#pragma once

// Helpers for driving the real libtwain_32.so through DSM_Entry with raw triplets: a
// temporary ini file, the loaded library, a hidden window that collects what the source
// posts, and one application session with the source manager.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/twaindsm/ScanRaster.h"
#include "platform/win/WinTypes.h"
#include "twain/Twain.h"

namespace twaindsmtest {

// The settings line that offers the virtual scanner.
inline constexpr const char* kVirtualScannerOn = "[SourceManager]\nVirtualScanner=true\n";

// SANE's configuration folder of this test process (SANE_CONFIG_DIR). SANE takes the folder
// once per process, so every test of a process shares it and rewrites the files it needs.
const std::filesystem::path& saneFolder();
void writeSaneConfig(const std::string& name, const std::string& text);

// Writes an ini file into a fresh folder and points BREVANTO_TWAIN_INI at it while alive. SANE's
// dll.conf is emptied: the machine's scanners stay out of the tests unless a test lists a
// backend of its own there.
class IniFile {
  public:
    explicit IniFile(const std::string& text);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;
    const std::filesystem::path& folder() const { return folder_; }
    void rewrite(const std::string& text);

  private:
    std::filesystem::path folder_;
    std::filesystem::path path_;
};

// libtwain_32.so from the build's bin folder, loaded while alive.
class DsmLibrary {
  public:
    DsmLibrary();
    ~DsmLibrary();
    DsmLibrary(const DsmLibrary&) = delete;
    DsmLibrary& operator=(const DsmLibrary&) = delete;
    DSMENTRYPROC entry() const { return entry_; }
    static std::string path();
    static bool isLoaded();

  private:
    void* handle_ = nullptr;
    DSMENTRYPROC entry_ = nullptr;
};

// A hidden window of platform/win that keeps every message it receives.
class TestWindow {
  public:
    TestWindow();
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    win::HWND handle() const { return handle_; }
    void destroy();
    // Dispatches the posted-message queue and hands out what arrived since the last call.
    std::vector<win::MSG> take();

  private:
    win::HWND handle_ = nullptr;
};

// One application talking to the source manager.
class DsmSession {
  public:
    explicit DsmSession(DSMENTRYPROC entry);
    ~DsmSession();
    DsmSession(const DsmSession&) = delete;
    DsmSession& operator=(const DsmSession&) = delete;

    TW_IDENTITY& app() { return app_; }
    TW_IDENTITY& source() { return source_; }
    TestWindow& window() { return window_; }

    TW_UINT16 toManager(TW_UINT16 dat, TW_UINT16 msg, void* data, TW_UINT32 dg = DG_CONTROL);
    TW_UINT16 toSource(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data);
    TW_UINT16 managerCondition();
    TW_UINT16 sourceCondition();

    TW_UINT16 openManager();
    TW_UINT16 closeManager();
    // Opens the source of that product name (empty: the default one) into source().
    TW_UINT16 openSource(const std::string& productName = "");
    TW_UINT16 closeSource();
    TW_UINT16 enable(bool showUi, bool modal = false);
    TW_UINT16 disable();
    // Offers every message the window got to the source; the requests it claimed, in order.
    std::vector<TW_UINT16> requests();
    TW_UINT16 endTransfer(TW_UINT16* count = nullptr);
    // Goes away as a crashed application would: the window is destroyed, nothing is closed.
    void abandon();

  private:
    DSMENTRYPROC entry_;
    TestWindow window_;
    TW_IDENTITY app_{};
    TW_IDENTITY source_{};
    win::HWND parent_ = nullptr;
    bool managerOpen_ = false;
    bool sourceOpen_ = false;
};

// What the virtual scanner scans for a page: size in millimetres at dpi, page number and
// source name as in its ini section.
brevanto::twaindsm::ScanRaster expectedRaster(double widthMm, double heightMm, int dpi,
                                              int pageNumber, const std::string& sourceName,
                                              TW_INT16 pixelType,
                                              TW_UINT16 flavor = TWPF_CHOCOLATE);

std::string textOf(const char (&field)[34]);

}  // namespace twaindsmtest
