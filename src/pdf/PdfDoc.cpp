#include "pdf/PdfDoc.h"

#include "pdf/PdfArray.h"
#include "pdf/PdfDictionary.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfFonts.h"
#include "pdf/PdfName.h"
#include "pdf/PdfNumber.h"
#include "pdf/PdfStream.h"
#include "pdf/PdfText.h"
#include "pdf/Stream.h"
#include "platform/locale/LocalClock.h"

TPdfDoc::TPdfDoc() : canvas_(std::make_unique<TPdfCanvas>(*this)) { RegisterStandardFonts(); }

TPdfDoc::~TPdfDoc() { DiscardDocument(); }

void TPdfDoc::StartDocument() {
    DiscardDocument();
    xref_ = std::make_unique<TPdfXref>();
    header_ = std::make_unique<TPdfHeader>();
    trailer_ = std::make_unique<TPdfTrailer>(xref_.get());
    xObjects_ = std::make_unique<TPdfArray>(xref_.get());

    auto root = std::make_unique<TPdfCatalog>();
    auto& catalog = xref_->Register(std::make_unique<TPdfDictionary>(xref_.get()));
    catalog.Put("Type", std::make_unique<TPdfName>("Catalog"));
    trailer_->Dictionary().Put("Root", catalog);
    root->SetDictionary(&catalog);
    root_ = root.get();
    wrappers_.push_back(std::move(root));

    if (useOutlines_) {
        auto outlineRoot = std::make_unique<TPdfOutlineRoot>(*this);
        outlineRoot_ = outlineRoot.get();
        wrappers_.push_back(std::move(outlineRoot));
        catalog.Put("Outlines", *outlineRoot_->Dictionary());
    }

    CreateInfo();
    info_->SetCreationDate(LocalClock::NowAsDateTime());

    auto& pages = xref_->Register(std::make_unique<TPdfDictionary>(xref_.get()));
    pages.Put("Type", std::make_unique<TPdfName>("Pages"));
    pages.Put("Kids", std::make_unique<TPdfArray>(xref_.get()));
    pages.Put("Count", std::make_unique<TPdfNumber>(0));
    root_->SetPages(&pages);
    currentPages_ = &pages;
    root_->SetPages(currentPages_);

    hasDocument_ = true;
}

void TPdfDoc::CreateInfo() {
    auto& dictionary = xref_->Register(std::make_unique<TPdfDictionary>(xref_.get()));
    dictionary.Put("Producer", std::make_unique<TPdfText>("Tarnolix version 0.9"));
    trailer_->Dictionary().Put("Info", dictionary);
    auto info = std::make_unique<TPdfInfo>();
    info->SetDictionary(&dictionary);
    info_ = info.get();
    wrappers_.push_back(std::move(info));
}

void TPdfDoc::AddPage() {
    if (!currentPages_) throw EPdfInvalidOperation("AddPage --current pages null.");
    auto& page = xref_->Register(std::make_unique<TPdfDictionary>(xref_.get()));

    TPdfArray* kids = currentPages_->ArrayOf("Kids");
    kids->Add(page);
    currentPages_->NumberOf("Count")->SetValue(kids->Count());

    page.Put("Type", std::make_unique<TPdfName>("Page"));
    page.Put("Parent", *currentPages_);
    page.Put("MediaBox", TPdfArray::CreateFromNumbers(
                             xref_.get(), {0, 0, defaultPageWidth_, defaultPageHeight_}));
    auto* resources = page.Put("Resources", std::make_unique<TPdfDictionary>(xref_.get()));
    resources->Put("Font", std::make_unique<TPdfDictionary>(xref_.get()));
    resources->Put("XObject", std::make_unique<TPdfDictionary>(xref_.get()));
    auto* procSet = resources->Put("ProcSet", std::make_unique<TPdfArray>(xref_.get()));
    for (const char* name : {"PDF", "Text", "ImageC"})
        procSet->Add(std::make_unique<TPdfName>(name));

    auto& contents = xref_->Register(std::make_unique<TPdfStream>(xref_.get()));
    page.Put("Contents", contents);

    canvas_->SetPage(&page);
}

TPdfCanvas& TPdfDoc::GetCanvas() const {
    if (!hasDocument_) throw EPdfInvalidOperation("GetCanvas --Document is null");
    return *canvas_;
}

TPdfCatalog& TPdfDoc::GetRoot() const {
    if (!hasDocument_) throw EPdfInvalidOperation("GetRoot --this method can not use this state..");
    return *root_;
}

TPdfInfo& TPdfDoc::GetInfo() {
    if (!hasDocument_) throw EPdfInvalidOperation("GetInfo --this method can not use this state..");
    if (!info_) CreateInfo();
    return *info_;
}

TPdfOutlineRoot& TPdfDoc::GetOutlineRoot() const {
    if (!hasDocument_) throw EPdfInvalidOperation("GetOutlineRoot --document is null..");
    if (!useOutlines_ || !outlineRoot_)
        throw EPdfInvalidOperation("GetOutlineRoot --not use outline mode..");
    return *outlineRoot_;
}

