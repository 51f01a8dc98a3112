#include "platform/graphics/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/graphics/GraphicErrors.h"

namespace brevanto::graphics {

std::string openError(const std::filesystem::path& path, const std::string& reason) {
    return "Cannot open file \"" + path.string() + "\". " + reason;
}

namespace {

std::string createError(const std::filesystem::path& path, const std::string& reason) {
    return "Cannot create file \"" + path.string() + "\". " + reason;
}

}  // namespace

void prefault(void* block, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
    const auto pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = (reinterpret_cast<std::uintptr_t>(block) + pageSize - 1) & ~(pageSize - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + size) & ~(pageSize - 1);
    if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
    (void)block;
    (void)size;
#endif
}

FileDescriptor openForReading(const std::filesystem::path& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) throw EFOpenError(openError(path, std::strerror(errno)));
    return fd;
}

std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path, std::size_t maxSize) {
    return readOpenFile(openForReading(path), path, maxSize);
}

std::vector<std::uint8_t> readOpenFile(const FileDescriptor& fd, const std::filesystem::path& path,
                                       std::size_t maxSize) {
    // The size the file says it has is read straight into place; a file that is shorter, or
    // longer (still growing, or a file whose size is not known ahead), is read as it is.
    std::vector<std::uint8_t> data;
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && info.st_size > 0) {
        if (static_cast<std::uint64_t>(info.st_size) > maxSize)
            throw EFOpenError(openError(path, "The file is too large."));
        data.reserve(static_cast<std::size_t>(info.st_size));
        prefault(data.data(), data.capacity());
        data.resize(static_cast<std::size_t>(info.st_size));
    }
    std::size_t got = 0;
    while (got < data.size()) {
        const ssize_t n = ::read(fd.get(), data.data() + got, data.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFOpenError(openError(path, std::strerror(errno)));
        }
        if (n == 0) {
            data.resize(got);
            return data;
        }
        got += static_cast<std::size_t>(n);
    }
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFOpenError(openError(path, std::strerror(errno)));
        }
        if (n == 0) break;
        if (data.size() + static_cast<std::size_t>(n) > maxSize)
            throw EFOpenError(openError(path, "The file is too large."));
        data.insert(data.end(), chunk, chunk + n);
    }
    return data;
}

void writeFileAtomically(const std::filesystem::path& path, const std::uint8_t* data,
                         std::size_t size) {
    std::string tempName = path.string() + ".XXXXXX";
    FileDescriptor fd(::mkstemp(tempName.data()));
    if (fd.get() < 0) throw EFCreateError(createError(path, std::strerror(errno)));
    auto fail = [&](int error) {
        ::unlink(tempName.c_str());
        throw EFCreateError(createError(path, std::strerror(error)));
    };
    // mkstemp creates the file 0600; page files are ordinary documents.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd.get(), 0666 & ~mask) != 0) fail(errno);
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd.get(), data + written, size - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    if (!fd.close()) fail(errno);
    if (std::rename(tempName.c_str(), path.c_str()) != 0) fail(errno);
}

bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    int error = errno;
    if (error == EEXIST) return false;
    // File systems without the flag (some network shares) still refuse a link onto a name
    // that exists.
    if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP) {
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return true;
        }
        error = errno;
        if (error == EEXIST) return false;
    }
    throw EFCreateError(createError(to, std::strerror(error)));
}

}  // namespace brevanto::graphics
