#include "platform/graphics/ImageFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <sys/uio.h>
#include <unistd.h>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/JpegCodec.h"

namespace brevanto::graphics {

namespace {

[[noreturn]] void throwCreateError(const std::filesystem::path& shownPath, int error) {
    throw EFCreateError("Cannot create file \"" + shownPath.string() + "\". " +
                        std::strerror(error));
}

// Writes every byte the pieces describe, in as few system calls as the kernel allows; pieces
// already written are skipped, so the array is consumed. Answers 0 or the errno of the failure.
int writeAllPieces(int fd, iovec* pieces, int count) {
    while (count > 0) {
        const ssize_t n = ::writev(fd, pieces, std::min(count, IOV_MAX));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        auto left = static_cast<std::size_t>(n);
        while (count > 0 && left >= pieces->iov_len) {
            left -= pieces->iov_len;
            ++pieces;
            --count;
        }
        if (count > 0) {
            pieces->iov_base = static_cast<char*>(pieces->iov_base) + left;
            pieces->iov_len -= left;
        }
    }
    return 0;
}

// Hands libjpeg's blocks straight to the descriptor.
class DescriptorSink final : public JpegSink {
  public:
    DescriptorSink(int fd, const std::filesystem::path& shownPath)
        : fd_(fd), shownPath_(shownPath) {}

    bool write(const std::uint8_t* data, std::size_t size) noexcept override {
        iovec piece{const_cast<std::uint8_t*>(data), size};
        error_ = writeAllPieces(fd_, &piece, 1);
        return error_ == 0;
    }
    [[noreturn]] void raise() override { throwCreateError(shownPath_, error_); }

  private:
    int fd_;
    const std::filesystem::path& shownPath_;
    int error_ = 0;
};

}  // namespace

void writeBmpFile(int fd, const Bitmap& bitmap, const std::filesystem::path& shownPath) {
    std::vector<std::uint8_t> header = encodeBmpFileHeader(bitmap);
    const auto height = static_cast<std::size_t>(bitmap.height());
    const std::size_t stride = bitmap.stride();
    int error = 0;
    if (!bitmap.topDown() || height <= 1) {
        // Bottom-up rows lie in memory in file order: the header and one block.
        iovec pieces[2] = {{header.data(), header.size()},
                           {const_cast<std::uint8_t*>(bitmap.bits()), stride * height}};
        error = writeAllPieces(fd, pieces, height > 0 ? 2 : 1);
    } else {
        // Top-down rows go out last row first, many rows to a call.
        constexpr std::size_t kRowsPerCall = 512;
        std::vector<iovec> pieces;
        pieces.reserve(kRowsPerCall + 1);
        pieces.push_back({header.data(), header.size()});
        std::size_t row = height;
        while (error == 0 && row > 0) {
            while (row > 0 && pieces.size() <= kRowsPerCall) {
                --row;
                pieces.push_back({const_cast<std::uint8_t*>(bitmap.bits()) + row * stride, stride});
            }
            error = writeAllPieces(fd, pieces.data(), static_cast<int>(pieces.size()));
            pieces.clear();
        }
    }
    if (error != 0) throwCreateError(shownPath, error);
}

void writeJpegFile(int fd, const Bitmap& bitmap, int quality,
                   const std::filesystem::path& shownPath) {
    DescriptorSink sink(fd, shownPath);
    encodeJpegTo(bitmap, quality, sink);
}

}  // namespace brevanto::graphics
