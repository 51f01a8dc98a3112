// The transfer loop of TTwainSource and its steps: fetching each pending image in the source's
// transfer mode, building memory-mode images strip by strip, delivering images through the
// manager's events, and ending or discarding the transfers.

#include <cstring>
#include <memory>
#include <new>

#include "platform/graphics/ImageLimits.h"
#include "platform/win/Gdi.h"
#include "platform/win/GlobalMemory.h"
#include "twain/MemoryImageHeader.h"
#include "twain/StripPlacer.h"
#include "twain/TTwainManager.h"
#include "twain/TTwainSource.h"

namespace twain {
namespace {

bool isDibBitCount(TW_INT16 bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

TTwainFormat formatOf(TW_UINT16 code) {
    return code <= TWFF_EXIF ? static_cast<TTwainFormat>(code) : tfUnknown;
}

}  // namespace

TW_UINT16 TTwainSource::FailLocally(TW_UINT16 conditionCode) {
    localCondition_ = conditionCode;
    return TWRC_FAILURE;
}

void TTwainSource::ReportError(TW_UINT16 rc) {
    if (!manager_->OnAcquireError) return;
    const TW_UINT16 condition = localCondition_ ? *localCondition_ : ConditionCode();
    manager_->OnAcquireError(manager_, index_, rc, condition);
}

void TTwainSource::TransferAll() {
    bool cancel = false;
    bool done = false;
    while (!done) {
        localCondition_.reset();
        TW_UINT16 rc = TWRC_FAILURE;
        TW_HANDLE native = nullptr;
        win::HBITMAP bitmap = nullptr;
        TW_SETUPFILEXFER setup{};
        switch (transferMode_) {
            case ttmNative:
                rc = Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &native);
                break;
            case ttmFile:
                if (manager_->OnSourceSetupFileXfer)
                    manager_->OnSourceSetupFileXfer(manager_, index_);
                if (Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &setup) != TWRC_SUCCESS) {
                    // Nothing trustworthy came back: an empty name of unknown format.
                    std::memset(&setup, 0, sizeof setup);
                    setup.Format = 0xFFFF;
                }
                rc = Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
                break;
            case ttmMemory:
            default: {
                TW_INT16 pixelType = 0;
                rc = PrepareMemoryImage(bitmap, pixelType);
                if (rc == TWRC_SUCCESS) rc = ReceiveStrips(bitmap, pixelType);
                break;
            }
        }

        if (rc == TWRC_XFERDONE) {
            if (transferMode_ == ttmNative) {
                DeliverNative(native, cancel);
                native = nullptr;
            } else if (transferMode_ == ttmFile) {
                DeliverFile(setup, cancel);
            } else {
                DeliverMemory(bitmap, cancel);
            }
        } else if (rc == TWRC_CANCEL) {
            if (manager_->OnAcquireCancel) manager_->OnAcquireCancel(manager_, index_);
            done = true;
        } else {
            ReportError(rc);
        }
        // A block handed over with a failed transfer is still ours to free.
        if (native != nullptr) win::GlobalFree(native);

        if (!done) {
            TW_PENDINGXFERS pendingXfers{};
            const TW_UINT16 end = Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pendingXfers);
            done = end != TWRC_SUCCESS || pendingXfers.Count == 0;
        }
        if (!done && cancel) {
            TW_PENDINGXFERS pendingXfers{};
            done = Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pendingXfers) == TWRC_SUCCESS;
        }
    }
    SetEnabled(false);
}

TW_UINT16 TTwainSource::PrepareMemoryImage(win::HBITMAP& bitmap, TW_INT16& pixelType) {
    TW_IMAGEINFO info{};
    const TW_UINT16 rc = Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info);
    if (rc != TWRC_SUCCESS) return rc;
    if (info.ImageWidth <= 0 || info.ImageLength <= 0 || !isDibBitCount(info.BitsPerPixel))
        return FailLocally(TWCC_BADVALUE);
    // A page larger than any scanner makes is refused before its pixels are allocated.
    if (static_cast<std::int64_t>(info.ImageWidth) * info.ImageLength >
        brevanto::graphics::kMaxImagePixels)
        return FailLocally(TWCC_BADVALUE);
    const std::uint64_t rowLength = DibRowLength(info.BitsPerPixel, info.ImageWidth);
    const std::uint64_t imageSize = rowLength * static_cast<std::uint64_t>(info.ImageLength);

    TW_SETUPMEMXFER setup{};
    const TW_UINT16 setupRc = Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup);
    if (setupRc != TWRC_SUCCESS) return setupRc;
    const std::optional<std::uint32_t> sizeImage = RoundedImageSize(imageSize, setup.Preferred);
    if (!sizeImage) return FailLocally(TWCC_BADVALUE);

    // Header and colour table only: the pixels live in the bitmap section itself.
    MemoryImageHeader image;
    image.header.biSize = 40;
    image.header.biWidth = info.ImageWidth;
    image.header.biHeight = info.ImageLength;
    image.header.biPlanes = 1;
    image.header.biBitCount = static_cast<std::uint16_t>(info.BitsPerPixel);
    image.header.biCompression = win::BI_RGB;
    image.header.biSizeImage = *sizeImage;

    TScanUnit unit = suUnknown;
    TScanUnits supported;
    if (ReadUnits(unit, supported, crqGet) != capOk) unit = suUnknown;
    image.header.biXPelsPerMeter = PelsPerMeter(Fix32ToFloat(info.XResolution), unit);
    image.header.biYPelsPerMeter = PelsPerMeter(Fix32ToFloat(info.YResolution), unit);

    switch (info.PixelType) {
        case TWPT_BW: {
            TPixelFlavor flavor = flChocolate;
            TPixelFlavors flavors;
            if (ReadPixelFlavor(flavor, flavors, crqGet) != capOk) flavor = flChocolate;
            SetBlackWhiteColors(image, flavor);
            break;
        }
        case TWPT_GRAY:
            SetGrayColors(image);
            break;
        case TWPT_RGB:
            image.header.biClrUsed = 0;
            break;
        default: {
            auto palette = std::make_unique<TW_PALETTE8>();
            std::memset(palette.get(), 0, sizeof(TW_PALETTE8));
            if (Call(DG_IMAGE, DAT_PALETTE8, MSG_GET, palette.get()) == TWRC_SUCCESS)
                SetPaletteColors(image, *palette);
            else
                SetGrayColors(image);
            break;
        }
    }

    win::HDC dc = win::GetDC(manager_->WindowHandle());
    bitmap = win::CreateDIBSection(dc, image.header, image.colors.data(), image.colors.size(),
                                   win::DIB_RGB_COLORS, nullptr);
    win::ReleaseDC(manager_->WindowHandle(), dc);
    if (bitmap == nullptr) return FailLocally(TWCC_LOWMEMORY);
    pixelType = info.PixelType;
    return TWRC_SUCCESS;
}

