#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace brevanto::graphics {

class Bitmap;

// The common base of the pictures a Picture can hold (Bitmap, JpegImage). A graphic owns its
// pixels or compressed bytes outright (a JpegImage loaded from a file may leave its bytes in the
// file, see JpegImage); copies are deep. Loading is all-or-nothing: when it
// throws, the graphic is unchanged.
class Graphic {
  public:
    virtual ~Graphic();

    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual bool empty() const = 0;
    virtual std::unique_ptr<Graphic> clone() const = 0;

    // The graphic's file format in memory (a BMP file, a JPEG file).
    virtual void loadFromBytes(const std::uint8_t* data, std::size_t size) = 0;
    virtual std::vector<std::uint8_t> saveToBytes() const = 0;

    // Reads the whole file, then loads its bytes as loadFromBytes does (a JpegImage leaves them
    // in the file instead). Throws EFOpenError when it cannot be read.
    virtual void loadFromFile(const std::filesystem::path& path);
    // Writes saveToBytes() to a temporary file beside the target and renames it into place, so
    // a failure leaves no partial file. Throws EFCreateError.
    void saveToFile(const std::filesystem::path& path) const;

    // Puts this graphic's pixels into target (decoding when needed); target's old content is
    // replaced. Bitmap::assign calls it for any source graphic.
    virtual void assignTo(Bitmap& target) const = 0;

  protected:
    // The largest file loadFromFile reads: no picture we handle comes near it, and it bounds
    // what a stray huge file can cost.
    static std::size_t maxFileBytes();

    Graphic() = default;
    Graphic(const Graphic&) = default;
    Graphic& operator=(const Graphic&) = default;
};

}  // namespace brevanto::graphics
