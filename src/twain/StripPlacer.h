#pragma once

// Lays the bytes of memory-transfer strips into a bitmap's pixel block as one continuous run of
// rows of the bitmap's own row length, from the picture's top row down. A strip may end in the
// middle of a row; the next one continues it. Completed RGB rows get their red and blue bytes
// swapped in place. Bytes beyond the last row are dropped: nothing is ever written outside the
// block. The block is borrowed; the placer owns nothing.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace twain {

class StripPlacer {
  public:
    // bits: height rows of stride bytes, the bottom row first when bottomUp. width is in
    // pixels, used for the RGB swap only.
    StripPlacer(std::uint8_t* bits, std::size_t stride, int width, int height, bool bottomUp,
                bool swapRgb);

    // onRowDone gets the picture row (0 = top) each time one is completed.
    void Place(const std::uint8_t* data, std::size_t count,
               const std::function<void(int row)>& onRowDone);

    int RowsDone() const { return row_; }
    bool Full() const { return row_ >= height_; }

  private:
    std::uint8_t* RowStart(int row) const;
    void FinishRow(const std::function<void(int row)>& onRowDone);

    std::uint8_t* bits_;
    std::size_t stride_;
    int width_;
    int height_;
    bool bottomUp_;
    bool swapRgb_;
    int row_ = 0;
    std::size_t filled_ = 0;
};

}  // namespace twain
