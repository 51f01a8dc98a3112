#include "platform/graphics/JpegStructure.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

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

namespace {

// The stream in memory, whole.
class MemorySource {
  public:
    MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t size() const { return size_; }
    // Makes bytes [pos, pos + count) readable through at(); they all lie inside the stream.
    void need(std::size_t, std::size_t) {}
    const std::uint8_t* at(std::size_t pos) const { return data_ + pos; }
    std::size_t skipEntropy(std::size_t pos) { return skipEntropyData(data_, size_, pos); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// The stream read in windows of a few dozen kilobytes that stay in the cache, so checking a
// large file costs little more than reading it.
class WindowSource {
  public:
    WindowSource(std::size_t size, const JpegReader& read, std::size_t window)
        : size_(size), window_(std::max<std::size_t>(window, 2)), read_(read) {}
    std::size_t size() const { return size_; }
    void need(std::size_t pos, std::size_t count) {
        if (pos >= base_ && pos + count <= base_ + filled_) return;
        // A segment is at most 65535 bytes: the window grows to hold one whole.
        const std::size_t want = std::min(size_ - pos, std::max(count, window_));
        if (buffer_.size() < want) buffer_.resize(want);
        read_(pos, buffer_.data(), want);
        base_ = pos;
        filled_ = want;
    }
    const std::uint8_t* at(std::size_t pos) const { return buffer_.data() + (pos - base_); }
    std::size_t skipEntropy(std::size_t pos) {
        for (;;) {
            need(pos, std::min(window_, size_ - pos));
            const std::size_t end = base_ + filled_;
            const std::size_t found = skipEntropyData(buffer_.data(), filled_, pos - base_);
            if (found < filled_) return base_ + found;
            if (end >= size_) return size_;
            // The window's last byte starts a pair that reaches into the next window.
            pos = end - 1;
        }
    }

  private:
    std::size_t size_;
    std::size_t window_;
    const JpegReader& read_;
    std::vector<std::uint8_t> buffer_;
    std::size_t base_ = 0;
    std::size_t filled_ = 0;
};

template <class Source>
JpegStructure walk(Source& src) {
    const std::size_t size = src.size();
    if (size < 2) fail("the data do not start with a JPEG start-of-image marker");
    src.need(0, 2);
    if (src.at(0)[0] != 0xFF || src.at(0)[1] != kSoi)
        fail("the data do not start with a JPEG start-of-image marker");
    JpegStructure s;
    bool sawFrame = false;
    bool sawScan = false;
    std::size_t pos = 2;
    for (;;) {
        if (pos >= size) fail("the data end before the end-of-image marker");
        src.need(pos, 1);
        if (*src.at(pos) != 0xFF) fail("a marker was expected");
        while (pos < size) {
            src.need(pos, 1);
            if (*src.at(pos) != 0xFF) break;
            ++pos;
        }
        if (pos >= size) fail("the data end before the end-of-image marker");
        src.need(pos, 1);
        const std::uint8_t marker = *src.at(pos++);
        if (marker == kEoi) break;
        if (marker == kSoi) fail("a second start-of-image marker was found");
        if (isStandalone(marker)) continue;
        if (size - pos < 2) fail("a segment is truncated");
        src.need(pos, 2);
        const unsigned length = readU16(src.at(pos));
        if (length < 2 || length > size - pos) fail("a segment is truncated");
        src.need(pos, length);
        const std::uint8_t* body = src.at(pos) + 2;
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
            pos = src.skipEntropy(pos);
        }
    }
    if (!sawFrame) fail("the frame header is missing");
    if (!sawScan) fail("the image has no scan data");
    return s;
}

}  // namespace

JpegStructure inspectJpeg(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) fail("the data do not start with a JPEG start-of-image marker");
    MemorySource source(data, size);
    return walk(source);
}

JpegStructure inspectJpeg(std::size_t size, const JpegReader& read, std::size_t window) {
    WindowSource source(size, read, window);
    return walk(source);
}

}  // namespace brevanto::graphics
