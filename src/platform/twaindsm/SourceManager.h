#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/twaindsm/DataSource.h"
#include "platform/twaindsm/DsmSettings.h"
#include "platform/twaindsm/SaneBackend.h"
#include "platform/win/WinTypes.h"
#include "twain/Twain.h"

namespace brevanto::twaindsm {

// The TWAIN source manager behind DSM_Entry: applications open it (state 2 to 3) with a parent
// window, list and choose sources, open and close them (state 3 to 4), and send triplets to
// open sources, which it routes by the destination's Id. Sources come from the ini file each
// time the manager is opened while no source is open: every scanner SANE lists, and the virtual
// scanners when the ini offers them. One instance per loaded library; owns the sources.
//
// Applications are told apart by the Id it assigns at MSG_OPENDSM. An application whose parent
// window no longer exists is taken to be gone: its sources are closed when another application
// opens the manager or asks for a source.
class SourceManager final {
  public:
    SourceManager();
    ~SourceManager();
    SourceManager(const SourceManager&) = delete;
    SourceManager& operator=(const SourceManager&) = delete;

    // One call of DSM_Entry. Never throws.
    TW_UINT16 entry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                    TW_UINT16 msg, TW_MEMREF data);

  private:
    struct Application {
        win::HWND parent = nullptr;
        std::size_t nextListed = 0;
        TW_UINT16 condition = TWCC_SUCCESS;
    };
    struct Reply {
        TW_UINT16 rc;
        TW_UINT16 cc;
    };
    struct Listed {
        std::unique_ptr<DataSource> source;
        TW_UINT32 owner = 0;  // the application that has it open, 0 when closed
    };

    Reply toManager(TW_IDENTITY* origin, Application* app, TW_UINT32 dg, TW_UINT16 dat,
                    TW_UINT16 msg, TW_MEMREF data);
    Reply openManager(TW_IDENTITY* origin, TW_MEMREF data);
    Reply closeManager(TW_UINT32 appId);
    Reply identity(TW_UINT32 appId, Application& app, TW_UINT16 msg, TW_IDENTITY* record);
    Reply userSelect(TW_IDENTITY* record);
    Reply openSource(TW_UINT32 appId, TW_IDENTITY* record);
    Reply closeSource(TW_UINT32 appId, TW_IDENTITY* record);

    void loadSources();
    void loadSaneSources();
    void forgetVanishedApplications();
    bool anySourceOpen() const;
    std::size_t defaultIndex() const;
    Listed* findSource(const TW_IDENTITY& record);

    DsmSettings settings_;
    // Before the sources: their SANE handles are closed before SANE itself.
    std::unique_ptr<SaneLibrary> sane_;
    std::vector<Listed> sources_;
    std::map<TW_UINT32, Application> applications_;
    TW_UINT32 nextApplicationId_ = 1;
    // For callers that have not opened the manager.
    TW_UINT16 condition_ = TWCC_SUCCESS;
};

// The identity the source manager gives a virtual scanner: stable from run to run.
TW_IDENTITY virtualScannerIdentity(const ScannerSettings& settings);

}  // namespace brevanto::twaindsm
