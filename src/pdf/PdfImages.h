#pragma once

#include <memory>
#include <string_view>

#include "pdf/ClassRegistry.h"
#include "pdf/PdfStream.h"

class TPdfArray;

namespace brevanto::graphics {
class Bitmap;
class Graphic;
}  // namespace brevanto::graphics

// Turns a picture into an image XObject. Creators are stateless, registered by name in the
// class registry and made for one conversion only. The image they return is a direct object
// owned by the caller until a document registers it.
class TPdfImageCreator {
  public:
    virtual ~TPdfImageCreator() = default;

    // The base converts nothing and answers null.
    virtual std::unique_ptr<TPdfImage> ConvertGraphic(const brevanto::graphics::Graphic& graphic);

    // [/Indexed /DeviceRGB 255 <RR GG BB ...>] from the 256 palette entries of an 8-bit
    // bitmap. EPdfInvalidImageFormat "only 8 bit color image is allowed." for other formats,
    // "failed to get Palette.." when the bitmap has no palette at all.
    std::unique_ptr<TPdfArray> BuildIndexedColorSpace(const brevanto::graphics::Bitmap& bitmap);
};

// Bitmaps (and anything a bitmap can be assigned from) as uncompressed pixels: palette formats
// as 8-bit indexed, everything else as 8-bit RGB.
class TPdfBitmapImage : public TPdfImageCreator {
  public:
    std::unique_ptr<TPdfImage> ConvertGraphic(const brevanto::graphics::Graphic& graphic) override;
};

using TPdfImageCreatorClass = TNamedClassOf<TPdfImageCreator>;

// Converts the graphic with the creator registered under the name ("Pdf-Bitmap", "Pdf-Jpeg");
// EClassNotFound "Class %s not found" for a name that is not one. The caller owns the image.
std::unique_ptr<TPdfImage> BuildPdfImage(const brevanto::graphics::Graphic& graphic,
                                         std::string_view creatorName);

// Registers "Pdf-Bitmap" and "Pdf-Jpeg". Called at program start.
void RegisterImageCreators();
