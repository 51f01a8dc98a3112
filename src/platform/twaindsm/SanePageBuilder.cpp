#include "platform/twaindsm/SanePageBuilder.h"

#include <algorithm>
#include <cstring>

namespace brevanto::twaindsm {

namespace {

constexpr int kMaxSide = 1 << 17;

int channelsOf(SANE_Frame format) { return format == SANE_FRAME_RGB ? 3 : 1; }

int channelOf(SANE_Frame format) {
    switch (format) {
        case SANE_FRAME_RED:
            return 0;
        case SANE_FRAME_GREEN:
            return 1;
        case SANE_FRAME_BLUE:
            return 2;
        default:
            return -1;
    }
}

// One colour sample of a row as 8 bits: depth 1 gives 255 for a set bit (full intensity; only
// grey line art has the set bit black), 16 keeps the high byte of the sample in the machine's
// byte order, as SANE sends it.
std::uint8_t sampleAt(const std::uint8_t* row, std::size_t index, int depth) {
    switch (depth) {
        case 1:
            return ((row[index / 8] >> (7 - index % 8)) & 1) ? 255 : 0;
        case 16: {
            std::uint16_t value = 0;
            std::memcpy(&value, row + 2 * index, sizeof value);
            return static_cast<std::uint8_t>(value >> 8);
        }
        default:
            return row[index];
    }
}

}  // namespace

SanePageBuilder::SanePageBuilder(TW_UINT16 pixelFlavor) : flavor_(pixelFlavor) {}

bool SanePageBuilder::beginFrame(const SANE_Parameters& p) {
    if (inFrame_ || complete_) return false;
    const bool single = p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB;
    const int channel = channelOf(p.format);
    if (!single && channel < 0) return false;
    if (p.depth != 1 && p.depth != 8 && p.depth != 16) return false;
    if (p.pixels_per_line <= 0 || p.pixels_per_line > kMaxSide) return false;
    if (p.lines == 0 || p.lines < -1 || p.lines > kMaxSide) return false;
    const std::size_t needed =
        (static_cast<std::size_t>(p.pixels_per_line) * channelsOf(p.format) * p.depth + 7) / 8;
    if (p.bytes_per_line <= 0 || static_cast<std::size_t>(p.bytes_per_line) < needed) return false;
    // A grey or RGB frame is the whole image; single colours come in up to three frames.
    if (single && (frames_ != 0 || !p.last_frame)) return false;
    if (!single && frames_ >= 3) return false;
    if (frames_ > 0) {
        if (channel < 0 || p.pixels_per_line != page_.width) return false;
        if (p.lines != -1 && expectedRows_ != 0 && p.lines != expectedRows_) return false;
    } else {
        page_ = ScanRaster{};
        page_.width = p.pixels_per_line;
        page_.pixelType = channel >= 0 || p.format == SANE_FRAME_RGB
                              ? TWPT_RGB
                              : (p.depth == 1 ? TWPT_BW : TWPT_GRAY);
        page_.bitsPerPixel = bitsPerPixelOf(page_.pixelType);
        page_.rowBytes = rowBytesFor(page_.width, page_.bitsPerPixel);
        page_.palette = paletteFor(page_.pixelType, flavor_);
        expectedRows_ = p.lines > 0 ? p.lines : 0;
        if (expectedRows_ > 0) {
            if (page_.rowBytes * static_cast<std::size_t>(expectedRows_) > kMaxPageBytes)
                return false;
            page_.bytes.reserve(page_.rowBytes * static_cast<std::size_t>(expectedRows_));
        }
    }
    frame_ = p;
    channel_ = channel;
    sourceRowBytes_ = static_cast<std::size_t>(p.bytes_per_line);
    partial_.clear();
    partial_.reserve(sourceRowBytes_);
    rowsInFrame_ = 0;
    inFrame_ = true;
    return true;
}

std::uint8_t* SanePageBuilder::targetRow(int row) {
    const std::size_t end = page_.rowBytes * (static_cast<std::size_t>(row) + 1);
    if (page_.bytes.size() < end) {
        // Only the first frame adds rows; later colour frames fill the rows it made.
        if (frames_ > 0 || end > kMaxPageBytes) return nullptr;
        page_.bytes.resize(end, 0);
        page_.height = row + 1;
    }
    return page_.bytes.data() + page_.rowBytes * static_cast<std::size_t>(row);
}

bool SanePageBuilder::append(const std::uint8_t* data, std::size_t count) {
    if (!inFrame_) return false;
    while (count > 0) {
        // Bytes past the rows the frame announced are read and dropped.
        const bool full = expectedRows_ > 0 && rowsInFrame_ >= expectedRows_;
        const std::size_t take = std::min(count, sourceRowBytes_ - partial_.size());
        const std::uint8_t* row = nullptr;
        if (partial_.empty() && take == sourceRowBytes_) {
            row = data;  // a whole row in place: no copy
        } else {
            partial_.insert(partial_.end(), data, data + take);
            if (partial_.size() == sourceRowBytes_) row = partial_.data();
        }
        data += take;
        count -= take;
        if (!row) continue;
        if (!full) {
            std::uint8_t* target = targetRow(rowsInFrame_);
            if (!target) return false;
            convertRow(row, target);
            ++rowsInFrame_;
        }
        partial_.clear();
    }
    return true;
}

void SanePageBuilder::convertRow(const std::uint8_t* source, std::uint8_t* target) const {
    const int width = page_.width;
    const int depth = frame_.depth;
    if (channel_ >= 0) {
        for (int x = 0; x < width; ++x)
            target[3 * x + channel_] = sampleAt(source, static_cast<std::size_t>(x), depth);
        return;
    }
    switch (page_.pixelType) {
        case TWPT_BW: {
            const std::size_t bytes = (static_cast<std::size_t>(width) + 7) / 8;
            // SANE's set bit is black; chocolate's 0 is black.
            const bool invert = flavor_ != TWPF_VANILLA;
            for (std::size_t i = 0; i < bytes; ++i)
                target[i] = static_cast<std::uint8_t>(invert ? ~source[i] : source[i]);
            if (width % 8 != 0)
                target[bytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - width % 8));
            return;
        }
        case TWPT_GRAY:
            if (depth == 8) {
                std::memcpy(target, source, static_cast<std::size_t>(width));
            } else {
                for (int x = 0; x < width; ++x)
                    target[x] = sampleAt(source, static_cast<std::size_t>(x), 16);
            }
            return;
        default: {
            const std::size_t samples = 3 * static_cast<std::size_t>(width);
            if (depth == 8) {
                std::memcpy(target, source, samples);
            } else {
                for (std::size_t i = 0; i < samples; ++i) target[i] = sampleAt(source, i, depth);
            }
            return;
        }
    }
}

bool SanePageBuilder::endFrame() {
    if (!inFrame_) return false;
    inFrame_ = false;
    // A last, incomplete row is dropped.
    partial_.clear();
    if (rowsInFrame_ == 0) return false;
    if (frames_ == 0) {
        // A frame that ended short of what it announced gives the rows it had.
        page_.height = rowsInFrame_;
        page_.bytes.resize(page_.rowBytes * static_cast<std::size_t>(rowsInFrame_));
        expectedRows_ = rowsInFrame_;
    }
    ++frames_;
    if (frame_.last_frame) complete_ = true;
    return true;
}

ScanRaster SanePageBuilder::take() {
    if (!complete_) return {};
    complete_ = false;
    frames_ = 0;
    return std::move(page_);
}

}  // namespace brevanto::twaindsm
