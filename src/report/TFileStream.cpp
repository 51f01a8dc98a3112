#include "report/TFileStream.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "platform/graphics/GraphicErrors.h"
#include "report/ReportErrors.h"

namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 16;

[[noreturn]] void writeError() { throw EWriteError("Stream write error"); }

}  // namespace

TFileStream::TFileStream(const std::filesystem::path& path, const std::filesystem::path& shownPath)
    : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)),
      buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(kBufferSize)) {
    if (!fd_.valid()) {
        const int error = errno;
        throw brevanto::graphics::EFCreateError(
            "Cannot create file \"" +
            std::filesystem::absolute(shownPath.empty() ? path : shownPath).string() + "\". " +
            std::strerror(error));
    }
}

TFileStream::TFileStream(brevanto::graphics::FileDescriptor fd, const std::filesystem::path&)
    : fd_(std::move(fd)), buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(kBufferSize)) {}

TFileStream::~TFileStream() { flushBuffer(); }

bool TFileStream::flushBuffer() {
    std::size_t done = 0;
    while (done < buffered_) {
        const ssize_t n = ::write(fd_.get(), buffer_.get() + done, buffered_ - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    const bool whole = done == buffered_;
    buffered_ = 0;
    return whole;
}

void TFileStream::writeAll(const std::uint8_t* data, std::size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(fd_.get(), data, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            writeError();
        }
        data += n;
        count -= static_cast<std::size_t>(n);
    }
}

void TFileStream::Write(const void* data, std::size_t count) {
    if (count == 0) return;
    if (!fd_.valid()) writeError();
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (buffered_ + count > kBufferSize) {
        if (!flushBuffer()) writeError();
        if (count >= kBufferSize) {
            writeAll(bytes, count);
            position_ += static_cast<std::int64_t>(count);
            return;
        }
    }
    std::memcpy(buffer_.get() + buffered_, bytes, count);
    buffered_ += count;
    position_ += static_cast<std::int64_t>(count);
}

void TFileStream::SetPosition(std::int64_t position) {
    if (!fd_.valid() || !flushBuffer() || position < 0 ||
        ::lseek(fd_.get(), static_cast<off_t>(position), SEEK_SET) < 0)
        writeError();
    position_ = position;
}

TStream::TCopyResult TFileStream::CopyFromFile(int descriptor, std::int64_t offset,
                                               std::size_t count) {
    if (!fd_.valid() || !flushBuffer()) writeError();
    TCopyResult result;
    while (kernelCopy_ && result.Copied < count) {
        auto from = static_cast<off_t>(offset) + static_cast<off_t>(result.Copied);
        const ssize_t n =
            ::copy_file_range(descriptor, &from, fd_.get(), nullptr, count - result.Copied, 0);
        if (n > 0) {
            result.Copied += static_cast<std::size_t>(n);
            position_ += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // Kernels and file systems that cannot copy between these files say so; they are not
        // asked again.
        if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP))
            kernelCopy_ = false;
        // Anything else (the source's end, a failure) the plain copy finishes: it tells a read
        // error from a write error and the real end of the file from a file system that copies
        // nothing.
        break;
    }
    if (result.Copied == count) return result;
    const TCopyResult rest = TStream::CopyFromFile(
        descriptor, offset + static_cast<std::int64_t>(result.Copied), count - result.Copied);
    return {result.Copied + rest.Copied, rest.ReadError};
}

void TFileStream::Close() {
    if (!fd_.valid()) return;
    bool ok = flushBuffer();
    ok = ::fsync(fd_.get()) == 0 && ok;
    ok = fd_.close() && ok;
    if (!ok) writeError();
}
