#pragma once

// The TWAIN source manager component. It finds and loads the source manager library, opens it
// with a hidden window of its own, carries the application identity (Info), lists the installed
// sources, runs the source manager's selection dialog, and offers the messages that reach its
// hidden window to the open sources, which run the transfers and raise the events below.
//
// Ownership: the manager owns Info, the hidden window, the loaded library and every listed
// source. Destroying it disables and closes the sources, closes the source manager and frees
// the library, in that order. It raises nothing and shows nothing: failures are results.
//
// Driving a scan: LoadTwainLibrary(); SetSourceManagerLoaded(true); i = ChooseSource();
// then on Sources(i): SetLoaded(true), SetTransferMode(ttmMemory), SetEnabled(true). Images
// arrive later, from the event loop draining platform/win's message queue, through
// OnTwainAcquire.

#include <memory>

#include "platform/win/WinTypes.h"
#include "twain/TTwainIdentity.h"
#include "twain/TTwainSourceList.h"
#include "twain/Twain.h"
#include "twain/TwainEnums.h"
#include "twain/TwainEvents.h"

namespace twain {

class TTwainSource;

class TTwainManager : public TTwainObject {
  public:
    // The library file looked for, the stand-in of TWAIN_32.DLL.
    static constexpr const char* kLibraryName = "libtwain_32.so";
    static constexpr const char* kWindowClassName = "QUORVATWAIN_VIRTUALWINDOW";
    static constexpr const char* kWindowTitle = "Quorva Twain virtual window";

    explicit TTwainManager(TTwainObject* owner = nullptr);
    ~TTwainManager() override;
    TTwainManager(const TTwainManager&) = delete;
    TTwainManager& operator=(const TTwainManager&) = delete;

    // Events: raised only when assigned.
    TOnSourceNotify OnSourceDisable;
    TOnSourceNotify OnAcquireCancel;
    TOnTwainAcquire OnTwainAcquire;
    TOnSourceNotify OnSourceSetupFileXfer;
    TOnSourceFileTransfer OnSourceFileTransfer;
    TOnTwainError OnAcquireError;
    TOnAcquireProgress OnAcquireProgress;

    TTwainTransferMode TransferMode() const { return transferMode_; }
    void SetTransferMode(TTwainTransferMode value) { transferMode_ = value; }

    // Reading lists the sources when needed; writing only keeps a value read from a form.
    int SourceCount();
    void SetSourceCount(int stored) { storedSourceCount_ = stored; }

    TTwainIdentity& Info() { return *info_; }
    void SetInfo(const TTwainIdentity& value) { info_->Assign(value); }

    bool LibraryLoaded() const { return libraryLoaded_; }
    void SetLibraryLoaded(bool value);
    bool SourceManagerLoaded() const { return sourceManagerLoaded_; }
    void SetSourceManagerLoaded(bool value);

    bool LoadTwainLibrary();
    bool UnloadTwainLibrary();
    bool OpenSourceManager();
    bool CloseSourceManager();
    bool ListSources();
    void FreeSources();

    // A listed source; -1 is the default source; null outside the list.
    TTwainSource* Sources(int index);
    int DefaultSourceIndex();
    int IndexOfIdentity(const TW_IDENTITY& identity);
    // Runs the selection dialog: the chosen source's position, or -1.
    int ChooseSource();

    // What the sources use.
    DSMENTRYPROC EntryPoint() const { return entryPoint_; }
    TW_IDENTITY* AppIdentity() { return appIdentity_; }
    win::HWND WindowHandle() const { return windowHandle_; }
    win::HMODULE LibraryHandle() const { return libraryHandle_; }
    int OpenSourceCount() const { return openSourceCount_; }
    void AdjustOpenSourceCount(int delta) { openSourceCount_ += delta; }
    bool Choosing() const { return choosing_; }
    bool SourcesListed() const { return sourcesListed_; }
    int SourceListCapacity() const { return sources_.Capacity(); }
    TTwainObject* Owner() const { return owner_; }

    // The hidden window's message handling: offers the message to the first source that is
    // Loaded and Enabled and claims it. True when one did.
    bool RouteMessage(win::HWND window, win::UINT message, win::WPARAM wParam, win::LPARAM lParam);

  private:
    TW_UINT16 CallSourceManager(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

    TTwainObject* owner_;
    int openSourceCount_ = 0;
    bool choosing_ = false;
    int storedSourceCount_ = 0;
    TTwainSourceList sources_;
    TW_IDENTITY* appIdentity_ = nullptr;
    std::unique_ptr<TTwainIdentity> info_;
    win::HWND windowHandle_ = nullptr;
    win::HMODULE libraryHandle_ = nullptr;
    bool sourcesListed_ = false;
    DSMENTRYPROC entryPoint_ = nullptr;
    TTwainTransferMode transferMode_ = ttmMemory;
    bool libraryLoaded_ = false;
    bool sourceManagerLoaded_ = false;
};

}  // namespace twain
