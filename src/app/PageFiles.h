#pragma once

#include <string>

namespace brevanto::graphics {
class Bitmap;
}

// The two files of a scanned page: the BMP kept for good and the JPEG the document is built
// from, which differ only in their extension.
struct TPageFiles {
    std::string Bmp;
    std::string Jpeg;
};

// The JPEG of a page's BMP path: the extension changed to ".jpg".
std::string PageJpegPath(const std::string& bmpPath);

// Writes the delivered image into folder as stamp + ".bmp" (in its own pixel format) and
// stamp + ".jpg" (baseline JFIF, 24 bits, quality 90). The folder is joined with "/" exactly
// as given. Both files are written completely under temporary names first and then take their
// names without replacing anything: when either name is taken (by another workstation too,
// even at the last moment), the next free one of stamp-2, stamp-3, ... is used. On any failure
// nothing of this call is left in the folder and EFCreateError names the page file.
TPageFiles WritePageFiles(const brevanto::graphics::Bitmap& image, const std::string& folder,
                          const std::string& stamp);
