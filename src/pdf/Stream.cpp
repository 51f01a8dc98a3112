#include "pdf/Stream.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#include <sys/types.h>
#include <unistd.h>

void TStream::WriteText(std::string_view text) { Write(text.data(), text.size()); }

TStream::TCopyResult TStream::CopyFromFile(int descriptor, std::int64_t offset, std::size_t count) {
    constexpr std::size_t kBufferSize = std::size_t{64} << 10;
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(kBufferSize);
    TCopyResult result;
    while (result.Copied < count) {
        const std::size_t want = std::min(kBufferSize, count - result.Copied);
        const ssize_t n = ::pread(descriptor, buffer.get(), want,
                                  static_cast<off_t>(offset) + static_cast<off_t>(result.Copied));
        if (n < 0) {
            if (errno == EINTR) continue;
            result.ReadError = errno;
            break;
        }
        if (n == 0) break;
        Write(buffer.get(), static_cast<std::size_t>(n));
        result.Copied += static_cast<std::size_t>(n);
    }
    return result;
}
