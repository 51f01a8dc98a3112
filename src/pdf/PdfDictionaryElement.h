#pragma once

#include <memory>
#include <string>

#include "pdf/PdfName.h"

// One key-value pair of a dictionary (not itself a PDF value). Owns its key and its value,
// which is a direct object or a reference proxy, never absent. An internal element is found
// by lookups but never written.
class TPdfDictionaryElement {
  public:
    TPdfDictionaryElement(std::string key, std::unique_ptr<TPdfObject> value, bool isInternal);
    ~TPdfDictionaryElement();
    TPdfDictionaryElement(const TPdfDictionaryElement&) = delete;
    TPdfDictionaryElement& operator=(const TPdfDictionaryElement&) = delete;

    TPdfName& Key() { return key_; }
    const std::string& KeyText() const { return key_.Value(); }
    // As stored: a proxy stays a proxy here (TPdfDictionary::ValueOf resolves it).
    TPdfObject& Value() const { return *value_; }
    bool IsInternal() const { return isInternal_; }

  private:
    TPdfName key_;
    std::unique_ptr<TPdfObject> value_;
    bool isInternal_;
};
