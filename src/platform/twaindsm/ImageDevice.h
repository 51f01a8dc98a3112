#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/twaindsm/PageCanvas.h"
#include "twain/Twain.h"

namespace brevanto::twaindsm {

// What a scan is made with, as the source's dialog and capabilities change it.
struct ScanParameters {
    TW_INT16 pixelType = TWPT_RGB;
    int dpi = 150;
    TW_UINT16 units = TWUN_INCHES;
    TW_UINT16 pixelFlavor = TWPF_CHOCOLATE;
    int sheets = 1;  // sheets in the feeder when "Scan" is pressed
};

// The geometry of one page, known before its first byte is read.
struct ImageGeometry {
    int width = 0;
    int height = 0;
    TW_INT16 pixelType = TWPT_RGB;
    int bitsPerPixel = 24;
    std::size_t rowBytes = 0;  // rows are padded to a multiple of 4 bytes
    int dpi = 0;

    std::size_t imageBytes() const { return rowBytes * static_cast<std::size_t>(height); }
};

// How one read of a page ended. Failed carries a TWAIN condition code.
enum class ReadOutcome { More, Done, Jammed, Cancelled, Failed };

struct ReadResult {
    std::size_t bytes = 0;
    ReadOutcome outcome = ReadOutcome::More;
    TW_UINT16 condition = TWCC_SUCCESS;
};

// One sheet being scanned: its bytes, top row first, in the order ScanRaster describes,
// handed out in pieces (one memory strip each). A reader that reported Done, Jammed or
// Cancelled hands out nothing more.
class PageReader {
  public:
    virtual ~PageReader() = default;
    virtual const ImageGeometry& geometry() const = 0;
    // What the pixel values mean (see ScanRaster::palette).
    virtual const std::vector<Rgb>& palette() const = 0;
    virtual ReadResult read(std::uint8_t* out, std::size_t capacity) = 0;
    // How a sheet that ended before any of it could be transferred ended (a device that read
    // it ahead knows before the transfer starts); nothing for a sheet there is to transfer.
    virtual std::optional<ReadResult> failure() const { return std::nullopt; }
};

// The source's own user interface while it is enabled. Its scan action stores the choices in
// the device and starts the scan; its cancel action asks for the source to be closed. The
// source owns the dialog and destroys it when it is disabled; no action is called after that.
class SourceDialog {
  public:
    struct Actions {
        std::function<void()> scan;
        std::function<void()> cancel;
    };
    virtual ~SourceDialog() = default;
    // While a scan runs the controls are disabled.
    virtual void setBusy(bool busy) = 0;
};

// A scanner behind a TWAIN source: the virtual scanner or a SANE device. The source
// (DataSource) speaks the protocol; the device only knows its settings and makes pages.
class ImageDevice {
  public:
    virtual ~ImageDevice() = default;

    virtual const std::string& productName() const = 0;
    // The current settings; changed by the dialog and by capability negotiation.
    virtual ScanParameters& parameters() = 0;
    // The settings a freshly opened source starts with (and MSG_RESET returns to).
    virtual const ScanParameters& defaults() const = 0;
    virtual std::vector<TW_INT16> pixelTypes() const = 0;
    virtual std::vector<int> resolutions() const = 0;
    // Back to the defaults, page numbers from 1 again (when the source is opened).
    virtual void reset() = 0;
    // What the pixel values of a page scanned with the current settings mean (see
    // ScanRaster::palette).
    virtual std::vector<Rgb> palette() const = 0;
    // The geometry of a page scanned with the current settings.
    virtual ImageGeometry pageGeometry() const = 0;
    // Starts scanning sheet `sheet` (1-based) of the current scan with the current settings;
    // each call takes the next page number of the session.
    virtual std::unique_ptr<PageReader> feedSheet(int sheet) = 0;

    // MSG_OPENDS: TWCC_SUCCESS when the device is ready for a session (with the defaults),
    // else why not. close() ends the session.
    virtual TW_UINT16 open() {
        reset();
        return TWCC_SUCCESS;
    }
    virtual void close() {}
    // The device's own dialog, shown at once; requires a running Qt widget application.
    virtual std::unique_ptr<SourceDialog> openDialog(bool modal, SourceDialog::Actions actions) = 0;

    // A device that reads each sheet whole before it is transferred (SANE) says so; then the
    // calls below take the place of the feeder count in parameters().sheets, and feedSheet
    // hands out the sheets read, in order.
    static constexpr int kMoreToCome = -1;
    virtual bool readsAhead() const { return false; }
    // Starts reading the feeder with the current settings. sheetRead runs on the GUI thread
    // once the first sheet is complete, or reading ended without one.
    virtual void startReading(std::function<void()> sheetRead) { (void)sheetRead; }
    // Sheets read and not yet fed: waits, keeping the windows alive, while none is ready and
    // one is still being read; kMoreToCome when more may follow those ready.
    virtual int sheetsReady() { return 0; }
    // Stops reading and drops what was read and not fed.
    virtual void stopReading() {}
};

}  // namespace brevanto::twaindsm
