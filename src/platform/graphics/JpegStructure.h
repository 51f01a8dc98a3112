#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace brevanto::graphics {

// What the marker structure of a JPEG stream says about it, found without decoding.
struct JpegStructure {
    int width = 0;
    int height = 0;
    int components = 0;
    bool baseline = false;     // SOF0
    bool progressive = false;  // SOF2, SOF6, SOF10, SOF14
    bool arithmetic = false;   // SOF9 to SOF15: arithmetic-coded
    bool jfif = false;         // an APP0 "JFIF" segment
    // An APP14 "Adobe" segment long enough to hold its colour transform (12 bytes, the length
    // libjpeg needs to act on it): Adobe software stores four-component data inverted.
    bool adobe = false;
};

// Walks the markers from SOI to EOI, checking every segment length against size and skipping
// the entropy-coded data after each SOS. Throws EJPEG when the data do not start with SOI,
// a segment runs past the end, the frame header is missing, repeated or malformed (zero width
// or height, wrong length), a scan comes before the frame or is missing, or no EOI follows. Bytes
// after EOI are allowed. Throws EImageTooLarge (before anything is decoded) when the frame
// declares more pixels than the data can hold or than any scanned page has.
JpegStructure inspectJpeg(const std::uint8_t* data, std::size_t size);

// Reads count bytes at offset of a stream into out, whole, or throws.
using JpegReader = std::function<void(std::size_t offset, std::uint8_t* out, std::size_t count)>;

// The same walk, with the same results and errors, over a stream of size bytes read through
// read in windows of about window bytes (a file, without holding it whole in memory); a
// segment is always read whole.
JpegStructure inspectJpeg(std::size_t size, const JpegReader& read,
                          std::size_t window = std::size_t{64} << 10);

}  // namespace brevanto::graphics
