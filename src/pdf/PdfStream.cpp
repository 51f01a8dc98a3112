#include "pdf/PdfStream.h"

#include "pdf/PdfArray.h"
#include "pdf/PdfNumber.h"
#include "pdf/Stream.h"

TPdfStream::TPdfStream(TPdfObjectMgr* objectMgr)
    : dictionary_(std::make_unique<TPdfDictionary>(objectMgr)),
      data_(std::make_unique<TMemoryStream>()) {
    dictionary_->Put("Length", std::make_unique<TPdfNumber>(0));
    dictionary_->Put("Filter", std::make_unique<TPdfArray>(objectMgr));
}

TPdfStream::~TPdfStream() = default;

void TPdfStream::WriteValue(TStream& stream) {
    TPdfNumber* length = dictionary_->NumberOf("Length");
    if (auto* filter = dynamic_cast<TPdfArray*>(dictionary_->ValueOf("Filter")))
        filter->RemoveNameItem("FlateDecode");
    if (length) length->SetValue(static_cast<std::int32_t>(data_->Size()));
    dictionary_->WriteTo(stream);
    stream.WriteText("\r\nstream\r\n");
    data_->WriteTo(stream);
    stream.WriteText("\nendstream");
}
