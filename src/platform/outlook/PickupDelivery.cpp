#include "platform/outlook/PickupDelivery.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>

#include <fcntl.h>
#include <unistd.h>

#include "platform/outlook/OleException.h"

namespace outlook {
namespace {

[[noreturn]] void cannotWrite(const std::string& folder, int error) {
    throw EOleException("The message could not be written into " + folder + ": " +
                        std::strerror(error));
}

// Closes and removes the temporary file unless it was renamed.
class TTemporaryFile {
  public:
    explicit TTemporaryFile(std::string folder) : path_(folder + "/.brevanto-XXXXXX.tmp") {
        fd_ = ::mkstemps(path_.data(), 4);
        if (fd_ < 0) cannotWrite(folder, errno);
    }
    ~TTemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!kept_) ::unlink(path_.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }
    // 0, or the error of the close.
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }
    void Keep() { kept_ = true; }

  private:
    std::string path_;
    int fd_ = -1;
    bool kept_ = false;
};

std::string finalName(const std::string& folder) {
    static std::mt19937 random(std::random_device{}());
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    char unique[16];
    std::snprintf(unique, sizeof unique, "%08x", static_cast<unsigned>(random()));
    return folder + "/" + stamp + "-" + unique + ".eml";
}

}  // namespace

std::string DeliverToPickupFolder(const std::string& folder, const std::string& message) {
    TTemporaryFile file(folder);
    std::size_t done = 0;
    while (done < message.size()) {
        const ssize_t written = ::write(file.Fd(), message.data() + done, message.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) cannotWrite(folder, errno);
        done += static_cast<std::size_t>(written);
    }
    if (::fsync(file.Fd()) != 0) cannotWrite(folder, errno);
    if (const int error = file.Close(); error != 0) cannotWrite(folder, error);

    // Never replaces another message: a name that is taken gets another suffix.
    for (;;) {
        const std::string target = finalName(folder);
        if (::renameat2(AT_FDCWD, file.Path().c_str(), AT_FDCWD, target.c_str(),
                        RENAME_NOREPLACE) == 0) {
            file.Keep();
            // The rename itself is on disk once the folder is flushed.
            if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY); dir >= 0) {
                ::fsync(dir);
                ::close(dir);
            }
            return target;
        }
        if (errno != EEXIST) cannotWrite(folder, errno);
    }
}

}  // namespace outlook
