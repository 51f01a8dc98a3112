#include "pdf/PdfType1Font.h"

#include <memory>

#include "pdf/PdfArray.h"
#include "pdf/PdfDictionary.h"
#include "pdf/PdfFontWidths.h"
#include "pdf/PdfName.h"
#include "pdf/PdfNumber.h"

namespace {

const TPDF_STR_TBL kType1Names[] = {
    {"Type", "Font"},
    {"Subtype", "Type1"},
    {"Encoding", "WinAnsiEncoding"},
};

// The same for all three families.
const TPDF_INT_TBL kType1Numbers[] = {
    {"FirstChar", 32},
    {"LastChar", 255},
};

std::uint8_t ByteOf(const TPdfNumber* number) {
    const std::int32_t value = number ? number->Value() : 0;
    return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

}  // namespace

TPdfType1Font::TPdfType1Font(TPdfObjectMgr& objectMgr, const std::string& name,
                             const char* baseFont, const std::int32_t* widths)
    : TPdfFont(objectMgr, name) {
    auto& dictionary = objectMgr.Register(std::make_unique<TPdfDictionary>(&objectMgr));
    AddNameEntries(dictionary, kType1Names);
    AddNumberEntries(dictionary, kType1Numbers);
    dictionary.Put("BaseFont", std::make_unique<TPdfName>(baseFont));
    dictionary.PutInternal("Widths",
                           TPdfArray::CreateFromNumbers(&objectMgr, widths, kPdfFontWidthCount));
    SetDictionary(&dictionary);
}

void TPdfType1Font::SetDictionary(TPdfDictionary* dictionary) {
    TPdfFont::SetDictionary(dictionary);
    if (!dictionary) return;
    const TPdfNumber* missing = dictionary->NumberOf("MissingWidth");
    widths_.fill(static_cast<std::uint16_t>(missing ? missing->Value() : 0));
    firstChar_ = ByteOf(dictionary->NumberOf("FirstChar"));
    lastChar_ = ByteOf(dictionary->NumberOf("LastChar"));
    const TPdfArray* widths = dictionary->ArrayOf("Widths");
    if (!widths) return;
    // Widths beyond code 255 have no character to belong to.
    for (int i = 0; i < widths->Count() && firstChar_ + i < 256; ++i)
        if (const auto* width = dynamic_cast<const TPdfNumber*>(widths->Items(i)))
            widths_[firstChar_ + i] = static_cast<std::uint16_t>(width->Value());
}

int TPdfType1Font::CharWidth(std::string_view text, int position) const {
    if (position < 1 || position > static_cast<int>(text.size())) return 0;
    return widths_[static_cast<std::uint8_t>(text[position - 1])];
}
