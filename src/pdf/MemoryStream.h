#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "pdf/Stream.h"

// A growable in-memory byte stream: holds the data of PDF streams and binary objects, and
// serves tests as a file. Writing past the end grows it; a gap left by a position beyond the
// end is filled with zero bytes.
class TMemoryStream : public TStream {
  public:
    void Write(const void* data, std::size_t count) override;
    std::int64_t Position() const override { return position_; }
    // A negative position is refused with EPdfInvalidValue.
    void SetPosition(std::int64_t position) override;

    std::size_t Size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::string_view View() const;
    void Clear();

  private:
    std::vector<std::uint8_t> bytes_;
    std::int64_t position_ = 0;
};
