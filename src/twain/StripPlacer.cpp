#include "twain/StripPlacer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace twain {

StripPlacer::StripPlacer(std::uint8_t* bits, std::size_t stride, int width, int height,
                         bool bottomUp, bool swapRgb)
    : bits_(bits),
      stride_(stride),
      width_(std::max(width, 0)),
      height_(bits == nullptr || stride == 0 ? 0 : std::max(height, 0)),
      bottomUp_(bottomUp),
      swapRgb_(swapRgb) {}

std::uint8_t* StripPlacer::RowStart(int row) const {
    const int memoryRow = bottomUp_ ? height_ - 1 - row : row;
    return bits_ + static_cast<std::size_t>(memoryRow) * stride_;
}

void StripPlacer::Place(const std::uint8_t* data, std::size_t count,
                        const std::function<void(int row)>& onRowDone) {
    while (count > 0 && !Full()) {
        const std::size_t take = std::min(stride_ - filled_, count);
        std::memcpy(RowStart(row_) + filled_, data, take);
        data += take;
        count -= take;
        filled_ += take;
        if (filled_ == stride_) FinishRow(onRowDone);
    }
}

void StripPlacer::FinishRow(const std::function<void(int row)>& onRowDone) {
    if (swapRgb_) {
        // Only whole three-byte pixels inside the row are swapped, whatever the bit depth.
        std::uint8_t* pixel = RowStart(row_);
        const std::size_t pixels = std::min<std::size_t>(width_, stride_ / 3);
        for (std::size_t i = 0; i < pixels; ++i, pixel += 3) std::swap(pixel[0], pixel[2]);
    }
    const int done = row_;
    ++row_;
    filled_ = 0;
    if (onRowDone) onRowDone(done);
}

}  // namespace twain
