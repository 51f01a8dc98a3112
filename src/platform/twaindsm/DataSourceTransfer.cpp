// DataSource: transfer set-up, image information and the memory, native and file transfers.

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform/twaindsm/CapabilityContainer.h"
#include "platform/twaindsm/DataSource.h"
#include "platform/twaindsm/TransferImage.h"
#include "platform/win/GlobalMemory.h"

namespace brevanto::twaindsm {

// ---- transfer set-up ----------------------------------------------------------------------

std::uint32_t DataSource::preferredStripSize() const {
    if (options_.stripSize > 0) return options_.stripSize;
    const ImageGeometry geometry = reader_ ? reader_->geometry() : device_->pageGeometry();
    const auto row = static_cast<std::uint32_t>(geometry.rowBytes);
    return 7 * row + row / 2 + 1;
}

DataSource::Reply DataSource::setupMemoryTransfer(TW_UINT16, TW_MEMREF data) {
    auto* setup = static_cast<TW_SETUPMEMXFER*>(data);
    const std::uint32_t preferred = preferredStripSize();
    setup->MinBufSize = 1;
    setup->Preferred = preferred;
    setup->MaxBufSize =
        std::max<std::uint32_t>(preferred, static_cast<std::uint32_t>(std::min<std::size_t>(
                                               device_->pageGeometry().imageBytes(), 0xFFFFFFFFu)));
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

std::string DataSource::defaultTransferFile() const {
    if (!options_.transferFile.empty()) return options_.transferFile;
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) folder = "/tmp";
    return (folder / ("brevanto-twain-" + std::to_string(identity_.Id) + ".bmp")).string();
}

DataSource::Reply DataSource::setupFileTransfer(TW_UINT16 msg, TW_MEMREF data) {
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

PageReader& DataSource::currentSheet() {
    if (!reader_) reader_ = device_->feedSheet(sheet_);
    return *reader_;
}

DataSource::Reply DataSource::imageInfo(TW_UINT16, TW_MEMREF data) {
    if (emptyFeeder_) return {TWRC_FAILURE, TWCC_NOMEDIA};
    if (const auto failure = currentSheet().failure()) return failedSheet(*failure);
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

DataSource::Reply DataSource::palette(TW_UINT16, TW_MEMREF data) {
    // During a transfer the palette of the sheet being scanned, before it the one a scan
    // would have now.
    const std::vector<Rgb> colors = reader_ ? reader_->palette() : device_->palette();
    const TW_INT16 pixelType =
        reader_ ? reader_->geometry().pixelType : device_->parameters().pixelType;
    if (pixelType == TWPT_BW || pixelType == TWPT_RGB) return {TWRC_FAILURE, TWCC_BADPROTOCOL};
    auto* palette = static_cast<TW_PALETTE8*>(data);
    std::memset(palette, 0, sizeof *palette);
    palette->NumColors = static_cast<TW_UINT16>(std::min<std::size_t>(colors.size(), 256));
    palette->PaletteType = pixelType == TWPT_GRAY ? TWPA_GRAY : TWPA_RGB;
    for (std::size_t i = 0; i < palette->NumColors; ++i)
        palette->Colors[i] = {static_cast<TW_UINT8>(i), colors[i].red, colors[i].green,
                              colors[i].blue};
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

// ---- transfers ----------------------------------------------------------------------------

DataSource::Reply DataSource::memoryTransfer(TW_UINT16, TW_MEMREF data) {
    if (emptyFeeder_) return {TWRC_FAILURE, TWCC_NOMEDIA};
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
    if (const auto failure = sheet.failure()) {
        if (byHandle) win::GlobalUnlock(strip->Memory.TheMem);
        return failedSheet(*failure);
    }
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
            return {TWRC_FAILURE, TWCC_PAPERJAM};
        case ReadOutcome::Cancelled:
            transfer_ = Transfer::Cancelled;
            return {TWRC_CANCEL, TWCC_SUCCESS};
        case ReadOutcome::Failed:
            transfer_ = Transfer::Jammed;
            return {TWRC_FAILURE, result.condition};
    }
    return {TWRC_FAILURE, TWCC_BUMMER};
}

DataSource::Reply DataSource::failedSheet(const ReadResult& result) {
    switch (result.outcome) {
        case ReadOutcome::Cancelled:
            // As after a cancel in the middle of a transfer: the application disables next.
            state_ = 7;
            transfer_ = Transfer::Cancelled;
            return {TWRC_CANCEL, TWCC_SUCCESS};
        case ReadOutcome::Jammed:
            feederStopped_ = true;
            return {TWRC_FAILURE, TWCC_PAPERJAM};
        default:
            return {TWRC_FAILURE,
                    result.condition == TWCC_SUCCESS ? TWCC_BUMMER : result.condition};
    }
}

void DataSource::dropSheet() {
    reader_.reset();
    sheetBytes_.clear();
    sheetRead_ = false;
}

ReadResult DataSource::readWholeSheet() {
    // A sheet read once is kept, so that a transfer that failed afterwards can be retried.
    if (sheetRead_) return {0, ReadOutcome::Done};
    PageReader& sheet = currentSheet();
    if (const auto failure = sheet.failure()) return *failure;
    const std::size_t total = sheet.geometry().imageBytes();
    const std::size_t chunk = std::max<std::uint32_t>(preferredStripSize(), 1);
    sheetBytes_.assign(total, 0);
    std::size_t done = 0;
    for (;;) {
        const ReadResult result =
            sheet.read(sheetBytes_.data() + done, std::min(chunk, total - done));
        done += result.bytes;
        if (result.outcome == ReadOutcome::Jammed || result.outcome == ReadOutcome::Cancelled ||
            result.outcome == ReadOutcome::Failed) {
            sheetBytes_.clear();
            return result;
        }
        if (result.outcome == ReadOutcome::Done || done >= total) break;
    }
    sheetRead_ = true;
    return {0, ReadOutcome::Done};
}

std::optional<DataSource::Reply> DataSource::readSheetForWholeTransfer() {
    if (emptyFeeder_) return Reply{TWRC_FAILURE, TWCC_NOMEDIA};
    if (feederStopped_) return Reply{TWRC_FAILURE, TWCC_PAPERJAM};
    const ReadResult result = readWholeSheet();
    if (result.outcome == ReadOutcome::Done) return std::nullopt;
    return failedSheet(result);
}

DataSource::Reply DataSource::nativeTransfer(TW_UINT16, TW_MEMREF data) {
    if (auto ended = readSheetForWholeTransfer()) return *ended;
    const graphics::Bitmap bitmap =
        TransferImage::toBitmap(reader_->geometry(), reader_->palette(), sheetBytes_.data());
    win::HGLOBAL dib = TransferImage::packedDib(bitmap);
    if (!dib) return {TWRC_FAILURE, TWCC_LOWMEMORY};
    *static_cast<TW_HANDLE*>(data) = dib;
    state_ = 7;
    transfer_ = Transfer::Complete;
    return {TWRC_XFERDONE, TWCC_SUCCESS};
}

DataSource::Reply DataSource::fileTransfer(TW_UINT16, TW_MEMREF) {
    if (auto ended = readSheetForWholeTransfer()) return *ended;
    const graphics::Bitmap bitmap =
        TransferImage::toBitmap(reader_->geometry(), reader_->palette(), sheetBytes_.data());
    if (!TransferImage::writeBmpFile(bitmap, transferFile_))
        return {TWRC_FAILURE, TWCC_FILEWRITEERROR};
    state_ = 7;
    transfer_ = Transfer::Complete;
    return {TWRC_XFERDONE, TWCC_SUCCESS};
}
}  // namespace brevanto::twaindsm
