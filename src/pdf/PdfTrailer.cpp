#include "pdf/PdfTrailer.h"

#include <string>

#include "pdf/PdfNumber.h"
#include "pdf/Stream.h"

TPdfTrailer::TPdfTrailer(TPdfObjectMgr* objectMgr)
    : dictionary_(std::make_unique<TPdfDictionary>(objectMgr)) {
    dictionary_->Put("Size", std::make_unique<TPdfNumber>(0));
}

TPdfTrailer::~TPdfTrailer() = default;

void TPdfTrailer::WriteTo(TStream& stream) const {
    stream.WriteText("trailer\r\n");
    dictionary_->WriteTo(stream);
    stream.WriteText("\r\nstartxref\r\n" + std::to_string(xrefAddress_) + "\r\n%%EOF\r\n");
}
