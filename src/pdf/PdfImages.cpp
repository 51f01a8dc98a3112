#include "pdf/PdfImages.h"

#include <array>

#include "pdf/ClassRegistry.h"
#include "pdf/PdfArray.h"
#include "pdf/PdfBinary.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfJpegImage.h"
#include "pdf/PdfName.h"
#include "pdf/PdfNumber.h"
#include "platform/graphics/Bitmap.h"

using brevanto::graphics::Bitmap;
using brevanto::graphics::Graphic;
using brevanto::graphics::PaletteEntry;
using brevanto::graphics::PixelFormat;

std::unique_ptr<TPdfImage> TPdfImageCreator::ConvertGraphic(const Graphic&) { return nullptr; }

std::unique_ptr<TPdfArray> TPdfImageCreator::BuildIndexedColorSpace(const Bitmap& bitmap) {
    if (bitmap.pixelFormat() != PixelFormat::pf8bit)
        throw EPdfInvalidImageFormat("only 8 bit color image is allowed.");
    // Entries a short palette does not have are black.
    std::array<PaletteEntry, 256> entries{};
    if (bitmap.getPaletteEntries(0, entries.size(), entries.data()) == 0)
        throw EPdfInvalidImageFormat("failed to get Palette..");

    static const char kHex[] = "0123456789ABCDEF";
    std::string text = "<";
    text.reserve(1794);
    for (const PaletteEntry& e : entries) {
        for (const std::uint8_t c : {e.peRed, e.peGreen, e.peBlue}) {
            text += kHex[c >> 4];
            text += kHex[c & 15];
        }
        text += ' ';
    }
    text += '>';

    auto table = std::make_unique<TPdfBinary>();
    table->Data().WriteText(text);
    auto array = std::make_unique<TPdfArray>(nullptr);
    array->Add(std::make_unique<TPdfName>("Indexed"));
    array->Add(std::make_unique<TPdfName>("DeviceRGB"));
    array->Add(std::make_unique<TPdfNumber>(255));
    array->Add(std::move(table));
    return array;
}

std::unique_ptr<TPdfImage> TPdfBitmapImage::ConvertGraphic(const Graphic& graphic) {
    auto image = std::make_unique<TPdfImage>(nullptr);
    TPdfDictionary& dict = image->Dictionary();
    dict.Put("Type", std::make_unique<TPdfName>("XObject"));
    dict.Put("Subtype", std::make_unique<TPdfName>("Image"));

    // All work on a private copy: the caller's graphic stays as it is.
    Bitmap copy;
    copy.assign(graphic);
    const bool indexed = brevanto::graphics::isIndexed(copy.pixelFormat());
    copy.setPixelFormat(indexed ? PixelFormat::pf8bit : PixelFormat::pf24bit);

    const int width = copy.width();
    const int height = copy.height();
    TMemoryStream& data = image->Data();
    if (indexed) {
        for (int row = 0; row < height; ++row) data.Write(copy.scanLine(row), width);
        dict.Put("ColorSpace", BuildIndexedColorSpace(copy));
    } else {
        std::string rgb(static_cast<std::size_t>(width) * 3, '\0');
        for (int row = 0; row < height; ++row) {
            const std::uint8_t* bgr = copy.scanLine(row);
            for (int x = 0; x < width; ++x) {
                rgb[3 * x] = static_cast<char>(bgr[3 * x + 2]);
                rgb[3 * x + 1] = static_cast<char>(bgr[3 * x + 1]);
                rgb[3 * x + 2] = static_cast<char>(bgr[3 * x]);
            }
            data.Write(rgb.data(), rgb.size());
        }
        if (height > 0) dict.Put("ColorSpace", std::make_unique<TPdfName>("DeviceRGB"));
    }
    dict.Put("Width", std::make_unique<TPdfNumber>(width));
    dict.Put("Height", std::make_unique<TPdfNumber>(height));
    dict.Put("BitsPerComponent", std::make_unique<TPdfNumber>(8));
    return image;
}

std::unique_ptr<TPdfImage> BuildPdfImage(const Graphic& graphic, std::string_view creatorName) {
    const auto& creatorClass = FindNamedClassOf<TPdfImageCreatorClass>(creatorName);
    return creatorClass.Create()->ConvertGraphic(graphic);
}

void RegisterImageCreators() {
    RegisterNamedClass(TPdfImageCreatorClass::Of<TPdfBitmapImage>(), "Pdf-Bitmap");
    RegisterNamedClass(TPdfImageCreatorClass::Of<TPdfJpegImage>(), "Pdf-Jpeg");
}
