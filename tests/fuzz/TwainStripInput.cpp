#include "TwainStripInput.h"

#include <algorithm>
#include <cstring>

namespace fuzz {
namespace {

// Reads little-endian fields; past the end it yields zeros.
class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool atEnd() const { return pos_ >= size_; }

    std::uint32_t take(int bytes) {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t byte = pos_ < size_ ? data_[pos_] : 0;
            value |= byte << (8 * i);
            ++pos_;
        }
        return value;
    }

    std::vector<std::uint8_t> bytes(std::size_t count) {
        const std::size_t start = std::min(pos_, size_);
        const std::size_t n = std::min(count, size_ - start);
        pos_ = start + n;
        return std::vector<std::uint8_t>(data_ + start, data_ + start + n);
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

TW_FIX32 fix32Of(std::uint32_t raw) {
    TW_FIX32 fix;
    std::memcpy(&fix, &raw, sizeof fix);
    return fix;
}

std::uint32_t rawOf(const TW_FIX32& fix) {
    std::uint32_t raw = 0;
    std::memcpy(&raw, &fix, sizeof raw);
    return raw;
}

TW_UINT16 returnCodeOf(std::uint32_t code) {
    switch (code) {
        case 0:
            return TWRC_SUCCESS;
        case 1:
            return TWRC_XFERDONE;
        case 2:
            return TWRC_CANCEL;
        default:
            return TWRC_FAILURE;
    }
}

std::uint32_t codeOf(TW_UINT16 returnCode) {
    switch (returnCode) {
        case TWRC_SUCCESS:
            return 0;
        case TWRC_XFERDONE:
            return 1;
        case TWRC_CANCEL:
            return 2;
        default:
            return 3;
    }
}

constexpr std::uint32_t kUnits = 1;
constexpr std::uint32_t kFlavor = 2;
constexpr std::uint32_t kPalette = 4;

}  // namespace

TwainStripInput unpackTwainStrips(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    TwainStripInput result;
    TW_IMAGEINFO& info = result.info;
    info.ImageWidth = static_cast<TW_INT32>(in.take(4));
    info.ImageLength = static_cast<TW_INT32>(in.take(4));
    info.BitsPerPixel = static_cast<TW_INT16>(in.take(2));
    info.PixelType = static_cast<TW_INT16>(in.take(2));
    info.XResolution = fix32Of(in.take(4));
    info.YResolution = fix32Of(in.take(4));
    const std::uint32_t flags = in.take(1);
    const auto units = static_cast<TW_UINT16>(in.take(2));
    const auto flavor = static_cast<TW_UINT16>(in.take(2));
    if (flags & kUnits) result.units = units;
    if (flags & kFlavor) result.flavor = flavor;
    result.preferred = in.take(4);
    result.laterPreferred = in.take(4);
    if (flags & kPalette) {
        TW_PALETTE8 palette;
        std::memset(&palette, 0, sizeof palette);
        palette.NumColors = static_cast<TW_UINT16>(in.take(2));
        palette.PaletteType = static_cast<TW_UINT16>(in.take(2));
        const std::size_t count = std::min<std::size_t>(palette.NumColors, 256);
        for (std::size_t i = 0; i < count; ++i) {
            TW_ELEMENT8& c = palette.Colors[i];
            c.Index = static_cast<TW_UINT8>(in.take(1));
            c.Channel1 = static_cast<TW_UINT8>(in.take(1));
            c.Channel2 = static_cast<TW_UINT8>(in.take(1));
            c.Channel3 = static_cast<TW_UINT8>(in.take(1));
        }
        result.palette = palette;
    }
    while (!in.atEnd()) {
        TwainStrip strip;
        strip.returnCode = returnCodeOf(in.take(1));
        strip.claimed = in.take(4);
        strip.bytes = in.bytes(in.take(2));
        result.strips.push_back(std::move(strip));
    }
    return result;
}

std::vector<std::uint8_t> packTwainStrips(const TwainStripInput& input) {
    std::vector<std::uint8_t> out;
    const TW_IMAGEINFO& info = input.info;
    put(out, static_cast<std::uint32_t>(info.ImageWidth), 4);
    put(out, static_cast<std::uint32_t>(info.ImageLength), 4);
    put(out, static_cast<std::uint16_t>(info.BitsPerPixel), 2);
    put(out, static_cast<std::uint16_t>(info.PixelType), 2);
    put(out, rawOf(info.XResolution), 4);
    put(out, rawOf(info.YResolution), 4);
    put(out,
        (input.units ? kUnits : 0) | (input.flavor ? kFlavor : 0) | (input.palette ? kPalette : 0),
        1);
    put(out, input.units.value_or(0), 2);
    put(out, input.flavor.value_or(0), 2);
    put(out, input.preferred, 4);
    put(out, input.laterPreferred, 4);
    if (input.palette) {
        const TW_PALETTE8& palette = *input.palette;
        put(out, palette.NumColors, 2);
        put(out, palette.PaletteType, 2);
        for (std::size_t i = 0; i < std::min<std::size_t>(palette.NumColors, 256); ++i) {
            const TW_ELEMENT8& c = palette.Colors[i];
            for (TW_UINT8 v : {c.Index, c.Channel1, c.Channel2, c.Channel3}) put(out, v, 1);
        }
    }
    for (const TwainStrip& strip : input.strips) {
        put(out, codeOf(strip.returnCode), 1);
        put(out, strip.claimed, 4);
        put(out, static_cast<std::uint32_t>(strip.bytes.size()), 2);
        out.insert(out.end(), strip.bytes.begin(), strip.bytes.end());
    }
    return out;
}

}  // namespace fuzz
