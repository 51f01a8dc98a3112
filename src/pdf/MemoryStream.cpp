#include "pdf/MemoryStream.h"

#include <algorithm>
#include <cstring>

#include "pdf/PdfErrors.h"
#include "platform/graphics/FileRegion.h"

TMemoryStream::TMemoryStream() = default;
TMemoryStream::~TMemoryStream() = default;

void TMemoryStream::Write(const void* data, std::size_t count) {
    if (count == 0) return;
    materialize();
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
    file_.reset();
    shared_ = std::move(bytes);
    position_ = static_cast<std::int64_t>(Size());
}

void TMemoryStream::ShareFile(std::shared_ptr<const brevanto::graphics::FileRegion> file) {
    bytes_.clear();
    shared_.reset();
    file_ = std::move(file);
    position_ = static_cast<std::int64_t>(Size());
}

std::size_t TMemoryStream::Size() const {
    if (file_) return file_->size();
    return shared_ ? shared_->size() : bytes_.size();
}

const std::vector<std::uint8_t>& TMemoryStream::Bytes() const {
    materialize();
    return shared_ ? *shared_ : bytes_;
}

std::string_view TMemoryStream::View() const {
    const std::vector<std::uint8_t>& bytes = Bytes();
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

void TMemoryStream::Clear() {
    bytes_.clear();
    shared_.reset();
    file_.reset();
    position_ = 0;
}

void TMemoryStream::WriteTo(TStream& stream) const {
    if (!file_) {
        const std::vector<std::uint8_t>& bytes = shared_ ? *shared_ : bytes_;
        stream.Write(bytes.data(), bytes.size());
        return;
    }
    // Checked before, and by what the copy took and the file after, so the bytes written are
    // those checked when the picture was loaded.
    file_->verify();
    const TCopyResult copy = stream.CopyFromFile(file_->descriptor(), 0, file_->size());
    file_->verifyCopy(copy.Copied, copy.ReadError);
}

void TMemoryStream::materialize() const {
    if (!file_) return;
    shared_ = std::make_shared<const std::vector<std::uint8_t>>(file_->read());
    file_.reset();
}
