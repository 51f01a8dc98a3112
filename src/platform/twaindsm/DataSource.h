#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/twaindsm/ImageDevice.h"
#include "platform/win/WinTypes.h"
#include "twain/Twain.h"

namespace brevanto::twaindsm {

// One TWAIN data source as the source manager offers it: the protocol side (TWAIN states 4 to
// 7, the triplets a 1.9 source answers, capability containers, memory, native and file
// transfers, requests posted to the application's window) over an ImageDevice that makes the
// pages. Owned by the SourceManager; owns its device, its dialog and the page being scanned.
//
// Requests to the application (images ready, please close) are posted to the hParent window
// given with MSG_ENABLEDS as kRequestMessage, wParam the source's Id and lParam a serial;
// MSG_PROCESSEVENT recognises them and names the request in TWMessage.
class DataSource final {
  public:
    struct Options {
        std::uint32_t stripSize = 0;  // 0: seven and a half rows plus one byte
        bool autoScan = false;
        std::string transferFile;  // empty: a file in the temporary folder
    };

    static constexpr win::UINT kRequestMessage = win::WM_APP + 0x2B1;

    DataSource(const TW_IDENTITY& identity, std::unique_ptr<ImageDevice> device, Options options);
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    const TW_IDENTITY& identity() const { return identity_; }
    ImageDevice& device() { return *device_; }
    // 3 while closed, else the TWAIN state 4 to 7.
    int state() const { return state_; }
    bool isOpen() const { return state_ >= 4; }

    // MSG_OPENDS: state 4 with the device's defaults; TWCC_SUCCESS, or why the device could
    // not be opened (the source then stays closed).
    TW_UINT16 open();
    // MSG_CLOSEDS, or an application that went away: back to state 3 from any state.
    void close();

    // One triplet addressed to this source. Never throws.
    TW_UINT16 handle(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    TW_UINT16 conditionCode() const { return condition_; }

  private:
    struct Reply {
        TW_UINT16 rc;
        TW_UINT16 cc;
    };
    using Handler = Reply (DataSource::*)(TW_UINT16 msg, TW_MEMREF data);
    struct Triplet {
        TW_UINT32 dg;
        TW_UINT16 dat;
        TW_UINT16 msg;
        int minState;
        int maxState;
        Handler handler;
    };
    enum class Transfer { Idle, Running, Complete, Jammed, Cancelled };

    static const std::vector<Triplet>& triplets();
    Reply dispatch(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

    Reply capability(TW_UINT16 msg, TW_MEMREF data);
    Reply userInterface(TW_UINT16 msg, TW_MEMREF data);
    Reply processEvent(TW_UINT16 msg, TW_MEMREF data);
    Reply pendingTransfers(TW_UINT16 msg, TW_MEMREF data);
    Reply setupMemoryTransfer(TW_UINT16 msg, TW_MEMREF data);
    Reply setupFileTransfer(TW_UINT16 msg, TW_MEMREF data);
    Reply imageInfo(TW_UINT16 msg, TW_MEMREF data);
    Reply memoryTransfer(TW_UINT16 msg, TW_MEMREF data);
    Reply nativeTransfer(TW_UINT16 msg, TW_MEMREF data);
    Reply fileTransfer(TW_UINT16 msg, TW_MEMREF data);
    Reply palette(TW_UINT16 msg, TW_MEMREF data);

    void startScan();
    // A device reading ahead has its first sheet (or knows it has none).
    void firstSheetRead();
    // The reply to a transfer of a sheet that ended before it could be transferred.
    Reply failedSheet(const ReadResult& result);
    void requestClose();
    void post(TW_UINT16 request);
    void endSheet();
    void backToEnabled();
    void disable();
    PageReader& currentSheet();
    std::uint32_t preferredStripSize() const;
    double resolutionInUnits(int dpi) const;
    std::string defaultTransferFile() const;
    // Reads the whole current sheet into sheetBytes_ for a native or file transfer.
    ReadResult readWholeSheet();
    // Reads the whole sheet for a native or file transfer: the reply when that ended the
    // transfer, nothing when the sheet is ready in sheetBytes_.
    std::optional<Reply> readSheetForWholeTransfer();
    void dropSheet();

    TW_IDENTITY identity_;
    std::unique_ptr<ImageDevice> device_;
    Options options_;
    int state_ = 3;
    TW_UINT16 condition_ = TWCC_SUCCESS;
    win::HWND parent_ = nullptr;
    std::unique_ptr<SourceDialog> dialog_;
    std::map<win::LPARAM, TW_UINT16> posted_;
    win::LPARAM nextSerial_ = 1;
    TW_UINT16 transferMechanism_ = TWSX_NATIVE;
    std::string transferFile_;

    int pending_ = 0;       // ImageDevice::kMoreToCome: an unknown number
    bool reading_ = false;  // a device reading ahead has not got its first sheet yet
    int sheet_ = 0;
    bool emptyFeeder_ = false;
    bool feederStopped_ = false;
    std::unique_ptr<PageReader> reader_;
    std::vector<std::uint8_t> sheetBytes_;
    bool sheetRead_ = false;
    Transfer transfer_ = Transfer::Idle;
    std::size_t transferred_ = 0;
};

}  // namespace brevanto::twaindsm
