#include "report/TPRImage.h"

#include <stdexcept>

#include "pdf/PdfDoc.h"
#include "pdf/PdfImages.h"
#include "platform/graphics/Bitmap.h"
#include "report/ImageNameRandom.h"
#include "report/TPRCanvas.h"
#include "report/TPRPage.h"

using brevanto::graphics::Bitmap;
using brevanto::graphics::Graphic;

namespace {

constexpr std::uint32_t kNameCount = 65535;

}  // namespace

TPRImage::TPRImage() { SeedImageNameRandom(); }

bool TPRImage::Accepts(const Graphic& graphic) const {
    return dynamic_cast<const Bitmap*>(&graphic) != nullptr;
}

void TPRImage::SetPicture(const brevanto::graphics::Picture* picture) {
    const Graphic* graphic = picture != nullptr ? picture->graphic() : nullptr;
    if (graphic != nullptr && !Accepts(*graphic)) throw std::runtime_error(RefusalMessage());
    if (graphic != nullptr)
        picture_.assign(*graphic);
    else
        picture_.clear();
}

std::string TPRImage::FreshImageName(const TPdfDoc& doc) const {
    // Probe upwards from a random start, wrapping from 65534 to 0.
    std::uint32_t number = ImageNameRandom(kNameCount - 1);
    for (std::uint32_t tries = 0; tries < kNameCount; ++tries) {
        std::string name = Name() + std::to_string(number);
        if (doc.XObjectByName(name) == nullptr) return name;
        number = number + 1 == kNameCount ? 0 : number + 1;
    }
    throw std::runtime_error("image count over max value..");
}

void TPRImage::Print(TPRCanvas& canvas, const TRect& rect) {
    const Graphic* graphic = picture_.graphic();
    if (graphic == nullptr || graphic->empty() || !Accepts(*graphic)) return;
    PrintPicture(canvas, rect);
}

void TPRImage::PrintPicture(TPRCanvas& canvas, const TRect& rect) {
    if (canvas.PageCanvas() == nullptr) throw EPdfInvalidOperation("GetPage --the Page is nil");
    TPdfCanvas& pdf = *canvas.PageCanvas();
    TPdfDoc& doc = pdf.GetDoc();

    std::string name;
    if (sharedImage_) {
        name = Name();
        if (doc.XObjectByName(name) == nullptr)
            doc.AddImage(name, BuildPdfImage(*picture_.graphic(), CreatorName()));
    } else {
        name = FreshImageName(doc);
        doc.AddImage(name, BuildPdfImage(*picture_.graphic(), CreatorName()));
    }

    const int pageHeight = OwnerPage().Height();
    if (stretch_) {
        pdf.DrawXObject(rect.Left, pageHeight - rect.Bottom, Width(), Height(), name);
    } else {
        const int pictureWidth = picture_.width();
        const int pictureHeight = picture_.height();
        pdf.DrawXObjectEx(rect.Left, pageHeight - rect.Top - pictureHeight, pictureWidth,
                          pictureHeight, rect.Left, pageHeight - rect.Top - Height(), Width(),
                          Height(), name);
    }
}
