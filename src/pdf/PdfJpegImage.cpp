#include "pdf/PdfJpegImage.h"

#include "pdf/PdfArray.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfName.h"
#include "pdf/PdfNumber.h"
#include "platform/graphics/JpegImage.h"

using brevanto::graphics::Graphic;
using brevanto::graphics::JpegImage;

std::unique_ptr<TPdfImage> TPdfJpegImage::ConvertGraphic(const Graphic& graphic) {
    const auto* jpeg = dynamic_cast<const JpegImage*>(&graphic);
    if (jpeg == nullptr) throw EPdfInvalidValue("only jpeg image is allowed.");

    auto image = std::make_unique<TPdfImage>(nullptr);
    // The file's own bytes, first to last, shared with the picture rather than copied; only a
    // picture holding pixels alone is encoded.
    image->Data().Share(jpeg->sharedData());

    TPdfDictionary& dict = image->Dictionary();
    dict.Put("Type", std::make_unique<TPdfName>("XObject"));
    dict.Put("Subtype", std::make_unique<TPdfName>("Image"));
    dict.Put("ColorSpace", std::make_unique<TPdfName>("DeviceRGB"));
    dict.Put("Width", std::make_unique<TPdfNumber>(jpeg->width()));
    dict.Put("Height", std::make_unique<TPdfNumber>(jpeg->height()));
    dict.Put("BitsPerComponent", std::make_unique<TPdfNumber>(8));
    dict.ArrayOf("Filter")->Add(std::make_unique<TPdfName>("DCTDecode"));
    return image;
}
