#pragma once

#include <cstdint>
#include <vector>

namespace brevanto::graphics::test {

// libjpeg used directly, as an independent judge of what our classes write and as a maker of
// JPEG kinds we do not write ourselves.

struct LibjpegFacts {
    bool ok = false;
    int width = 0;
    int height = 0;
    int components = 0;
    bool jfif = false;
    bool progressive = false;
    bool ycbcr = false;
    bool adobe = false;  // libjpeg saw an Adobe APP14 segment
    int lumaQuant0 = 0;  // first two entries of quantisation table 0
    int lumaQuant1 = 0;
};

// Reads the header of a JPEG stream; ok is false when libjpeg refuses it.
LibjpegFacts readJpegHeader(const std::vector<std::uint8_t>& data);

// A width x height JPEG of one grey component, or three (RGB input), progressive if asked.
std::vector<std::uint8_t> makeJpeg(int width, int height, int components, bool progressive);

// A JPEG of one colour: one value is grey, three RGB, four CMYK (libjpeg marks CMYK with an
// Adobe segment unless adobeMarker is false; the values are stored as given either way).
std::vector<std::uint8_t> makeSolidJpeg(int width, int height,
                                        const std::vector<std::uint8_t>& pixel,
                                        bool adobeMarker = true);

}  // namespace brevanto::graphics::test
