#include "pdf/PdfInfo.h"

#include <memory>

#include "pdf/PdfDictionary.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfFormat.h"
#include "pdf/PdfText.h"

void TPdfInfo::PutText(const char* key, const std::string& value) {
    if (!Dictionary()) throw EPdfInvalidOperation("GetInfo --this method can not use this state..");
    Dictionary()->Put(key, std::make_unique<TPdfText>(value));
}

void TPdfInfo::SetAuthor(const std::string& value) { PutText("Author", value); }
void TPdfInfo::SetCreator(const std::string& value) { PutText("Creator", value); }
void TPdfInfo::SetTitle(const std::string& value) { PutText("Title", value); }
void TPdfInfo::SetSubject(const std::string& value) { PutText("Subject", value); }
void TPdfInfo::SetKeywords(const std::string& value) { PutText("Keywords", value); }
void TPdfInfo::SetCreationDate(double) { PutText("CreationDate", PdfDateText()); }
void TPdfInfo::SetModDate(double) { PutText("ModDate", PdfDateText()); }
