#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "pdf/Stream.h"

// A growable in-memory byte stream: holds the data of PDF streams and binary objects, and
// serves tests as a file. Writing past the end grows it; a gap left by a position beyond the
// end is filled with zero bytes.
//
// It owns its bytes, or, after Share, holds bytes shared read-only with their other owners (a
// picture's compressed data): those are never changed, and the first write or Clear leaves them
// to the other owners and continues on a private copy.
class TMemoryStream : public TStream {
  public:
    void Write(const void* data, std::size_t count) override;
    std::int64_t Position() const override { return position_; }
    // A negative position is refused with EPdfInvalidValue.
    void SetPosition(std::int64_t position) override;

    // Holds exactly bytes (null: none), positioned at their end.
    void Share(std::shared_ptr<const std::vector<std::uint8_t>> bytes);

    std::size_t Size() const { return Bytes().size(); }
    const std::vector<std::uint8_t>& Bytes() const { return shared_ ? *shared_ : bytes_; }
    std::string_view View() const;
    void Clear();

  private:
    std::vector<std::uint8_t> bytes_;
    std::shared_ptr<const std::vector<std::uint8_t>> shared_;
    std::int64_t position_ = 0;
};
