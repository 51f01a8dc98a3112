#pragma once

#include <string>

#include "pdf/PdfDictionaryWrapper.h"

// The document information dictionary. Every setter puts one text entry, so calling it again
// replaces the entry and moves it to the end.
class TPdfInfo : public TPdfDictionaryWrapper {
  public:
    void SetAuthor(const std::string& value);
    void SetCreator(const std::string& value);
    void SetTitle(const std::string& value);
    void SetSubject(const std::string& value);
    void SetKeywords(const std::string& value);
    // The entry records the local clock's time of the call (PdfDateText); the date-time value
    // (days since 1899-12-30) does not change the text.
    void SetCreationDate(double date);
    void SetModDate(double date);

  private:
    void PutText(const char* key, const std::string& value);
};
