#include "pdf/PdfDictionary.h"

#include <algorithm>

#include "pdf/PdfArray.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfName.h"
#include "pdf/PdfNumber.h"
#include "pdf/PdfReal.h"
#include "pdf/PdfVirtualObject.h"
#include "pdf/Stream.h"

TPdfDictionary::TPdfDictionary(TPdfObjectMgr* objectMgr) : objectMgr_(objectMgr) {}

TPdfDictionary::~TPdfDictionary() = default;

void TPdfDictionary::PutOwned(std::string_view key, std::unique_ptr<TPdfObject> value,
                              bool isInternal) {
    // Checked before the old element goes, so a refused Put loses nothing.
    if (!value || value->Kind() == okIndirect)
        throw EPdfInvalidValue("internal error. wrong object.");
    auto element =
        std::make_unique<TPdfDictionaryElement>(std::string(key), std::move(value), isInternal);
    Remove(key);
    elements_.push_back(std::move(element));
}

void TPdfDictionary::PutReference(std::string_view key, TPdfObject& object, bool isInternal) {
    if (object.Kind() == okDirect) throw EPdfInvalidValue("internal error. wrong object.");
    PutOwned(key, TPdfVirtualObject::CreateVirtual(object.ObjectNumber()), isInternal);
}

void TPdfDictionary::Put(std::string_view key, TPdfObject& object) {
    PutReference(key, object, false);
}

void TPdfDictionary::PutInternal(std::string_view key, TPdfObject& object) {
    PutReference(key, object, true);
}

void TPdfDictionary::Remove(std::string_view key) {
    const auto it = std::find_if(elements_.begin(), elements_.end(),
                                 [&](const auto& e) { return e->KeyText() == key; });
    if (it != elements_.end()) elements_.erase(it);
}

TPdfObject* TPdfDictionary::ValueOf(std::string_view key) const {
    for (const auto& e : elements_) {
        if (e->KeyText() != key) continue;
        TPdfObject& value = e->Value();
        if (value.Kind() != okVirtual) return &value;
        return objectMgr_ ? objectMgr_->ObjectAt(value.ObjectNumber()) : nullptr;
    }
    return nullptr;
}

TPdfNumber* TPdfDictionary::NumberOf(std::string_view key) const {
    return dynamic_cast<TPdfNumber*>(ValueOf(key));
}

TPdfReal* TPdfDictionary::RealOf(std::string_view key) const {
    return dynamic_cast<TPdfReal*>(ValueOf(key));
}

TPdfName* TPdfDictionary::NameOf(std::string_view key) const {
    return dynamic_cast<TPdfName*>(ValueOf(key));
}

TPdfDictionary* TPdfDictionary::DictionaryOf(std::string_view key) const {
    return dynamic_cast<TPdfDictionary*>(ValueOf(key));
}

TPdfArray* TPdfDictionary::ArrayOf(std::string_view key) const {
    return dynamic_cast<TPdfArray*>(ValueOf(key));
}

TPdfDictionaryElement& TPdfDictionary::Element(int index) const {
    if (index < 0 || index >= ElementCount()) throw EListError(index);
    return *elements_[static_cast<std::size_t>(index)];
}

void TPdfDictionary::WriteValue(TStream& stream) {
    stream.WriteText("<<\r\n");
    for (const auto& e : elements_) {
        if (e->IsInternal()) continue;
        e->Key().WriteTo(stream);
        stream.WriteText(" ");
        e->Value().WriteTo(stream);
        stream.WriteText("\r\n");
    }
    stream.WriteText(">>");
}

std::string TypeNameOf(const TPdfDictionary* dictionary) {
    const TPdfName* type = dictionary ? dictionary->NameOf("Type") : nullptr;
    return type ? type->Value() : std::string();
}
