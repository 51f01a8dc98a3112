#include "twain/Twain.h"

#include <cmath>

std::size_t TwainItemSize(TW_UINT16 itemType) {
    switch (itemType) {
        case TWTY_INT8:
        case TWTY_UINT8:
            return 1;
        case TWTY_INT16:
        case TWTY_UINT16:
        case TWTY_BOOL:
            return 2;
        case TWTY_INT32:
        case TWTY_UINT32:
        case TWTY_FIX32:
            return 4;
        case TWTY_FRAME:
            return 16;
        case TWTY_STR32:
            return 34;
        case TWTY_STR64:
            return 66;
        case TWTY_STR128:
            return 130;
        case TWTY_STR255:
            return 256;
        case TWTY_STR1024:
            return 1026;
        case TWTY_UNI512:
            return 1024;
        default:
            return 0;
    }
}

long double Fix32ToFloat(TW_FIX32 value) {
    return static_cast<long double>(value.Whole) + static_cast<long double>(value.Frac) / 65536.0L;
}

TW_FIX32 FloatToFix32(double value) {
    // Frac is always the positive part above Whole, so -0.25 is Whole -1, Frac 49152.
    const long scaled = std::lround(value * 65536.0);
    TW_FIX32 result{};
    result.Whole = static_cast<TW_INT16>(scaled >> 16);
    result.Frac = static_cast<TW_UINT16>(scaled & 0xFFFF);
    return result;
}
