#include "support/PdfTestDoc.h"

#include "pdf/PdfDoc.h"

std::string Written(TPdfObject& object) {
    TMemoryStream stream;
    object.WriteTo(stream);
    return std::string(stream.View());
}

std::string Saved(TPdfDoc& doc) {
    TMemoryStream stream;
    doc.SaveToStream(stream);
    return std::string(stream.View());
}

std::string IndirectBlock(const std::string& file, int number) {
    const std::string start = "\n" + std::to_string(number) + " 0 obj\r\n";
    const size_t at = file.find(start);
    if (at == std::string::npos) return {};
    const size_t end = file.find("endobj\r\n", at);
    return file.substr(at + 1, end + 8 - at - 1);
}

std::unique_ptr<TPdfImage> MakeTestImage() {
    auto image = std::make_unique<TPdfImage>();
    TPdfDictionary& d = image->Dictionary();
    d.Put("Type", std::make_unique<TPdfName>("XObject"));
    d.Put("Subtype", std::make_unique<TPdfName>("Image"));
    d.Put("ColorSpace", std::make_unique<TPdfName>("DeviceGray"));
    d.Put("Width", std::make_unique<TPdfNumber>(2));
    d.Put("Height", std::make_unique<TPdfNumber>(1));
    d.Put("BitsPerComponent", std::make_unique<TPdfNumber>(8));
    image->Data().WriteText("\x20\xE0");
    return image;
}
