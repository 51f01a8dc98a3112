#include "platform/graphics/ImageFileWriter.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <unistd.h>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/JpegCodec.h"

namespace brevanto::graphics {

namespace {

void writeAll(int fd, const std::vector<std::uint8_t>& bytes,
              const std::filesystem::path& shownPath) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFCreateError("Cannot create file \"" + shownPath.string() + "\". " +
                                std::strerror(errno));
        }
        written += static_cast<std::size_t>(n);
    }
}

}  // namespace

void writeBmpFile(int fd, const Bitmap& bitmap, const std::filesystem::path& shownPath) {
    writeAll(fd, encodeBmpFile(bitmap), shownPath);
}

void writeJpegFile(int fd, const Bitmap& bitmap, int quality,
                   const std::filesystem::path& shownPath) {
    if (bitmap.pixelFormat() == PixelFormat::pf24bit) {
        writeAll(fd, encodeJpeg(bitmap, quality), shownPath);
        return;
    }
    Bitmap converted(bitmap);
    converted.setPixelFormat(PixelFormat::pf24bit);
    writeAll(fd, encodeJpeg(converted, quality), shownPath);
}

}  // namespace brevanto::graphics
