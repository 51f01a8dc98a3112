#include "platform/twaindsm/TwainSource.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>

#include "platform/twaindsm/CapabilityContainer.h"
#include "platform/twaindsm/ScanDialog.h"
#include "platform/twaindsm/TransferImage.h"
#include "platform/twaindsm/TwainExtras.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Window.h"

namespace brevanto::twaindsm {

namespace {

bool contains(const std::vector<std::uint32_t>& list, std::uint32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::uint32_t indexOf(const std::vector<std::uint32_t>& list, std::uint32_t value) {
    const auto at = std::find(list.begin(), list.end(), value);
    return at == list.end() ? 0 : static_cast<std::uint32_t>(at - list.begin());
}

}  // namespace

TwainSource::TwainSource(const TW_IDENTITY& identity, std::unique_ptr<ImageDevice> device,
                         Options options)
    : identity_(identity), device_(std::move(device)), options_(std::move(options)) {}

TwainSource::~TwainSource() = default;

void TwainSource::open() {
    close();
    device_->reset();
    transferMechanism_ = TWSX_NATIVE;
    transferFile_ = defaultTransferFile();
    condition_ = TWCC_SUCCESS;
    state_ = 4;
}

void TwainSource::close() {
    disable();
    state_ = 3;
    parent_ = nullptr;
}

void TwainSource::disable() {
    dialog_.reset();
    posted_.clear();
    dropSheet();
    pending_ = 0;
    transfer_ = Transfer::Idle;
    emptyFeeder_ = false;
    feederStopped_ = false;
    if (state_ > 4) state_ = 4;
}

TW_UINT16 TwainSource::handle(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
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

const std::vector<TwainSource::Triplet>& TwainSource::triplets() {
    static const std::vector<Triplet> table = {
        {DG_CONTROL, DAT_STATUS, MSG_GET, 4, 7, nullptr},
        {DG_CONTROL, DAT_CAPABILITY, MSG_GET, 4, 7, &TwainSource::capability},
        {DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, 4, 7, &TwainSource::capability},
        {DG_CONTROL, DAT_CAPABILITY, MSG_GETDEFAULT, 4, 7, &TwainSource::capability},
        {DG_CONTROL, DAT_CAPABILITY, MSG_RESET, 4, 4, &TwainSource::capability},
        {DG_CONTROL, DAT_CAPABILITY, MSG_SET, 4, 4, &TwainSource::capability},
        {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, 4, 4, &TwainSource::userInterface},
        {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, 5, 7, &TwainSource::userInterface},
        {DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, 5, 7, &TwainSource::processEvent},
        {DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, 4, 7, &TwainSource::pendingTransfers},
        {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, 6, 7, &TwainSource::pendingTransfers},
        {DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, 6, 6, &TwainSource::pendingTransfers},
        {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, 4, 6, &TwainSource::setupMemoryTransfer},
        {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, 4, 6, &TwainSource::setupFileTransfer},
        {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETDEFAULT, 4, 6, &TwainSource::setupFileTransfer},
        {DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, 4, 6, &TwainSource::setupFileTransfer},
        {DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET, 4, 4, &TwainSource::setupFileTransfer},
        {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, 6, 7, &TwainSource::imageInfo},
        {DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, 6, 7, &TwainSource::memoryTransfer},
        {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, 6, 6, &TwainSource::nativeTransfer},
        {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, 6, 6, &TwainSource::fileTransfer},
        {DG_IMAGE, DAT_PALETTE8, MSG_GET, 4, 7, &TwainSource::palette},
    };
    return table;
}

TwainSource::Reply TwainSource::dispatch(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                                         TW_MEMREF data) {
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

// ---- capabilities -------------------------------------------------------------------------

TwainSource::Reply TwainSource::capability(TW_UINT16 msg, TW_MEMREF data) {
    auto* cap = static_cast<TW_CAPABILITY*>(data);
    ScanParameters& current = device_->parameters();
    const ScanParameters& defaults = device_->defaults();

    // Each capability the source knows: its items, current and default value, and where a
    // new value goes.
    TW_UINT16 itemType = TWTY_UINT16;
    std::vector<std::uint32_t> items;
    std::uint32_t now = 0;
    std::uint32_t initial = 0;
    std::function<void(std::uint32_t)> store;
    const bool resolution = cap->Cap == ICAP_XRESOLUTION || cap->Cap == ICAP_YRESOLUTION;
    switch (cap->Cap) {
        case ICAP_UNITS:
            items = {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PIXELS};
            now = current.units;
            initial = defaults.units;
            store = [&](std::uint32_t v) { current.units = static_cast<TW_UINT16>(v); };
            break;
        case ICAP_PIXELFLAVOR:
            items = {TWPF_CHOCOLATE, TWPF_VANILLA};
            now = current.pixelFlavor;
            initial = defaults.pixelFlavor;
            store = [&](std::uint32_t v) { current.pixelFlavor = static_cast<TW_UINT16>(v); };
            break;
        case ICAP_PIXELTYPE:
            for (TW_INT16 type : device_->pixelTypes())
                items.push_back(static_cast<std::uint16_t>(type));
            now = static_cast<std::uint16_t>(current.pixelType);
            initial = static_cast<std::uint16_t>(defaults.pixelType);
            store = [&](std::uint32_t v) { current.pixelType = static_cast<TW_INT16>(v); };
            break;
        case ICAP_XFERMECH:
            items = {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY};
            now = transferMechanism_;
            initial = TWSX_NATIVE;
            store = [&](std::uint32_t v) { transferMechanism_ = static_cast<TW_UINT16>(v); };
            break;
        case ICAP_XRESOLUTION:
        case ICAP_YRESOLUTION:
            // One resolution for both directions, in the current units.
            itemType = TWTY_FIX32;
            for (int dpi : device_->resolutions())
                items.push_back(CapabilityContainer::fix32Raw(resolutionInUnits(dpi)));
            now = CapabilityContainer::fix32Raw(resolutionInUnits(current.dpi));
            initial = CapabilityContainer::fix32Raw(resolutionInUnits(defaults.dpi));
            store = [&](std::uint32_t v) {
                for (int dpi : device_->resolutions())
                    if (CapabilityContainer::fix32Raw(resolutionInUnits(dpi)) == v)
                        current.dpi = dpi;
            };
            break;
        case ICAP_BITDEPTH:
        case CAP_XFERCOUNT: {
            if (msg == MSG_SET || msg == MSG_RESET) return {TWRC_FAILURE, TWCC_CAPBADOPERATION};
            const bool count = cap->Cap == CAP_XFERCOUNT;
            // The transfer count is always "all the sheets" (-1).
            win::HGLOBAL container = CapabilityContainer::makeOneValue(
                count ? TWTY_INT16 : TWTY_UINT16,
                count ? 0xFFFFu : static_cast<std::uint32_t>(device_->pageGeometry().bitsPerPixel));
            if (!container) return {TWRC_FAILURE, TWCC_LOWMEMORY};
            cap->ConType = TWON_ONEVALUE;
            cap->hContainer = container;
            return {TWRC_SUCCESS, TWCC_SUCCESS};
        }
        default:
            return {TWRC_FAILURE, TWCC_CAPUNSUPPORTED};
    }

    if (msg == MSG_SET) {
        const auto value = CapabilityContainer::readSetValue(cap->ConType, cap->hContainer);
        if (!value || value->itemType != itemType) return {TWRC_FAILURE, TWCC_BADVALUE};
        std::uint32_t raw = value->raw;
        if (itemType == TWTY_UINT16) raw &= 0xFFFF;
        if (resolution) {
            // Accept a resolution within half a dot of a supported one.
            const double asked = CapabilityContainer::fix32Value(raw);
            bool matched = false;
            for (std::uint32_t item : items)
                if (std::fabs(CapabilityContainer::fix32Value(item) - asked) < 0.5) {
                    raw = item;
                    matched = true;
                }
            if (!matched) return {TWRC_FAILURE, TWCC_BADVALUE};
        }
        if (!contains(items, raw)) return {TWRC_FAILURE, TWCC_BADVALUE};
        store(raw);
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    if (msg == MSG_RESET) {
        store(initial);
        now = initial;
    }
    // Every read answers the whole enumeration, current and default marked.
    win::HGLOBAL container = CapabilityContainer::makeEnumeration(
        itemType, items, indexOf(items, now), indexOf(items, initial));
    if (!container) return {TWRC_FAILURE, TWCC_LOWMEMORY};
    cap->ConType = TWON_ENUMERATION;
    cap->hContainer = container;
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

double TwainSource::resolutionInUnits(int dpi) const {
    return device_->parameters().units == TWUN_CENTIMETERS ? dpi / 2.54 : dpi;
}

// ---- enabling, requests and events --------------------------------------------------------

TwainSource::Reply TwainSource::userInterface(TW_UINT16 msg, TW_MEMREF data) {
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
        dialog_ = std::make_unique<ScanDialog>(
            *device_, ui->ModalUI != 0,
            ScanDialog::Actions{[this] { startScan(); }, [this] { requestClose(); }});
    // Without a user interface a source starts scanning at once.
    if (!showUi || options_.autoScan) startScan();
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

void TwainSource::startScan() {
    if (state_ != 5) return;
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

void TwainSource::requestClose() {
    if (state_ == 5) post(MSG_CLOSEDSREQ);
}

void TwainSource::post(TW_UINT16 request) {
    const win::LPARAM serial = nextSerial_++;
    if (win::PostMessage(parent_, kRequestMessage, identity_.Id, serial)) posted_[serial] = request;
}

TwainSource::Reply TwainSource::processEvent(TW_UINT16, TW_MEMREF data) {
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

TwainSource::Reply TwainSource::pendingTransfers(TW_UINT16 msg, TW_MEMREF data) {
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

void TwainSource::endSheet() {
    dropSheet();
    transfer_ = Transfer::Idle;
    // A jam stops the feeder, and an empty feeder had nothing to give.
    if (feederStopped_ || emptyFeeder_)
        pending_ = 0;
    else
        --pending_;
    ++sheet_;
    if (pending_ > 0)
        state_ = 6;
    else
        backToEnabled();
}

void TwainSource::backToEnabled() {
    dropSheet();
    transfer_ = Transfer::Idle;
    emptyFeeder_ = false;
    feederStopped_ = false;
    pending_ = 0;
    state_ = 5;
    if (dialog_) dialog_->setBusy(false);
}

// ---- transfer set-up ----------------------------------------------------------------------

std::uint32_t TwainSource::preferredStripSize() const {
    if (options_.stripSize > 0) return options_.stripSize;
    const auto row = static_cast<std::uint32_t>(device_->pageGeometry().rowBytes);
    return 7 * row + row / 2 + 1;
}

TwainSource::Reply TwainSource::setupMemoryTransfer(TW_UINT16, TW_MEMREF data) {
    auto* setup = static_cast<TW_SETUPMEMXFER*>(data);
    const std::uint32_t preferred = preferredStripSize();
    setup->MinBufSize = 1;
    setup->Preferred = preferred;
    setup->MaxBufSize =
        std::max<std::uint32_t>(preferred, static_cast<std::uint32_t>(std::min<std::size_t>(
                                               device_->pageGeometry().imageBytes(), 0xFFFFFFFFu)));
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

std::string TwainSource::defaultTransferFile() const {
    if (!options_.transferFile.empty()) return options_.transferFile;
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) folder = "/tmp";
    return (folder / ("brevanto-twain-" + std::to_string(identity_.Id) + ".bmp")).string();
}

TwainSource::Reply TwainSource::setupFileTransfer(TW_UINT16 msg, TW_MEMREF data) {
    auto* setup = static_cast<TW_SETUPFILEXFER*>(data);
    if (msg == MSG_SET) {
        const void* end = std::memchr(setup->FileName, 0, sizeof setup->FileName);
        if (!end || setup->FileName[0] == 0 || setup->Format != TWFF_BMP)
            return {TWRC_FAILURE, TWCC_BADVALUE};
        transferFile_ = setup->FileName;
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    if (msg == MSG_RESET) transferFile_ = defaultTransferFile();
    const std::string name = msg == MSG_GETDEFAULT ? defaultTransferFile() : transferFile_;
    std::memset(setup->FileName, 0, sizeof setup->FileName);
    std::memcpy(setup->FileName, name.data(), std::min(name.size(), sizeof setup->FileName - 1));
    setup->Format = TWFF_BMP;
    setup->VRefNum = 0;
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

PageReader& TwainSource::currentSheet() {
    if (!reader_) reader_ = device_->feedSheet(sheet_);
    return *reader_;
}

TwainSource::Reply TwainSource::imageInfo(TW_UINT16, TW_MEMREF data) {
    if (emptyFeeder_) return {TWRC_FAILURE, kTwccNoMedia};
    auto* info = static_cast<TW_IMAGEINFO*>(data);
    const ImageGeometry& g = currentSheet().geometry();
    std::memset(info, 0, sizeof *info);
    const std::uint32_t resolution = CapabilityContainer::fix32Raw(resolutionInUnits(g.dpi));
    info->XResolution.Whole = static_cast<TW_INT16>(resolution & 0xFFFF);
    info->XResolution.Frac = static_cast<TW_UINT16>(resolution >> 16);
    info->YResolution = info->XResolution;
    info->ImageWidth = g.width;
    info->ImageLength = g.height;
    info->SamplesPerPixel = static_cast<TW_INT16>(g.pixelType == TWPT_RGB ? 3 : 1);
    for (int i = 0; i < info->SamplesPerPixel; ++i)
        info->BitsPerSample[i] = static_cast<TW_INT16>(g.pixelType == TWPT_BW ? 1 : 8);
    info->BitsPerPixel = static_cast<TW_INT16>(g.bitsPerPixel);
    info->Planar = 0;
    info->PixelType = g.pixelType;
    info->Compression = TWCP_NONE;
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

TwainSource::Reply TwainSource::palette(TW_UINT16, TW_MEMREF data) {
    // During a transfer the palette of the sheet being scanned, before it the one a scan
    // would have now.
    const std::vector<Rgb> colors = reader_ ? reader_->palette() : device_->palette();
    const TW_INT16 pixelType =
        reader_ ? reader_->geometry().pixelType : device_->parameters().pixelType;
    if (pixelType == TWPT_BW || pixelType == TWPT_RGB) return {TWRC_FAILURE, TWCC_BADPROTOCOL};
    auto* palette = static_cast<TW_PALETTE8*>(data);
    std::memset(palette, 0, sizeof *palette);
    palette->NumColors = static_cast<TW_UINT16>(std::min<std::size_t>(colors.size(), 256));
    palette->PaletteType = pixelType == TWPT_GRAY ? kTwpaGray : kTwpaRgb;
    for (std::size_t i = 0; i < palette->NumColors; ++i)
        palette->Colors[i] = {static_cast<TW_UINT8>(i), colors[i].red, colors[i].green,
                              colors[i].blue};
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

// ---- transfers ----------------------------------------------------------------------------

TwainSource::Reply TwainSource::memoryTransfer(TW_UINT16, TW_MEMREF data) {
    if (emptyFeeder_) return {TWRC_FAILURE, kTwccNoMedia};
    if (state_ == 7 && transfer_ != Transfer::Running) return {TWRC_FAILURE, TWCC_SEQERROR};
    auto* strip = static_cast<TW_IMAGEMEMXFER*>(data);
    const bool byHandle = (strip->Memory.Flags & TWMF_HANDLE) != 0;
    auto* buffer = static_cast<std::uint8_t*>(byHandle ? win::GlobalLock(strip->Memory.TheMem)
                                                       : strip->Memory.TheMem);
    std::size_t capacity = strip->Memory.Length;
    if (byHandle && buffer) capacity = std::min(capacity, win::GlobalSize(strip->Memory.TheMem));
    if (!buffer || capacity == 0) {
        if (byHandle && buffer) win::GlobalUnlock(strip->Memory.TheMem);
        return {TWRC_FAILURE, TWCC_BADVALUE};
    }
    PageReader& sheet = currentSheet();
    if (state_ == 6) {
        state_ = 7;
        transfer_ = Transfer::Running;
        transferred_ = 0;
    }
    const ImageGeometry& g = sheet.geometry();
    const ReadResult result = sheet.read(
        buffer, std::min(capacity, g.imageBytes() - std::min(transferred_, g.imageBytes())));
    if (byHandle) win::GlobalUnlock(strip->Memory.TheMem);

    // Strips are cut by size, not by rows: the row fields say where the strip starts.
    strip->Compression = TWCP_NONE;
    strip->BytesPerRow = static_cast<TW_UINT32>(g.rowBytes);
    strip->Columns = static_cast<TW_UINT32>(g.width);
    strip->XOffset = 0;
    strip->YOffset = static_cast<TW_UINT32>(transferred_ / g.rowBytes);
    strip->Rows = static_cast<TW_UINT32>((transferred_ + result.bytes) / g.rowBytes -
                                         transferred_ / g.rowBytes);
    strip->BytesWritten = static_cast<TW_UINT32>(result.bytes);
    transferred_ += result.bytes;
    switch (result.outcome) {
        case ReadOutcome::More:
            return {TWRC_SUCCESS, TWCC_SUCCESS};
        case ReadOutcome::Done:
            transfer_ = Transfer::Complete;
            return {TWRC_XFERDONE, TWCC_SUCCESS};
        case ReadOutcome::Jammed:
            transfer_ = Transfer::Jammed;
            feederStopped_ = true;
            return {TWRC_FAILURE, kTwccPaperJam};
        case ReadOutcome::Cancelled:
            transfer_ = Transfer::Cancelled;
            return {TWRC_CANCEL, TWCC_SUCCESS};
    }
    return {TWRC_FAILURE, TWCC_BUMMER};
}

void TwainSource::dropSheet() {
    reader_.reset();
    sheetBytes_.clear();
    sheetRead_ = false;
}

ReadOutcome TwainSource::readWholeSheet() {
    // A sheet read once is kept, so that a transfer that failed afterwards can be retried.
    if (sheetRead_) return ReadOutcome::Done;
    PageReader& sheet = currentSheet();
    const std::size_t total = sheet.geometry().imageBytes();
    const std::size_t chunk = std::max<std::uint32_t>(preferredStripSize(), 1);
    sheetBytes_.assign(total, 0);
    std::size_t done = 0;
    for (;;) {
        const ReadResult result =
            sheet.read(sheetBytes_.data() + done, std::min(chunk, total - done));
        done += result.bytes;
        if (result.outcome == ReadOutcome::Jammed || result.outcome == ReadOutcome::Cancelled) {
            sheetBytes_.clear();
            return result.outcome;
        }
        if (result.outcome == ReadOutcome::Done || done >= total) break;
    }
    sheetRead_ = true;
    return ReadOutcome::Done;
}

TwainSource::Reply TwainSource::nativeTransfer(TW_UINT16, TW_MEMREF data) {
    if (emptyFeeder_) return {TWRC_FAILURE, kTwccNoMedia};
    if (feederStopped_) return {TWRC_FAILURE, kTwccPaperJam};
    auto* handle = static_cast<TW_HANDLE*>(data);
    switch (readWholeSheet()) {
        case ReadOutcome::Jammed:
            feederStopped_ = true;
            return {TWRC_FAILURE, kTwccPaperJam};
        case ReadOutcome::Cancelled:
            state_ = 7;
            transfer_ = Transfer::Cancelled;
            return {TWRC_CANCEL, TWCC_SUCCESS};
        default:
            break;
    }
    const graphics::Bitmap bitmap =
        TransferImage::toBitmap(reader_->geometry(), reader_->palette(), sheetBytes_.data());
    win::HGLOBAL dib = TransferImage::packedDib(bitmap);
    if (!dib) return {TWRC_FAILURE, TWCC_LOWMEMORY};
    *handle = dib;
    state_ = 7;
    transfer_ = Transfer::Complete;
    return {TWRC_XFERDONE, TWCC_SUCCESS};
}

TwainSource::Reply TwainSource::fileTransfer(TW_UINT16, TW_MEMREF) {
    if (emptyFeeder_) return {TWRC_FAILURE, kTwccNoMedia};
    if (feederStopped_) return {TWRC_FAILURE, kTwccPaperJam};
    switch (readWholeSheet()) {
        case ReadOutcome::Jammed:
            feederStopped_ = true;
            return {TWRC_FAILURE, kTwccPaperJam};
        case ReadOutcome::Cancelled:
            state_ = 7;
            transfer_ = Transfer::Cancelled;
            return {TWRC_CANCEL, TWCC_SUCCESS};
        default:
            break;
    }
    const graphics::Bitmap bitmap =
        TransferImage::toBitmap(reader_->geometry(), reader_->palette(), sheetBytes_.data());
    if (!TransferImage::writeBmpFile(bitmap, transferFile_))
        return {TWRC_FAILURE, kTwccFileWriteError};
    state_ = 7;
    transfer_ = Transfer::Complete;
    return {TWRC_XFERDONE, TWCC_SUCCESS};
}

}  // namespace brevanto::twaindsm
