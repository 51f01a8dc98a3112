#include "platform/graphics/TemporaryFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/graphics/FileBytes.h"
#include "platform/graphics/GraphicErrors.h"

namespace brevanto::graphics {

namespace {

constexpr const char* kPrefix = ".~brevanto-";
constexpr const char* kSuffix = ".tmp";

std::atomic<long long> gStaleSeconds{10 * 60};

[[noreturn]] void fail(const std::string& shownPath, int error) {
    throw EFCreateError("Cannot create file \"" + shownPath + "\". " + std::strerror(error));
}

// A folder is walked for what killed writers left at most once a minute per process: the PDF
// folder keeps every page's BMP for good, and walking it at every page written would grow
// with the office's history.
void removeStaleNowAndThen(const std::string& folder) {
    static std::mutex lock;
    static std::map<std::string, std::chrono::steady_clock::time_point> lastWalk;
    const auto now = std::chrono::steady_clock::now();
    {
        const std::lock_guard<std::mutex> guard(lock);
        const auto found = lastWalk.find(folder);
        if (found != lastWalk.end() && now - found->second < std::chrono::minutes(1)) return;
        lastWalk[folder] = now;
    }
    removeStaleTemporaryFiles(folder, staleTemporaryAge());
}

bool ourName(const char* name) {
    const std::size_t length = std::strlen(name);
    const std::size_t prefix = std::strlen(kPrefix);
    const std::size_t suffix = std::strlen(kSuffix);
    return length > prefix + suffix && std::strncmp(name, kPrefix, prefix) == 0 &&
           std::strcmp(name + length - suffix, kSuffix) == 0;
}

}  // namespace

TemporaryFile::TemporaryFile(const std::string& folder, const std::string& kind,
                             const std::string& shownPath) {
    removeStaleNowAndThen(folder);
    path_ = folder + "/" + kPrefix + kind + "-XXXXXX" + kSuffix;
    // mkostemps creates exclusively: an existing name, a planted link included, is never used.
    fd_ = FileDescriptor(
        ::mkostemps(path_.data(), static_cast<int>(std::strlen(kSuffix)), O_CLOEXEC));
    if (!fd_.valid()) fail(shownPath, errno);
    ::flock(fd_.get(), LOCK_EX | LOCK_NB);
    // Created 0600; what it becomes is an ordinary document of the office.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_.get(), 0666 & ~mask);
}

TemporaryFile::~TemporaryFile() {
    if (!kept_) ::unlink(path_.c_str());
}

FileDescriptor TemporaryFile::duplicate(const std::string& shownPath) const {
    FileDescriptor copy(::fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0));
    if (!copy.valid()) fail(shownPath, errno);
    return copy;
}

bool TemporaryFile::moveTo(const std::string& target) {
    if (!renameNoReplace(path_, target)) return false;
    path_ = target;
    return true;
}

void TemporaryFile::replace(const std::string& target) {
    if (std::rename(path_.c_str(), target.c_str()) != 0) fail(target, errno);
    path_ = target;
}

void removeStaleTemporaryFiles(const std::string& folder, std::chrono::seconds maxAge) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const int dirFd = ::dirfd(dir);
    const auto now = std::chrono::system_clock::now();
    while (const dirent* entry = ::readdir(dir)) {
        if (!ourName(entry->d_name)) continue;
        // Never through a link: only a regular file of ours is a candidate.
        const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        const auto modified =
            std::chrono::system_clock::time_point(std::chrono::seconds(info.st_mtim.tv_sec));
        // A writer holds its file locked; a free lock means nobody writes it any more.
        if (regular && now - modified >= maxAge && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

std::chrono::seconds staleTemporaryAge() { return std::chrono::seconds(gStaleSeconds.load()); }

void setStaleTemporaryAge(std::chrono::seconds age) { gStaleSeconds = age.count(); }

void syncFolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace brevanto::graphics
