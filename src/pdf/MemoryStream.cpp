#include "pdf/MemoryStream.h"

#include <cstring>

#include "pdf/PdfErrors.h"

void TMemoryStream::Write(const void* data, std::size_t count) {
    if (count == 0) return;
    const auto start = static_cast<std::size_t>(position_);
    if (start + count > bytes_.size()) bytes_.resize(start + count);
    std::memcpy(bytes_.data() + start, data, count);
    position_ += static_cast<std::int64_t>(count);
}

void TMemoryStream::SetPosition(std::int64_t position) {
    if (position < 0) throw EPdfInvalidValue("SetPosition --invalid position");
    position_ = position;
}

std::string_view TMemoryStream::View() const {
    return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
}

void TMemoryStream::Clear() {
    bytes_.clear();
    position_ = 0;
}
