#include "pdf/PdfCanvas.h"

#include "pdf/PdfArray.h"
#include "pdf/PdfDictionary.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfFormat.h"
#include "pdf/PdfName.h"
#include "pdf/PdfNumber.h"
#include "pdf/PdfStream.h"

TPdfCanvas::TPdfCanvas(TPdfDoc& doc)
    : doc_(doc), attribute_(std::make_unique<TPdfCanvasAttribute>()) {}

TPdfCanvas::~TPdfCanvas() = default;

void TPdfCanvas::SetPage(TPdfDictionary* page) {
    page_ = page;
    contents_ = page ? dynamic_cast<TPdfStream*>(page->ValueOf("Contents")) : nullptr;
    attribute_->SetFont(nullptr);
    SetFont("Arial", 10);
    attribute_->SetCharSpace(0);
    attribute_->SetWordSpace(0);
    attribute_->SetHorizontalScaling(100);
    attribute_->SetLeading(0);
}

void TPdfCanvas::DetachPage() {
    page_ = nullptr;
    contents_ = nullptr;
    // The document's fonts go with it.
    attribute_->SetFont(nullptr);
}

TPdfDictionary& TPdfCanvas::GetPage() const {
    if (!page_) throw EPdfInvalidOperation("GetPage --the Page is nil");
    return *page_;
}

void TPdfCanvas::SetMediaBoxNumber(int index, std::int32_t value) {
    TPdfArray* box = GetPage().ArrayOf("MediaBox");
    auto* number =
        box && index < box->Count() ? dynamic_cast<TPdfNumber*>(box->Items(index)) : nullptr;
    if (!number) throw EPdfInvalidOperation("GetPage --the Page is nil");
    number->SetValue(value);
}

void TPdfCanvas::SetPageWidth(std::int32_t width) { SetMediaBoxNumber(2, width); }

void TPdfCanvas::SetPageHeight(std::int32_t height) { SetMediaBoxNumber(3, height); }

void TPdfCanvas::SetFont(const std::string& name, float size) {
    TPdfFont& font = doc_.GetFont(name);
    if (&font == attribute_->Font() && size == attribute_->FontSize()) return;
    // Refused before the selection and the resource entry are written.
    if (!(size >= 0 && size <= 300)) attribute_->SetFontSize(size);
    TPdfDictionary* resources = GetPage().DictionaryOf("Resources");
    TPdfDictionary* fonts = resources ? resources->DictionaryOf("Font") : nullptr;
    if (!fonts) throw EPdfInvalidOperation("GetPage --the Page is nil");
    const std::string resourceName = font.Dictionary()->NameOf("Name")->Value();
    if (!fonts->ValueOf(resourceName)) fonts->Put(resourceName, *font.Dictionary());
    if (contents_) SelectFont("/" + resourceName, size);
    attribute_->SetFont(&font);
    attribute_->SetFontSize(size);
}

TPdfStream& TPdfCanvas::AddXObjectResource(const std::string& name, const char* operation) {
    TPdfStream* object = doc_.XObjectByName(name);
    if (!object) throw EPdfInvalidValue(std::string(operation) + " --XObject not found: " + name);
    TPdfDictionary* resources = GetPage().DictionaryOf("Resources");
    TPdfDictionary* xObjects = resources ? resources->DictionaryOf("XObject") : nullptr;
    if (!xObjects) throw EPdfInvalidOperation("GetPage --the Page is nil");
    if (!xObjects->ValueOf(name)) xObjects->Put(name, *object);
    return *object;
}

void TPdfCanvas::DrawXObject(float x, float y, float width, float height, const std::string& name) {
    TPdfStream& object = AddXObjectResource(name, "DrawXObject");
    SaveState();
    Concat(width, 0, 0, height, x, y);
    PaintXObject(object.Dictionary().NameOf("Name")->Value());
    RestoreState();
}

void TPdfCanvas::DrawXObjectEx(float x, float y, float width, float height, float clipX,
                               float clipY, float clipWidth, float clipHeight,
                               const std::string& name) {
    TPdfStream& object = AddXObjectResource(name, "DrawXObjectEx");
    SaveState();
    Rectangle(clipX, clipY, clipWidth, clipHeight);
    Clip();
    EndPath();
    Concat(width, 0, 0, height, x, y);
    PaintXObject(object.Dictionary().NameOf("Name")->Value());
    RestoreState();
}

void TPdfCanvas::SaveState() { Emit("q\n"); }

void TPdfCanvas::RestoreState() { Emit("Q\n"); }

void TPdfCanvas::Concat(float a, float b, float c, float d, float e, float f) {
    Emit(FormatPdfNumber(a) + " " + FormatPdfNumber(b) + " " + FormatPdfNumber(c) + " " +
         FormatPdfNumber(d) + " " + FormatPdfNumber(e) + " " + FormatPdfNumber(f) + " cm\n");
}

void TPdfCanvas::Rectangle(float x, float y, float width, float height) {
    Emit(FormatPdfNumber(x) + " " + FormatPdfNumber(y) + " " + FormatPdfNumber(width) + " " +
         FormatPdfNumber(height) + " re\n");
}

void TPdfCanvas::Clip() { Emit("W\n"); }

void TPdfCanvas::EndPath() { Emit("n\n"); }

void TPdfCanvas::SelectFont(std::string_view resourceName, float size) {
    Emit(std::string(resourceName) + " " + FormatPdfNumber(size) + " Tf\n");
}

void TPdfCanvas::PaintXObject(std::string_view name) { Emit("/" + std::string(name) + " Do\n"); }

void TPdfCanvas::Emit(std::string_view text) {
    if (contents_) contents_->Data().WriteText(text);
}