TPdfFont& TPdfDoc::GetFont(const std::string& name) {
    if (!hasDocument_) throw EPdfInvalidOperation("GetFont --document is null.");
    for (const auto& font : fonts_)
        if (font->Name() == name) return *font;
    return CreateFont(name);
}

TPdfFont& TPdfDoc::CreateFont(const std::string& name) {
    if (!hasDocument_) throw EPdfInvalidOperation("GetFont --document is null.");
    const auto& fontClass = FindNamedClassOf<TPdfFontClass>(name);
    std::unique_ptr<TPdfFont> font = fontClass.Create(*xref_, name);
    font->Dictionary()->Put("Name",
                            std::make_unique<TPdfName>("F" + std::to_string(fonts_.size())));
    fonts_.push_back(std::move(font));
    return *fonts_.back();
}

TPdfStream& TPdfDoc::AddImage(const std::string& name, std::unique_ptr<TPdfStream> image) {
    if (!hasDocument_) throw EPdfInvalidOperation("AddImage --document is null.");
    if (XObjectByName(name))
        throw EPdfError("AddImage --the image named " + name + " is already exists..");
    const TPdfName* subtype = image ? image->Dictionary().NameOf("Subtype") : nullptr;
    if (!image || TypeNameOf(&image->Dictionary()) != "XObject" || !subtype ||
        subtype->Value() != "Image")
        throw EPdfError("AddImage --the image is not valid TPdfImage..");
    auto& registered = xref_->Register(std::move(image));
    RegisterXObject(&registered, name);
    return registered;
}

void TPdfDoc::RegisterXObject(TPdfStream* object, const std::string& name) {
    if (!object) throw EPdfInvalidValue("RegisterXObject --AObject is null");
    if (TypeNameOf(&object->Dictionary()) != "XObject")
        throw EPdfInvalidValue("RegisterXObject --not XObject");
    // A direct object cannot be taken over through a plain pointer: use the owning overload.
    if (object->Kind() != okIndirect)
        throw EPdfInvalidOperation("RegisterXObject --object is not registered.");
    RegisterListedXObject(*object, name);
}

void TPdfDoc::RegisterXObject(std::unique_ptr<TPdfStream> object, const std::string& name) {
    if (!object) throw EPdfInvalidValue("RegisterXObject --AObject is null");
    if (TypeNameOf(&object->Dictionary()) != "XObject")
        throw EPdfInvalidValue("RegisterXObject --not XObject");
    if (!hasDocument_) throw EPdfInvalidOperation("RegisterXObject --document is null.");
    RegisterListedXObject(xref_->Register(std::move(object)), name);
}

void TPdfDoc::RegisterListedXObject(TPdfStream& object, const std::string& name) {
    if (!hasDocument_) throw EPdfInvalidOperation("RegisterXObject --document is null.");
    if (object.Dictionary().ValueOf("Name")) return;
    if (XObjectByName(name)) throw EPdfInvalidValue("RegisterXObject --dupulicate name: " + name);
    xObjects_->Add(object);
    object.Dictionary().Put("Name", std::make_unique<TPdfName>(name));
}

TPdfStream* TPdfDoc::XObjectByName(std::string_view name) const {
    if (!xObjects_) return nullptr;
    for (int i = 0; i < xObjects_->Count(); ++i) {
        auto* object = dynamic_cast<TPdfStream*>(xObjects_->Items(i));
        if (!object) continue;
        const TPdfName* objectName = object->Dictionary().NameOf("Name");
        if (objectName && objectName->Value() == name) return object;
    }
    return nullptr;
}

void TPdfDoc::SaveToStream(TStream& stream) {
    if (!hasDocument_) throw EPdfInvalidOperation("SaveToStream --there is no document to save.");
    canvas_->GetPage();  // a document without pages is refused before anything is written
    info_->SetModDate(LocalClock::NowAsDateTime());
    if (useOutlines_ && outlineRoot_) outlineRoot_->Save();

    stream.SetPosition(0);
    header_->WriteTo(stream);
    for (int i = 1; i < xref_->EntryCount(); ++i) {
        TPdfXrefEntry& entry = xref_->Entry(i);
        entry.SetByteOffset(stream.Position());
        entry.Value()->WriteIndirect(stream);
    }
    trailer_->SetXrefAddress(stream.Position());
    xref_->WriteTo(stream);
    trailer_->Dictionary().NumberOf("Size")->SetValue(xref_->EntryCount());
    trailer_->WriteTo(stream);
}

void TPdfDoc::DiscardDocument() {
    if (!hasDocument_ && !xref_) return;
    xObjects_.reset();
    while (!fonts_.empty()) fonts_.pop_back();
    while (!wrappers_.empty()) wrappers_.pop_back();
    xref_.reset();
    header_.reset();
    trailer_.reset();
    info_ = nullptr;
    root_ = nullptr;
    outlineRoot_ = nullptr;
    currentPages_ = nullptr;
    canvas_->DetachPage();
    hasDocument_ = false;
}
