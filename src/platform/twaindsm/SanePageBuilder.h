#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <sane/sane.h>

#include "platform/twaindsm/ScanRaster.h"

namespace brevanto::twaindsm {

// Turns the frames SANE hands over for one image into a page as a TWAIN source transfers it
// (ScanRaster: top row first, rows padded to 4 bytes). Grey of depth 1 becomes black and white
// (SANE's 1 is black; the page follows the pixel flavor asked for), grey of depth 8 or 16
// becomes 8-bit grey, and one RGB frame or three single-colour frames (three-pass scanners)
// become 24-bit colour; 16-bit samples keep their high byte. Rows are cut at the width SANE
// gives; padding at their end is dropped. An image of unknown length (lines -1, hand-held or
// feeder scanners) grows until its last frame ends.
//
// Nothing SANE reports is trusted: parameters that make no sense, frames that do not fit the
// first one and pages beyond kMaxPageBytes are refused.
class SanePageBuilder final {
  public:
    // Pages larger than this (after conversion) are refused: a page is held in memory whole.
    static constexpr std::size_t kMaxPageBytes = std::size_t{1} << 30;

    explicit SanePageBuilder(TW_UINT16 pixelFlavor = TWPF_CHOCOLATE);

    // The parameters SANE reports for the frame after sane_start; false when they are not a
    // frame this builder can take.
    bool beginFrame(const SANE_Parameters& parameters);
    // Bytes of the frame as sane_read gave them, in pieces of any size; false when the page
    // would grow too large.
    bool append(const std::uint8_t* data, std::size_t count);
    // The frame's end (SANE_STATUS_EOF); false when it held no whole row.
    bool endFrame();
    // Whether the last frame of the image has ended.
    bool complete() const { return complete_; }
    // Rows converted so far, and the rows expected (0 while unknown).
    int rowsDone() const { return rowsInFrame_; }
    int rowsExpected() const { return expectedRows_; }

    // The page; only once complete().
    ScanRaster take();

  private:
    void convertRow(const std::uint8_t* source, std::uint8_t* target) const;
    std::uint8_t* targetRow(int row);

    TW_UINT16 flavor_;
    SANE_Parameters frame_{};
    bool inFrame_ = false;
    bool complete_ = false;
    int frames_ = 0;
    // Which channel of an RGB page a single-colour frame fills (-1: the frame is whole).
    int channel_ = -1;
    std::size_t sourceRowBytes_ = 0;
    std::vector<std::uint8_t> partial_;
    int rowsInFrame_ = 0;
    int expectedRows_ = 0;
    ScanRaster page_;
};

}  // namespace brevanto::twaindsm
