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
#include "platform/graphics/TemporaryFile.h"

using brevanto::graphics::EFCreateError;
using brevanto::graphics::TemporaryFile;

namespace {

// Writes through a descriptor of its own, so a failed close shows as the write error it is,
// while the temporary file keeps its lock.
template <class Writer>
void writeThrough(const TemporaryFile& file, const std::string& shownPath, Writer write) {
    brevanto::graphics::FileDescriptor fd = file.duplicate(shownPath);
    write(fd.get());
    if (!fd.close())
        throw EFCreateError("Cannot create file \"" + shownPath + "\". " + std::strerror(errno));
}

}  // namespace

std::string PageJpegPath(const std::string& bmpPath) {
    return std::filesystem::path(bmpPath).replace_extension(".jpg").string();
}

TPageFiles WritePageFiles(const brevanto::graphics::Bitmap& image, const std::string& folder,
                          const std::string& stamp) {
    const std::string base = folder + "/" + stamp;
    const std::string firstBmp = base + ".bmp";

    const std::string firstJpeg = PageJpegPath(firstBmp);
    TemporaryFile bmp(folder, "page", firstBmp);
    writeThrough(bmp, firstBmp,
                 [&](int fd) { brevanto::graphics::writeBmpFile(fd, image, firstBmp); });
    TemporaryFile jpeg(folder, "page", firstJpeg);
    writeThrough(jpeg, firstJpeg, [&](int fd) {
        brevanto::graphics::writeJpegFile(fd, image, brevanto::graphics::JpegImage::kDefaultQuality,
                                          firstJpeg);
    });

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
