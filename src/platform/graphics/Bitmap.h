#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/DibTypes.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/PixelFormat.h"

namespace brevanto::graphics {

// A device-independent bitmap, laid out in memory exactly like a Windows DIB section: one
// contiguous block of rows, each padded to a multiple of 4 bytes, stored bottom-up (the first
// row in memory is the bottom row) unless the bitmap was made from a top-down description.
// scanLine(0) is always the top row of the picture. Pixel formats: 1, 4 and 8 bits with a
// palette; 15 bits (5-5-5), 16 bits (5-6-5), 24 bits (blue, green, red) and 32 bits (blue,
// green, red, unused). The bitmap owns its pixel block and palette; copies are deep.
//
// Size limits: width and height at most kMaxDimension, the pixel block at most kMaxPixelBytes.
// Every constructor and loader checks them and throws EInvalidGraphic instead of allocating.
class Bitmap final : public Graphic {
  public:
    static constexpr int kMaxDimension = 1 << 20;
    static constexpr std::size_t kMaxPixelBytes = std::size_t{1} << 31;

    // An empty 0 x 0 bitmap, pf24bit.
    Bitmap();
    // A zero-filled bitmap; the palette formats get a grey ramp of 2, 16 or 256 entries.
    // pfDevice gives pf32bit; pfCustom throws EInvalidGraphicOperation.
    Bitmap(int width, int height, PixelFormat format);
    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;
    ~Bitmap() override;

    // What CreateDIBSection does: a zero-filled bitmap of the header's width, height (its sign
    // chooses bottom-up or top-down storage) and bit count, with the first biClrUsed colours of
    // colors as palette (all 2^bits when biClrUsed is 0 and the format has a palette).
    // biCompression must be kBiRgb, or kBiBitfields with the 5-6-5 or 5-5-5 masks (16 bits) or
    // the standard masks (32 bits) in masks[3]. Throws EInvalidGraphic for anything else,
    // including fewer colours than needed in colors.
    static std::unique_ptr<Bitmap> fromDibHeader(const BitmapInfoHeader& header,
                                                 const RgbQuad* colors, std::size_t colorCount,
                                                 const std::uint32_t* masks = nullptr);

    // A packed DIB in memory (what a native TWAIN transfer hands over, CF_DIB): a
    // BITMAPINFOHEADER or larger (or a 12-byte BITMAPCOREHEADER), bit-field masks when
    // biCompression says so, the colour table, then the pixels. The header, masks, colour table
    // and every pixel row must lie inside [data, data + size); otherwise EInvalidGraphic and
    // nothing is read past the block. The pixels are copied; the result is stored bottom-up
    // whichever order the DIB had.
    static std::unique_ptr<Bitmap> fromPackedDib(const std::uint8_t* data, std::size_t size);

    // The packed DIB of this bitmap: BITMAPINFOHEADER, masks for pf16bit, colour table, rows
    // bottom-up.
    std::vector<std::uint8_t> toPackedDib() const;
    // The header describing this bitmap as toPackedDib writes it.
    BitmapInfoHeader infoHeader() const;

    // Graphic
    int width() const override { return width_; }
    int height() const override { return height_; }
    bool empty() const override { return width_ == 0 || height_ == 0; }
    std::unique_ptr<Graphic> clone() const override;
    // A BMP file image (file header included), read in the file's own pixel format.
    void loadFromBytes(const std::uint8_t* data, std::size_t size) override;
    // A BMP file in this bitmap's own pixel format; EInvalidGraphicOperation when empty.
    std::vector<std::uint8_t> saveToBytes() const override;
    void assignTo(Bitmap& target) const override;

    // Takes the pixels of any graphic (a JPEG picture is decoded).
    void assign(const Graphic& source);

    PixelFormat pixelFormat() const { return format_; }
    // Converts the pixels; see PixelConverter for how colours are mapped to palettes.
    void setPixelFormat(PixelFormat format);
    int bitsPerPixel() const;
    // Resizes to a zero-filled bitmap of the same format and palette.
    void setSize(int width, int height);

    // Palette of the indexed formats; empty for 15 bits and up.
    const std::vector<PaletteEntry>& palette() const { return palette_; }
    // Replaces the palette (at most 2^bits entries for the indexed formats, none otherwise).
    void setPalette(std::vector<PaletteEntry> palette);
    // GetPaletteEntries: copies up to count entries from index start into out and returns how
    // many were copied; 0 when the bitmap has no palette or start is past its end.
    std::size_t getPaletteEntries(std::size_t start, std::size_t count, PaletteEntry* out) const;

    // Row `row` of the picture, row 0 the top one. Throws EInvalidGraphicOperation
    // "Scan line index out of range" outside 0 .. height - 1.
    std::uint8_t* scanLine(int row);
    const std::uint8_t* scanLine(int row) const;
    // Bytes per row in memory: ((bits * width + 31) / 32) * 4.
    std::size_t stride() const { return stride_; }
    // The pixel block as GetObject reports it (bmBits): height rows of stride bytes, first the
    // bottom row unless topDown().
    std::uint8_t* bits() { return pixels_.data(); }
    const std::uint8_t* bits() const { return pixels_.data(); }
    std::size_t bitsSize() const { return pixels_.size(); }
    bool topDown() const { return topDown_; }

    // One pixel's colour (through the palette for indexed formats; an index past the palette
    // reads as black). Throws EInvalidGraphicOperation outside the bitmap.
    RgbColor pixel(int x, int y) const;
    // Sets one pixel; indexed formats take the nearest palette colour.
    void setPixel(int x, int y, RgbColor color);
    // The raw palette index of an indexed bitmap's pixel.
    int pixelIndex(int x, int y) const;
    void setPixelIndex(int x, int y, int index);

    // Resolution in pixels per metre, as stored in BMP files; 0 when unknown.
    std::int32_t xPelsPerMeter() const { return xPelsPerMeter_; }
    std::int32_t yPelsPerMeter() const { return yPelsPerMeter_; }
    void setResolution(std::int32_t xPelsPerMeter, std::int32_t yPelsPerMeter);

    // Row length in bytes for a width and bit count, as Windows pads DIB rows.
    static std::size_t strideFor(int width, int bitsPerPixel);

  private:
    void allocate(int width, int height, PixelFormat format, bool topDown);

    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::pf24bit;
    bool topDown_ = false;
    std::size_t stride_ = 0;
    std::vector<std::uint8_t> pixels_;
    std::vector<PaletteEntry> palette_;
    std::int32_t xPelsPerMeter_ = 0;
    std::int32_t yPelsPerMeter_ = 0;
};

}  // namespace brevanto::graphics
