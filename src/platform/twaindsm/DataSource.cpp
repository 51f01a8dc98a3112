#include "platform/twaindsm/DataSource.h"

#include <algorithm>
#include <new>

#include "platform/twaindsm/ScanDialog.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Window.h"

namespace brevanto::twaindsm {

DataSource::DataSource(const TW_IDENTITY& identity, std::unique_ptr<ImageDevice> device,
                       Options options)
    : identity_(identity), device_(std::move(device)), options_(std::move(options)) {}

DataSource::~DataSource() = default;

TW_UINT16 DataSource::open() {
    close();
    if (const TW_UINT16 refused = device_->open(); refused != TWCC_SUCCESS) return refused;
    transferMechanism_ = TWSX_NATIVE;
    transferFile_ = defaultTransferFile();
    condition_ = TWCC_SUCCESS;
    state_ = 4;
    return TWCC_SUCCESS;
}

void DataSource::close() {
    disable();
    if (state_ >= 4) device_->close();
    state_ = 3;
    parent_ = nullptr;
}

void DataSource::disable() {
    dialog_.reset();
    posted_.clear();
    if (device_->readsAhead()) device_->stopReading();
    reading_ = false;
    dropSheet();
    pending_ = 0;
    transfer_ = Transfer::Idle;
    emptyFeeder_ = false;
    feederStopped_ = false;
    if (state_ > 4) state_ = 4;
}

TW_UINT16 DataSource::handle(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    Reply reply{TWRC_FAILURE, TWCC_BUMMER};
    try {
        reply = dispatch(dg, dat, msg, data);
    } catch (const std::bad_alloc&) {
        reply = {TWRC_FAILURE, TWCC_LOWMEMORY};
    } catch (...) {
        reply = {TWRC_FAILURE, TWCC_BUMMER};
    }
    // Reading the status leaves it as it was, so that it can follow any failing call.
    if (!(dg == DG_CONTROL && dat == DAT_STATUS && reply.rc == TWRC_SUCCESS)) condition_ = reply.cc;
    return reply.rc;
}

const std::vector<DataSource::Triplet>& DataSource::triplets() {
    static const std::vector<Triplet> table = {
        {DG_CONTROL, DAT_STATUS, MSG_GET, 4, 7, nullptr},
        {DG_CONTROL, DAT_CAPABILITY, MSG_GET, 4, 7, &DataSource::capability},
        {DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, 4, 7, &DataSource::capability},
        {DG_CONTROL, DAT_CAPABILITY, MSG_GETDEFAULT, 4, 7, &DataSource::capability},
        {DG_CONTROL, DAT_CAPABILITY, MSG_RESET, 4, 4, &DataSource::capability},
        {DG_CONTROL, DAT_CAPABILITY, MSG_SET, 4, 4, &DataSource::capability},
        {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, 4, 4, &DataSource::userInterface},
        {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, 5, 7, &DataSource::userInterface},
        {DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, 5, 7, &DataSource::processEvent},
        {DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, 4, 7, &DataSource::pendingTransfers},
        {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, 6, 7, &DataSource::pendingTransfers},
        {DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, 6, 6, &DataSource::pendingTransfers},
        {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, 4, 6, &DataSource::setupMemoryTransfer},
        {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, 4, 6, &DataSource::setupFileTransfer},
        {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETDEFAULT, 4, 6, &DataSource::setupFileTransfer},
        {DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, 4, 6, &DataSource::setupFileTransfer},
        {DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET, 4, 4, &DataSource::setupFileTransfer},
        {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, 6, 7, &DataSource::imageInfo},
        {DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, 6, 7, &DataSource::memoryTransfer},
        {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, 6, 6, &DataSource::nativeTransfer},
        {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, 6, 6, &DataSource::fileTransfer},
        {DG_IMAGE, DAT_PALETTE8, MSG_GET, 4, 7, &DataSource::palette},
    };
    return table;
}

DataSource::Reply DataSource::dispatch(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    const Triplet* found = nullptr;
    for (const Triplet& t : triplets())
        if (t.dg == dg && t.dat == dat && t.msg == msg) found = &t;
    if (!found) return {TWRC_FAILURE, TWCC_BADPROTOCOL};
    if (state_ < found->minState || state_ > found->maxState) return {TWRC_FAILURE, TWCC_SEQERROR};
    if (!found->handler) {
        auto* status = static_cast<TW_STATUS*>(data);
        if (!status) return {TWRC_FAILURE, TWCC_BADVALUE};
        status->ConditionCode = condition_;
        status->Reserved = 0;
        return {TWRC_SUCCESS, condition_};
    }
    // Every triplet but the file transfer takes a record.
    if (!data && dat != DAT_IMAGEFILEXFER) return {TWRC_FAILURE, TWCC_BADVALUE};
    return (this->*found->handler)(msg, data);
}

// ---- enabling, requests and events --------------------------------------------------------

DataSource::Reply DataSource::userInterface(TW_UINT16 msg, TW_MEMREF data) {
    auto* ui = static_cast<TW_USERINTERFACE*>(data);
    if (msg == MSG_DISABLEDS) {
        // A transfer the user cancelled may be left without MSG_ENDXFER; everything else
        // must have finished its transfers first.
        if (state_ == 6 || (state_ == 7 && transfer_ != Transfer::Cancelled))
            return {TWRC_FAILURE, TWCC_SEQERROR};
        disable();
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    auto* parent = static_cast<win::HWND>(ui->hParent);
    if (!parent || !win::IsWindow(parent)) return {TWRC_FAILURE, TWCC_BADVALUE};
    const bool showUi = ui->ShowUI != 0;
    if (showUi && !options_.autoScan && !ScanDialog::guiAvailable())
        return {TWRC_FAILURE, TWCC_OPERATIONERROR};
    parent_ = parent;
    state_ = 5;
    if (showUi && ScanDialog::guiAvailable())
        dialog_ = device_->openDialog(
            ui->ModalUI != 0,
            SourceDialog::Actions{[this] { startScan(); }, [this] { requestClose(); }});
    // Without a user interface a source starts scanning at once.
    if (!showUi || options_.autoScan) startScan();
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

void DataSource::startScan() {
    if (state_ != 5) return;
    if (device_->readsAhead()) {
        // The sheet is read on the device's own thread; the application hears of it only once
        // it is complete, so the transfer never waits on the scanner.
        if (reading_) return;
        reading_ = true;
        if (dialog_) dialog_->setBusy(true);
        device_->startReading([this] { firstSheetRead(); });
        return;
    }
    const int sheets = device_->parameters().sheets;
    emptyFeeder_ = sheets <= 0;
    feederStopped_ = false;
    pending_ = std::max(sheets, 1);
    sheet_ = 1;
    dropSheet();
    transfer_ = Transfer::Idle;
    state_ = 6;
    if (dialog_) dialog_->setBusy(true);
    post(MSG_XFERREADY);
}

void DataSource::firstSheetRead() {
    if (state_ != 5 || !reading_) return;
    reading_ = false;
    pending_ = device_->sheetsReady();
    if (pending_ == 0) {
        backToEnabled();
        return;
    }
    sheet_ = 1;
    dropSheet();
    transfer_ = Transfer::Idle;
    state_ = 6;
    post(MSG_XFERREADY);
}

void DataSource::requestClose() {
    if (state_ == 5) post(MSG_CLOSEDSREQ);
}

void DataSource::post(TW_UINT16 request) {
    const win::LPARAM serial = nextSerial_++;
    if (win::PostMessage(parent_, kRequestMessage, identity_.Id, serial)) posted_[serial] = request;
}

DataSource::Reply DataSource::processEvent(TW_UINT16, TW_MEMREF data) {
    auto* event = static_cast<TW_EVENT*>(data);
    event->TWMessage = MSG_NULL;
    const auto* message = static_cast<const win::MSG*>(event->pEvent);
    if (!message) return {TWRC_FAILURE, TWCC_BADVALUE};
    // The message record is packed: its fields are read by value, never by reference.
    const win::UINT number = message->message;
    const win::WPARAM wParam = message->wParam;
    const win::LPARAM serial = message->lParam;
    if (number != kRequestMessage || wParam != identity_.Id) return {TWRC_NOTDSEVENT, TWCC_SUCCESS};
    // Ours; a request outdated by a disable or close is claimed with no request in it.
    if (const auto at = posted_.find(serial); at != posted_.end()) {
        event->TWMessage = at->second;
        posted_.erase(at);
    }
    return {TWRC_DSEVENT, TWCC_SUCCESS};
}

// ---- pending transfers --------------------------------------------------------------------

DataSource::Reply DataSource::pendingTransfers(TW_UINT16 msg, TW_MEMREF data) {
    auto* pending = static_cast<TW_PENDINGXFERS*>(data);
    if (msg == MSG_ENDXFER) {
        endSheet();
    } else if (msg == MSG_RESET) {
        pending_ = 0;
        backToEnabled();
    }
    pending->Count = static_cast<TW_UINT16>(state_ >= 6 ? pending_ : 0);
    pending->EOJ = 0;
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

void DataSource::endSheet() {
    dropSheet();
    transfer_ = Transfer::Idle;
    // A jam stops the feeder, and an empty feeder had nothing to give.
    if (device_->readsAhead())
        pending_ = device_->sheetsReady();
    else if (feederStopped_ || emptyFeeder_)
        pending_ = 0;
    else
        --pending_;
    ++sheet_;
    if (pending_ != 0)
        state_ = 6;
    else
        backToEnabled();
}

void DataSource::backToEnabled() {
    if (device_->readsAhead()) device_->stopReading();
    reading_ = false;
    dropSheet();
    transfer_ = Transfer::Idle;
    emptyFeeder_ = false;
    feederStopped_ = false;
    pending_ = 0;
    state_ = 5;
    if (dialog_) dialog_->setBusy(false);
}

}  // namespace brevanto::twaindsm
