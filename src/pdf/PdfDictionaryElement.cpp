#include "pdf/PdfDictionaryElement.h"

#include "pdf/PdfErrors.h"

TPdfDictionaryElement::TPdfDictionaryElement(std::string key, std::unique_ptr<TPdfObject> value,
                                             bool isInternal)
    : key_(std::move(key)), value_(std::move(value)), isInternal_(isInternal) {
    if (!value_) throw EPdfInvalidValue("internal error. wrong object.");
}

TPdfDictionaryElement::~TPdfDictionaryElement() = default;
