#pragma once

// One memory-mode image as a scanner driver hands it to the acquisition component, packed into
// the bytes a fuzzer varies. Shared by the fuzzing target, which unpacks them, and the seed
// writer, which packs the first examples.
//
// Layout, little-endian: the image information (width i32, length i32, bits per pixel i16,
// pixel type i16, x and y resolution as raw TW_FIX32 u32 each), a flags byte (1: ICAP_UNITS
// answered, 2: ICAP_PIXELFLAVOR answered, 4: DAT_PALETTE8 answered), units u16, flavor u16,
// the two DAT_SETUPMEMXFER answers (the component asks twice; a driver may change its mind)
// u32 each, then when flag 4 is set the palette's NumColors u16, PaletteType u16 and four bytes
// per colour for min(NumColors, 256) colours. The rest are strips: return code u8 (0 success,
// 1 transfer done, 2 cancel, else failure), the BytesWritten the driver claims u32, the length
// of the bytes it copies into the buffer u16, then those bytes. Whatever is missing at the end
// reads as zeros; bytes past a strip's stated length start the next strip.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "twain/Twain.h"

namespace fuzz {

struct TwainStrip {
    TW_UINT16 returnCode = TWRC_SUCCESS;
    TW_UINT32 claimed = 0;
    std::vector<std::uint8_t> bytes;
};

struct TwainStripInput {
    TW_IMAGEINFO info{};
    std::optional<TW_UINT16> units;
    std::optional<TW_UINT16> flavor;
    TW_UINT32 preferred = 0;       // answer to the first DAT_SETUPMEMXFER
    TW_UINT32 laterPreferred = 0;  // and to the second
    std::optional<TW_PALETTE8> palette;
    std::vector<TwainStrip> strips;
};

TwainStripInput unpackTwainStrips(const std::uint8_t* data, std::size_t size);
std::vector<std::uint8_t> packTwainStrips(const TwainStripInput& input);

}  // namespace fuzz
