#include "app/PageFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "app/FileStamps.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/FileBytes.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/ImageFileWriter.h"
#include "platform/graphics/JpegImage.h"

using brevanto::graphics::EFCreateError;

namespace {

// A file being written under a temporary name in the target folder; removed, wherever it was
// moved to, unless it is kept.
class TemporaryFile {
  public:
    TemporaryFile(const std::string& folder, const std::string& shownPath) {
        path_ = folder + "/.~brevanto-page-XXXXXX.tmp";
        fd_ = ::mkstemps(path_.data(), 4);
        if (fd_ < 0) fail(shownPath, errno);
        // mkstemps creates the file 0600; page files are ordinary documents of the office.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!kept_) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    void close(const std::string& shownPath) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) fail(shownPath, errno);
    }
    // Gives the file the name target unless that is taken (false).
    bool moveTo(const std::string& target) {
        if (!brevanto::graphics::renameNoReplace(path_, target)) return false;
        path_ = target;
        return true;
    }
    void keep() { kept_ = true; }

    [[noreturn]] static void fail(const std::string& shownPath, int error) {
        throw EFCreateError("Cannot create file \"" + shownPath + "\". " + std::strerror(error));
    }

  private:
    std::string path_;
    int fd_ = -1;
    bool kept_ = false;
};

}  // namespace

std::string PageJpegPath(const std::string& bmpPath) {
    return std::filesystem::path(bmpPath).replace_extension(".jpg").string();
}

TPageFiles WritePageFiles(const brevanto::graphics::Bitmap& image, const std::string& folder,
                          const std::string& stamp) {
    const std::string base = folder + "/" + stamp;
    const std::string firstBmp = base + ".bmp";

    TemporaryFile bmp(folder, firstBmp);
    brevanto::graphics::writeBmpFile(bmp.fd(), image, firstBmp);
    bmp.close(firstBmp);
    TemporaryFile jpeg(folder, PageJpegPath(firstBmp));
    brevanto::graphics::writeJpegFile(
        jpeg.fd(), image, brevanto::graphics::JpegImage::kDefaultQuality, PageJpegPath(firstBmp));
    jpeg.close(PageJpegPath(firstBmp));

    // The BMP takes the first free name; when the JPEG's name beside it is taken, the BMP moves
    // on to the next one.
    for (int n = 1;; ++n) {
        TPageFiles files{NumberedFileName(base, n, ".bmp"), NumberedFileName(base, n, ".jpg")};
        if (!bmp.moveTo(files.Bmp)) continue;
        if (!jpeg.moveTo(files.Jpeg)) continue;
        bmp.keep();
        jpeg.keep();
        return files;
    }
}
