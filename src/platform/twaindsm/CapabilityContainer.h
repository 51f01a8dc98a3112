#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/win/WinTypes.h"
#include "twain/Twain.h"

namespace brevanto::twaindsm {

// Capability containers in movable memory, as a source hands them to the application (which
// then owns and frees the block) and as an application hands one in with MSG_SET.
// Items are carried as 32-bit raw values: an integer, or a TW_FIX32 with Whole in the low and
// Frac in the high 16 bits.
class CapabilityContainer final {
  public:
    // Null when memory cannot be had.
    static win::HGLOBAL makeEnumeration(TW_UINT16 itemType, const std::vector<std::uint32_t>& items,
                                        std::uint32_t currentIndex, std::uint32_t defaultIndex);
    static win::HGLOBAL makeOneValue(TW_UINT16 itemType, std::uint32_t item);

    // The value an application's container sets: a one-value's item or an enumeration's
    // current item, of an integer or TW_FIX32 type. Nothing for a bad handle, another
    // container type, a block too small for what it claims, or an index outside its list.
    struct Value {
        TW_UINT16 itemType = 0;
        std::uint32_t raw = 0;
    };
    static std::optional<Value> readSetValue(TW_UINT16 conType, win::HGLOBAL container);

    static std::uint32_t fix32Raw(double value);
    static double fix32Value(std::uint32_t raw);
};

}  // namespace brevanto::twaindsm
