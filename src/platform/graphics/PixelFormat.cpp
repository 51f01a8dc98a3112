#include "platform/graphics/PixelFormat.h"

namespace brevanto::graphics {

int bitsPerPixelOf(PixelFormat format) {
    switch (format) {
        case PixelFormat::pf1bit:
            return 1;
        case PixelFormat::pf4bit:
            return 4;
        case PixelFormat::pf8bit:
            return 8;
        case PixelFormat::pf15bit:
        case PixelFormat::pf16bit:
            return 16;
        case PixelFormat::pf24bit:
            return 24;
        case PixelFormat::pfDevice:
        case PixelFormat::pf32bit:
            return 32;
        case PixelFormat::pfCustom:
            break;
    }
    return 0;
}

bool isIndexed(PixelFormat format) {
    return format == PixelFormat::pf1bit || format == PixelFormat::pf4bit ||
           format == PixelFormat::pf8bit;
}

}  // namespace brevanto::graphics
