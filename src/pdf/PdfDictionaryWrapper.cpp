#include "pdf/PdfDictionaryWrapper.h"

#include <memory>

#include "pdf/PdfDictionary.h"
#include "pdf/PdfName.h"
#include "pdf/PdfNumber.h"

TPdfDictionaryWrapper::~TPdfDictionaryWrapper() = default;

void TPdfDictionaryWrapper::SetDictionary(TPdfDictionary* dictionary) { dictionary_ = dictionary; }

void TPdfDictionaryWrapper::AddNameEntries(TPdfDictionary& dictionary,
                                           std::span<const TPDF_STR_TBL> table) {
    for (const TPDF_STR_TBL& row : table)
        dictionary.Put(row.Key, std::make_unique<TPdfName>(row.Value));
}

void TPdfDictionaryWrapper::AddNumberEntries(TPdfDictionary& dictionary,
                                             std::span<const TPDF_INT_TBL> table) {
    for (const TPDF_INT_TBL& row : table)
        dictionary.Put(row.Key, std::make_unique<TPdfNumber>(row.Value));
}
