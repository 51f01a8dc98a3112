#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "pdf/Stream.h"

namespace brevanto::graphics {
class FileRegion;
}

// A growable in-memory byte stream: holds the data of PDF streams and binary objects, and
// serves tests as a file. Writing past the end grows it; a gap left by a position beyond the
// end is filled with zero bytes.
//
// It owns its bytes, or, after Share, holds bytes shared read-only with their other owners (a
// picture's compressed data): those are never changed, and the first write or Clear leaves them
// to the other owners and continues on a private copy. After ShareFile it holds the bytes of a
// file instead, left in the file (shared with the picture loaded from it): WriteTo has them
// copied from the file, and anything that needs them in memory (Bytes, View, a write) reads
// them first. Either way the file is checked to be the one loaded, or EFOpenError names it.
class TMemoryStream : public TStream {
  public:
    TMemoryStream();
    ~TMemoryStream() override;

    void Write(const void* data, std::size_t count) override;
    std::int64_t Position() const override { return position_; }
    // A negative position is refused with EPdfInvalidValue.
    void SetPosition(std::int64_t position) override;

    // Holds exactly bytes (null: none), positioned at their end.
    void Share(std::shared_ptr<const std::vector<std::uint8_t>> bytes);
    // Holds exactly the bytes of file (null: none), positioned at their end.
    void ShareFile(std::shared_ptr<const brevanto::graphics::FileRegion> file);

    std::size_t Size() const;
    const std::vector<std::uint8_t>& Bytes() const;
    std::string_view View() const;
    void Clear();
    // Writes the held bytes to stream.
    void WriteTo(TStream& stream) const;

  private:
    // Reads a shared file's bytes into memory, to be shared bytes from then on.
    void materialize() const;

    std::vector<std::uint8_t> bytes_;
    mutable std::shared_ptr<const std::vector<std::uint8_t>> shared_;
    mutable std::shared_ptr<const brevanto::graphics::FileRegion> file_;
    std::int64_t position_ = 0;
};
