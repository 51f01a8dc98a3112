#include "report/TPRJpegImage.h"

#include <stdexcept>

#include "pdf/PdfDoc.h"
#include "platform/graphics/JpegImage.h"
#include "report/ImageNameRandom.h"

using brevanto::graphics::Graphic;
using brevanto::graphics::JpegImage;

namespace {

constexpr std::uint32_t kNameCount = 65535;

}  // namespace

bool TPRJpegImage::Accepts(const Graphic& graphic) const {
    return dynamic_cast<const JpegImage*>(&graphic) != nullptr;
}

std::string TPRJpegImage::FreshImageName(const TPdfDoc& doc) const {
    // Independent random tries, up to as many as there are numbers.
    for (std::uint32_t tries = 0; tries < kNameCount; ++tries) {
        std::string name = Name() + std::to_string(ImageNameRandom(kNameCount));
        if (doc.XObjectByName(name) == nullptr) return name;
    }
    throw std::runtime_error("image count over max value..");
}

void TPRJpegImage::Print(TPRCanvas& canvas, const TRect& rect) {
    if (Printable()) TPRImage::Print(canvas, rect);
}
