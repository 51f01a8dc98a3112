#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"

namespace brevanto::graphics {

class FileRegion;
struct JpegStructure;

// A JPEG picture. Loaded from a file or bytes, it keeps exactly those compressed bytes and
// saves them unchanged; width, height and components come from the stream's frame header, and
// the pixels are decoded only when someone asks for a bitmap. Assigned from a bitmap, it holds
// a 24-bit copy of the pixels and compresses them (baseline JFIF, three components, at
// compressionQuality()) the first time its bytes are needed. It owns the pixel copy; the
// compressed bytes are never changed once held, so copies of the picture, and whoever asks for
// sharedData(), share them instead of copying them.
//
// Loaded from a regular file, it checks the file's bytes as loadFromBytes does but leaves them
// in the file: it keeps the open file (a FileRegion, shared by its copies) and reads the bytes
// again, checking the file is unchanged, when they are asked for (data(), sharedData(),
// saveToBytes(), decoding). A document can then have the file system copy them (sharedFile()),
// and a page costs no memory of its own until then.
class JpegImage final : public Graphic {
  public:
    static constexpr int kDefaultQuality = 90;

    JpegImage();
    JpegImage(const JpegImage& other);
    JpegImage& operator=(const JpegImage& other);
    JpegImage(JpegImage&& other) noexcept;
    JpegImage& operator=(JpegImage&& other) noexcept;
    ~JpegImage() override;

    // Graphic
    int width() const override;
    int height() const override;
    bool empty() const override;
    std::unique_ptr<Graphic> clone() const override;
    // Takes a JPEG stream after checking its marker structure (EJPEG when it is not a whole,
    // well-formed stream); the bytes are kept as given.
    void loadFromBytes(const std::uint8_t* data, std::size_t size) override;
    // The same check on the file's bytes, which stay in the file (see above); pipes, devices and
    // files past FileRegion::kMaxOpen open ones are held in memory. EFOpenError when the file
    // cannot be read, or, later, when it is no longer the file loaded.
    void loadFromFile(const std::filesystem::path& path) override;
    // The compressed bytes (see data()); EInvalidGraphicOperation when empty.
    std::vector<std::uint8_t> saveToBytes() const override;
    // Decodes into target (8-bit grey for one-component JPEGs, otherwise 24-bit).
    void assignTo(Bitmap& target) const override;

    // From a Bitmap: keep its pixels to compress; from a JpegImage: copy it. Anything else, or
    // an empty bitmap, empties this picture.
    void assign(const Graphic& source);

    // The compressed bytes, compressing the held pixels first when there are no bytes yet.
    // Empty for an empty picture. Throws what compression throws.
    const std::vector<std::uint8_t>& data() const;
    // The same bytes, shared: they stay alive and unchanged for as long as the caller holds
    // them, whatever happens to this picture.
    std::shared_ptr<const std::vector<std::uint8_t>> sharedData() const;
    // The file the compressed bytes were loaded from, while they are only there (null once they
    // are in memory, or for a picture not loaded from a file).
    std::shared_ptr<const FileRegion> sharedFile() const;
    // Compresses the held pixels now (a no-op when there are bytes already).
    void compress();

    // Colour components in the stream (3 for what we write); 0 for an empty picture.
    int components() const;
    bool progressive() const;
    // Whether the stream carries an Adobe APP14 segment (never for what we write), which marks
    // four-component data as stored inverted.
    bool adobeMarker() const;

    int compressionQuality() const { return quality_; }
    void setCompressionQuality(int quality);

  private:
    void compressIfNeeded() const;
    // Reads the bytes of file_ into data_ (which then replaces file_).
    void materialize() const;
    // Holds bytes that inspectJpeg found to be s.
    void take(std::vector<std::uint8_t>&& bytes, const JpegStructure& s) const;
    void setHeader(const JpegStructure& s) const;
    bool hasBytes() const { return data_ != nullptr || file_ != nullptr; }

    int quality_ = kDefaultQuality;
    // Compressed stream (null when there is none; never empty when set) and what its header
    // says; filled lazily from pixels_.
    mutable std::shared_ptr<const std::vector<std::uint8_t>> data_;
    // The checked file the bytes are in while data_ is null.
    mutable std::shared_ptr<const FileRegion> file_;
    mutable int width_ = 0;
    mutable int height_ = 0;
    mutable int components_ = 0;
    mutable bool progressive_ = false;
    mutable bool adobe_ = false;
    std::unique_ptr<Bitmap> pixels_;  // set only while no bytes were loaded
};

}  // namespace brevanto::graphics
