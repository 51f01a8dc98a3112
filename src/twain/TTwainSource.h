#pragma once

// One TWAIN data source as the manager listed it: its identity (filled by the source manager),
// opening, closing, enabling and disabling it, the window messages the manager offers it,
// its condition code and capability reads, and, when it announces images, the transfer loop
// that turns each image into a bitmap delivered through the manager's events.
//
// Ownership: the manager owns its sources; a source frees nothing of the manager's. Capability
// containers and native DIB blocks handed over by the source are freed here; a memory-mode
// bitmap is owned by the loop until it is delivered, then by the event's Image for the duration
// of the handler. Nothing here raises; everything untrusted the source hands over is checked
// before it is read.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/win/WinTypes.h"
#include "twain/TTwainIdentity.h"
#include "twain/Twain.h"
#include "twain/TwainEnums.h"

namespace twain {

class TTwainManager;

class TTwainSource : public TTwainIdentity {
  public:
    explicit TTwainSource(TTwainManager* owner);
    ~TTwainSource() override;
    TTwainSource(const TTwainSource&) = delete;
    TTwainSource& operator=(const TTwainSource&) = delete;

    TTwainManager* Manager() const { return manager_; }
    int Index() const { return index_; }
    void SetIndex(int value) { index_ = value; }
    TTwainTransferMode TransferMode() const { return transferMode_; }
    void SetTransferMode(TTwainTransferMode value) { transferMode_ = value; }
    bool ShowUI() const { return showUI_; }
    void SetShowUI(bool value) { showUI_ = value; }
    bool Modal() const { return modal_; }
    void SetModal(bool value) { modal_ = value; }

    bool Loaded() const { return loaded_; }
    void SetLoaded(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);

    bool OpenSource();
    bool CloseSource();
    bool EnableDS(bool showUI, bool modal);
    bool DisableDS();
    // True when the source claimed the message; images it announces are transferred before
    // this returns.
    bool HandleMessage(const win::MSG& message);
    TW_UINT16 ConditionCode();

    // On capOk, container (a movable block the caller must free) and conType are handed back.
    TCapResult ReadCapability(TW_UINT16 cap, TW_HANDLE& container, TW_UINT16& conType,
                              TCapRequest request);
    // An enumeration as texts. A container whose items do not lie inside its memory block (or
    // with more than 65535 items) is refused with capBadContainer and freed. A non-null
    // container is one the caller holds; it is read and freed.
    TCapResult ReadEnumeration(TW_UINT16 cap, TW_UINT16& itemType, TGetCapabilityList& list,
                               TW_UINT32& current, TW_UINT32& defaultIndex, TCapRequest request,
                               TW_HANDLE container = nullptr);
    // item must hold ItemReadSize(itemType) bytes.
    static std::string ItemText(TW_UINT16 itemType, const void* item);
    static std::size_t ItemReadSize(TW_UINT16 itemType);
    // ICAP_UNITS / ICAP_PIXELFLAVOR: capUnsupported unless the items are TWTY_UINT16, and
    // capBadContainer when the current (or, for crqGetDefault, the default) index lies outside
    // the item list; on any failure unit / flavor and supported are left as they were.
    TCapResult ReadUnits(TScanUnit& unit, TScanUnits& supported, TCapRequest request);
    TCapResult ReadPixelFlavor(TPixelFlavor& flavor, TPixelFlavors& supported, TCapRequest request);

    // The transfer loop and its steps.
    void TransferAll();
    TW_UINT16 PrepareMemoryImage(win::HBITMAP& bitmap, TW_INT16& pixelType);
    TW_UINT16 ReceiveStrips(win::HBITMAP& bitmap, TW_INT16 pixelType);
    void DeliverNative(TW_HANDLE dib, bool& cancel);
    void DeliverMemory(win::HBITMAP bitmap, bool& cancel);
    void DeliverFile(const TW_SETUPFILEXFER& setup, bool& cancel);

  private:
    TW_UINT16 Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    TCapResult MapCapabilityResult(TW_UINT16 rc);
    TW_UINT16 FailLocally(TW_UINT16 conditionCode);
    void ReportError(TW_UINT16 rc);

    TTwainManager* manager_;
    int index_ = 0;
    TTwainTransferMode transferMode_ = ttmNative;
    bool showUI_ = true;
    bool modal_ = true;
    bool enabled_ = false;
    bool loaded_ = false;
    // A failure found here rather than reported by the source: its condition code replaces the
    // source's in the next error event.
    std::optional<TW_UINT16> localCondition_;
};

}  // namespace twain
