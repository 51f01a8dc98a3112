#include "report/TFileStream.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

#include "platform/graphics/GraphicErrors.h"
#include "report/ReportErrors.h"

TFileStream::TFileStream(const std::filesystem::path& path,
                         const std::filesystem::path& shownPath) {
    file_ = std::fopen(path.c_str(), "w+b");
    if (file_ == nullptr) {
        const int error = errno;
        throw brevanto::graphics::EFCreateError(
            "Cannot create file \"" +
            std::filesystem::absolute(shownPath.empty() ? path : shownPath).string() + "\". " +
            std::strerror(error));
    }
    // Documents are written in many small pieces: a large buffer keeps system calls few.
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
}

TFileStream::~TFileStream() {
    if (file_ != nullptr) std::fclose(file_);
}

void TFileStream::Write(const void* data, std::size_t count) {
    if (count == 0) return;
    if (file_ == nullptr || std::fwrite(data, 1, count, file_) != count)
        throw EWriteError("Stream write error");
    position_ += static_cast<std::int64_t>(count);
}

void TFileStream::SetPosition(std::int64_t position) {
    if (file_ == nullptr || std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0)
        throw EWriteError("Stream write error");
    position_ = position;
}

void TFileStream::Close() {
    if (file_ == nullptr) return;
    const bool flushed = std::fflush(file_) == 0 && ::fsync(fileno(file_)) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) throw EWriteError("Stream write error");
}
