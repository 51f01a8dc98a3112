#pragma once

#include "platform/graphics/Bitmap.h"

namespace brevanto::bench {

// An A4 page at 300 dpi (2480 x 3508, pf24bit, resolution set) as a scanner delivers it:
// slightly noisy paper with lines of dark text-like blocks, so that a quality-90 JPEG of it
// comes to about 1.4 MB. Different seeds give different pages. Written straight into the
// bitmap's rows: making it costs no memory beyond the bitmap.
graphics::Bitmap makeScannedPage(unsigned seed);

}  // namespace brevanto::bench
