#include "platform/graphics/JpegStructure.h"

#include <cstring>
#include <string>

#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/ImageLimits.h"

namespace brevanto::graphics {

namespace {

constexpr std::uint8_t kSoi = 0xD8;
constexpr std::uint8_t kEoi = 0xD9;
constexpr std::uint8_t kSos = 0xDA;
constexpr std::uint8_t kApp0 = 0xE0;
constexpr std::uint8_t kApp14 = 0xEE;
constexpr unsigned kAdobeSegmentLength = 12;  // "Adobe", version, two flag words, transform

[[noreturn]] void fail(const char* detail) {
    throw EJPEG(std::string("JPEG image is not valid: ") + detail);
}

bool isStandalone(std::uint8_t marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

bool isStartOfFrame(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

unsigned readU16(const std::uint8_t* p) { return (unsigned{p[0]} << 8) | p[1]; }

// Whether 0xFF followed by this byte ends entropy-coded data: anything but a stuffed zero, a
// restart marker or a fill byte (which belongs to the marker after it).
bool endsEntropyData(std::uint8_t next) {
    return next != 0x00 && (next & 0xF8) != 0xD0 && next != 0xFF;
}

// Position of the marker that ends the entropy-coded data starting at pos, or size: the first
// 0xFF (before the last byte) followed by a byte that ends the data. Walking the pairs one by
// one finds the same position, as the second byte of a skipped pair is never 0xFF.
//
// A page's scan data hold a stuffed zero every few dozen bytes, so blocks of 64 positions are
// first tested together for any 0xFF followed by a non-zero byte (16 lanes at a time); only
// such a block, rare in practice, is looked at byte by byte.
std::size_t skipEntropyData(const std::uint8_t* data, std::size_t size, std::size_t pos) {
    using Lanes = std::uint8_t __attribute__((vector_size(16)));
    constexpr std::size_t kBlock = 64;
    while (pos + kBlock < size) {  // the block's last pair ends at pos + kBlock
        Lanes found{};
        for (std::size_t i = 0; i < kBlock; i += sizeof(Lanes)) {
            Lanes here;
            Lanes next;
            std::memcpy(&here, data + pos + i, sizeof here);
            std::memcpy(&next, data + pos + i + 1, sizeof next);
            found |= reinterpret_cast<Lanes>((here == 0xFF) & (next != 0x00));
        }
        std::uint64_t halves[2];
        std::memcpy(halves, &found, sizeof halves);
        if ((halves[0] | halves[1]) != 0) {
            for (const std::size_t end = pos + kBlock; pos < end; ++pos) {
                if (data[pos] == 0xFF && endsEntropyData(data[pos + 1])) return pos;
            }
        } else {
            pos += kBlock;
        }
    }
    for (; pos + 1 < size; ++pos) {
        if (data[pos] == 0xFF && endsEntropyData(data[pos + 1])) return pos;
    }
    return size;
}

}  // namespace

JpegStructure inspectJpeg(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < 2 || data[0] != 0xFF || data[1] != kSoi)
        fail("the data do not start with a JPEG start-of-image marker");
    JpegStructure s;
    bool sawFrame = false;
    bool sawScan = false;
    std::size_t pos = 2;
    for (;;) {
        if (pos >= size) fail("the data end before the end-of-image marker");
        if (data[pos] != 0xFF) fail("a marker was expected");
        while (pos < size && data[pos] == 0xFF) ++pos;
        if (pos >= size) fail("the data end before the end-of-image marker");
        const std::uint8_t marker = data[pos++];
        if (marker == kEoi) break;
        if (marker == kSoi) fail("a second start-of-image marker was found");
        if (isStandalone(marker)) continue;
        if (size - pos < 2) fail("a segment is truncated");
        const unsigned length = readU16(data + pos);
        if (length < 2 || length > size - pos) fail("a segment is truncated");
        const std::uint8_t* body = data + pos + 2;
        const unsigned bodyLength = length - 2;
        if (isStartOfFrame(marker)) {
            if (sawFrame) fail("the image has more than one frame header");
            if (bodyLength < 6) fail("the frame header is truncated");
            s.height = static_cast<int>(readU16(body + 1));
            s.width = static_cast<int>(readU16(body + 3));
            s.components = body[5];
            if (bodyLength != 6 + 3u * static_cast<unsigned>(s.components))
                fail("the frame header has the wrong length");
            if (s.width == 0 || s.height == 0) fail("the width or height is 0");
            if (s.components == 0) fail("the image has no colour components");
            s.baseline = marker == 0xC0;
            s.progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
            s.arithmetic = marker >= 0xC9;
            sawFrame = true;
            // Refused here, before the scan data are walked or anything is allocated.
            checkJpegPixels(s.width, s.height, size, s.arithmetic);
        } else if (marker == kApp0) {
            if (bodyLength >= 5 && body[0] == 'J' && body[1] == 'F' && body[2] == 'I' &&
                body[3] == 'F' && body[4] == 0)
                s.jfif = true;
        } else if (marker == kApp14) {
            if (bodyLength >= kAdobeSegmentLength && body[0] == 'A' && body[1] == 'd' &&
                body[2] == 'o' && body[3] == 'b' && body[4] == 'e')
                s.adobe = true;
        }
        pos += length;
        if (marker == kSos) {
            if (!sawFrame) fail("a scan comes before the frame header");
            sawScan = true;
            pos = skipEntropyData(data, size, pos);
        }
    }
    if (!sawFrame) fail("the frame header is missing");
    if (!sawScan) fail("the image has no scan data");
    return s;
}

}  // namespace brevanto::graphics