TW_UINT16 TTwainSource::ReceiveStrips(win::HBITMAP& bitmap, TW_INT16 pixelType) {
    auto discard = [&bitmap] {
        if (bitmap != nullptr) win::DeleteObject(bitmap);
        bitmap = nullptr;
    };
    TW_SETUPMEMXFER setup{};
    const TW_UINT16 setupRc = Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup);
    if (setupRc != TWRC_SUCCESS) {
        discard();
        return setupRc;
    }
    const TW_UINT32 preferred = setup.Preferred;
    const brevanto::graphics::Bitmap* image = win::BitmapOf(bitmap);
    win::BITMAP geometry{};
    if (preferred == 0 || image == nullptr ||
        win::GetObject(bitmap, sizeof geometry, &geometry) == 0) {
        discard();
        return FailLocally(TWCC_BADVALUE);
    }
    const std::size_t rowLength = DibRowLength(geometry.bmBitsPixel, geometry.bmWidth);
    if (rowLength != image->stride() || rowLength * geometry.bmHeight > image->bitsSize()) {
        discard();
        return FailLocally(TWCC_BADVALUE);
    }
    StripPlacer placer(static_cast<std::uint8_t*>(geometry.bmBits), rowLength, geometry.bmWidth,
                       geometry.bmHeight, !image->topDown(), pixelType == TWPT_RGB);

    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[preferred]);
    if (!buffer) {
        discard();
        return FailLocally(TWCC_LOWMEMORY);
    }
    TW_IMAGEMEMXFER xfer;
    std::memset(&xfer, 0xFF, sizeof xfer);
    xfer.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
    xfer.Memory.Length = preferred;
    xfer.Memory.TheMem = buffer.get();

    const int total = geometry.bmHeight - 1;
    const win::HBITMAP handle = bitmap;
    auto progress = [this, handle, total](int row) {
        if (manager_->OnAcquireProgress)
            manager_->OnAcquireProgress(this, index_, handle, row, total);
    };
    TW_UINT16 rc = TWRC_SUCCESS;
    do {
        xfer.BytesWritten = 0;
        rc = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        if (rc == TWRC_SUCCESS || rc == TWRC_XFERDONE) {
            // A source may claim more than the buffer holds; only the buffer is read.
            const std::size_t written = std::min<std::size_t>(xfer.BytesWritten, preferred);
            placer.Place(buffer.get(), written, progress);
        }
        xfer.Memory.TheMem = buffer.get();
        xfer.Memory.Length = preferred;
    } while (rc == TWRC_SUCCESS);

    if (rc != TWRC_XFERDONE) discard();
    return rc;
}

void TTwainSource::DeliverMemory(win::HBITMAP bitmap, bool& cancel) {
    if (!manager_->OnTwainAcquire) {
        win::DeleteObject(bitmap);
        return;
    }
    std::unique_ptr<brevanto::graphics::Bitmap> image = win::TakeBitmap(bitmap);
    if (image == nullptr) return;
    manager_->OnTwainAcquire(manager_, index_, image.get(), cancel);
}

void TTwainSource::DeliverNative(TW_HANDLE dib, bool& cancel) {
    const std::size_t size = win::GlobalSize(dib);
    const void* data = win::GlobalLock(dib);
    win::HBITMAP bitmap = nullptr;
    if (data != nullptr) {
        win::HDC dc = win::GetDC(manager_->WindowHandle());
        // Refused when its header, colour table or pixels do not fit the block.
        bitmap = win::CreateBitmapFromPackedDib(dc, data, size);
        win::ReleaseDC(manager_->WindowHandle(), dc);
    }
    if (bitmap != nullptr) {
        DeliverMemory(bitmap, cancel);
    } else {
        localCondition_ = TWCC_BADVALUE;
        ReportError(TWRC_FAILURE);
    }
    win::GlobalUnlock(dib);
    win::GlobalFree(dib);
}

void TTwainSource::DeliverFile(const TW_SETUPFILEXFER& setup, bool& cancel) {
    TW_STR255 fileName;
    std::memcpy(fileName, setup.FileName, sizeof fileName);
    fileName[sizeof fileName - 1] = '\0';  // the source's text may not end inside the field
    if (manager_->OnSourceFileTransfer)
        manager_->OnSourceFileTransfer(this, index_, fileName, formatOf(setup.Format), cancel);
}

}  // namespace twain
