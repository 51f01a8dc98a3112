#include "platform/graphics/FileDescriptor.h"

#include <utility>

#include <unistd.h>

namespace brevanto::graphics {

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

bool FileDescriptor::close() {
    if (fd_ < 0) return true;
    // The descriptor is gone after close whatever it answers, so it is never closed twice.
    return ::close(std::exchange(fd_, -1)) == 0;
}

}  // namespace brevanto::graphics
