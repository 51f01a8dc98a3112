#pragma once

namespace brevanto::graphics {

// How a bitmap stores one pixel. pfDevice stands for the display's own format (32 bits here);
// pfCustom is a layout no other value names and cannot be chosen as a conversion target.
enum class PixelFormat {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};

// Bits per pixel of a storable format: 1, 4, 8, 16 (pf15bit and pf16bit), 24 or 32; pfDevice
// counts as 32; pfCustom gives 0.
int bitsPerPixelOf(PixelFormat format);

// True for the palette formats pf1bit, pf4bit and pf8bit.
bool isIndexed(PixelFormat format);

}  // namespace brevanto::graphics
