#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/graphics/GraphicErrors.h"

namespace brevanto::graphics {

// No scanner makes a page anywhere near this: A4 at 600 dpi is about 35 million pixels, A3 at
// 600 dpi about 70 million.
inline constexpr std::int64_t kMaxImagePixels = 100'000'000;

// A picture refused for its size before anything was allocated for it.
class EImageTooLarge : public EInvalidGraphic {
  public:
    using EInvalidGraphic::EInvalidGraphic;
};

// EImageTooLarge when width x height is beyond kMaxImagePixels.
void checkImagePixels(std::int64_t width, std::int64_t height);

// EImageTooLarge when a JPEG's frame declares more pixels than its data can hold, or more
// than kMaxImagePixels. Huffman-coded data spend at least one bit on every 8 x 8 block of the
// first component, so dataSize bytes hold at most dataSize * 512 pixels (twice that is
// allowed); arithmetic coding has no such floor and is held to the pixel limit only.
void checkJpegPixels(std::int64_t width, std::int64_t height, std::size_t dataSize,
                     bool arithmetic);

}  // namespace brevanto::graphics
