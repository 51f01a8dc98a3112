#include "pdf/PdfOutlineRoot.h"

#include <memory>

#include "pdf/PdfDictionary.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfName.h"
#include "pdf/PdfNumber.h"
#include "pdf/PdfXref.h"

TPdfOutlineRoot::TPdfOutlineRoot(TPdfDoc& doc) : TPdfOutlineEntry(doc) {
    SetCount(0);
    SetOpened(true);
    if (!doc.Xref()) throw EPdfInvalidOperation("GetOutlineRoot --document is null..");
    auto& dictionary = doc.Xref()->Register(std::make_unique<TPdfDictionary>(doc.Xref()));
    SetDictionary(&dictionary);
    dictionary.Put("Type", std::make_unique<TPdfName>("Outlines"));
}

void TPdfOutlineRoot::Save() {
    Dictionary()->Put("Count", std::make_unique<TPdfNumber>(Opened() ? Count() : -Count()));
}
