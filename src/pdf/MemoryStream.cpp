#include "pdf/MemoryStream.h"

#include <algorithm>
#include <cstring>

#include "pdf/PdfErrors.h"

void TMemoryStream::Write(const void* data, std::size_t count) {
    if (count == 0) return;
    if (shared_) {
        bytes_ = *shared_;
        shared_.reset();
    }
    const auto start = static_cast<std::size_t>(position_);
    if (start > bytes_.size()) bytes_.resize(start);
    // Overwrite what is there, append the rest: appended bytes are copied once, never zeroed.
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    const std::size_t overlap = std::min(count, bytes_.size() - start);
    if (overlap > 0) std::memcpy(bytes_.data() + start, bytes, overlap);
    bytes_.insert(bytes_.end(), bytes + overlap, bytes + count);
    position_ += static_cast<std::int64_t>(count);
}

void TMemoryStream::SetPosition(std::int64_t position) {
    if (position < 0) throw EPdfInvalidValue("SetPosition --invalid position");
    position_ = position;
}

void TMemoryStream::Share(std::shared_ptr<const std::vector<std::uint8_t>> bytes) {
    bytes_.clear();
    shared_ = std::move(bytes);
    position_ = static_cast<std::int64_t>(Size());
}

std::string_view TMemoryStream::View() const {
    const std::vector<std::uint8_t>& bytes = Bytes();
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

void TMemoryStream::Clear() {
    bytes_.clear();
    shared_.reset();
    position_ = 0;
}
