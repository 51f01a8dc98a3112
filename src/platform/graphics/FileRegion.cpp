#include "platform/graphics/FileRegion.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/graphics/FileBytes.h"
#include "platform/graphics/GraphicErrors.h"

namespace brevanto::graphics {

namespace {

std::atomic<std::size_t> openRegions{0};

constexpr const char* kChanged = "The file has changed since it was loaded.";

FileRegion::Identity identityOf(const struct stat& info) {
    FileRegion::Identity id;
    id.device = info.st_dev;
    id.inode = info.st_ino;
    id.size = static_cast<std::uint64_t>(info.st_size);
    id.modifiedSeconds = info.st_mtim.tv_sec;
    id.modifiedNanoseconds = info.st_mtim.tv_nsec;
    id.changedSeconds = info.st_ctim.tv_sec;
    id.changedNanoseconds = info.st_ctim.tv_nsec;
    return id;
}

}  // namespace

std::shared_ptr<const FileRegion> FileRegion::adopt(FileDescriptor& fd,
                                                    const std::filesystem::path& path,
                                                    std::size_t maxSize) {
    struct stat info {};
    // Pipes, devices and files of unknown size (as /proc has) are read whole instead.
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0)
        return nullptr;
    if (static_cast<std::uint64_t>(info.st_size) > maxSize)
        throw EFOpenError(openError(path, "The file is too large."));
    if (openRegions.load() >= kMaxOpen) return nullptr;
    return std::make_shared<const FileRegion>(Key{}, std::move(fd), path, identityOf(info));
}

std::size_t FileRegion::openCount() { return openRegions.load(); }

FileRegion::FileRegion(Key, FileDescriptor fd, std::filesystem::path path, const Identity& identity)
    : fd_(std::move(fd)), path_(std::move(path)), identity_(identity) {
    std::error_code error;
    checkedPath_ = std::filesystem::absolute(path_, error);
    if (error) checkedPath_ = path_;
    ++openRegions;
}

FileRegion::~FileRegion() { --openRegions; }

void FileRegion::fail(const std::string& reason) const {
    throw EFOpenError(openError(path_, reason));
}

void FileRegion::verify() const {
    struct stat info {};
    if (::stat(checkedPath_.c_str(), &info) == 0) {
        if (identityOf(info) != identity_) fail(kChanged);
        return;
    }
    const int error = errno;
    if (error != ENOENT && error != ENOTDIR) fail(std::strerror(error));
    // The name is gone, the file is not: only its own content times can tell of a change.
    if (::fstat(fd_.get(), &info) != 0) fail(std::strerror(errno));
    const Identity kept = identityOf(info);
    if (kept.size != identity_.size || kept.modifiedSeconds != identity_.modifiedSeconds ||
        kept.modifiedNanoseconds != identity_.modifiedNanoseconds)
        fail(kChanged);
}

void FileRegion::verifyCopy(std::size_t copied, int readError) const {
    if (readError != 0) fail(std::strerror(readError));
    if (copied != size()) fail(kChanged);
    verify();
}

void FileRegion::read(std::uint8_t* out) const {
    verify();
    std::size_t got = 0;
    int readError = 0;
    while (got < size()) {
        const ssize_t n = ::pread(fd_.get(), out + got, size() - got, static_cast<off_t>(got));
        if (n < 0) {
            if (errno == EINTR) continue;
            readError = errno;
            break;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    verifyCopy(got, readError);
}

void FileRegion::readPart(std::size_t offset, std::uint8_t* out, std::size_t count) const {
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n =
            ::pread(fd_.get(), out + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(std::strerror(errno));
        }
        if (n == 0) fail(kChanged);
        got += static_cast<std::size_t>(n);
    }
}

std::vector<std::uint8_t> FileRegion::read() const {
    std::vector<std::uint8_t> bytes(size());
    read(bytes.data());
    return bytes;
}

}  // namespace brevanto::graphics
