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
    // The file's own bytes, first to last, shared with the picture rather than copied; left in
    // the file while the picture has them only there, so writing the document has them copied
    // from it. Only a picture holding pixels alone is encoded.
    if (auto file = jpeg->sharedFile())
        image->Data().ShareFile(std::move(file));
    else
        image->Data().Share(jpeg->sharedData());

    // Grey and CMYK streams get their own device space; three components, and the odd counts no
    // device space fits, stay RGB.
    const char* colorSpace = "DeviceRGB";
    if (jpeg->components() == 1) colorSpace = "DeviceGray";
    if (jpeg->components() == 4) colorSpace = "DeviceCMYK";
    // Adobe software stores CMYK as 255 minus the ink; the Decode array turns it back.
    const bool inverted = jpeg->components() == 4 && jpeg->adobeMarker();

    TPdfDictionary& dict = image->Dictionary();
    dict.Put("Type", std::make_unique<TPdfName>("XObject"));
    dict.Put("Subtype", std::make_unique<TPdfName>("Image"));
    dict.Put("ColorSpace", std::make_unique<TPdfName>(colorSpace));
    dict.Put("Width", std::make_unique<TPdfNumber>(jpeg->width()));
    dict.Put("Height", std::make_unique<TPdfNumber>(jpeg->height()));
    dict.Put("BitsPerComponent", std::make_unique<TPdfNumber>(8));
    if (inverted)
        dict.Put("Decode", TPdfArray::CreateFromNumbers(nullptr, {1, 0, 1, 0, 1, 0, 1, 0}));
    dict.ArrayOf("Filter")->Add(std::make_unique<TPdfName>("DCTDecode"));
    return image;
}
