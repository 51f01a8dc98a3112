#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// How one read of a page ended.
enum class ReadOutcome { More, Done, Jammed, Cancelled };

struct ReadResult {
    std::size_t bytes = 0;
    ReadOutcome outcome = ReadOutcome::More;
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
};

// A scanner behind a TWAIN source: the virtual scanner, or later a SANE device. The source
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
};

}  // namespace brevanto::twaindsm
