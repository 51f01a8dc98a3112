#pragma once

#include <memory>

#include "pdf/MemoryStream.h"
#include "pdf/PdfDictionary.h"
#include "pdf/PdfObject.h"

// A PDF stream: its attribute dictionary (created holding "Length" 0 and an empty "Filter"
// array, in that order) and its data, both owned. Nothing is ever compressed: writing drops a
// "FlateDecode" filter name, sets Length to the data size and writes the data unchanged.
class TPdfStream : public TPdfObject {
  public:
    explicit TPdfStream(TPdfObjectMgr* objectMgr = nullptr);
    ~TPdfStream() override;

    TPdfDictionary& Dictionary() const { return *dictionary_; }
    TMemoryStream& Data() const { return *data_; }

    void WriteValue(TStream& stream) override;

  private:
    std::unique_ptr<TPdfDictionary> dictionary_;
    std::unique_ptr<TMemoryStream> data_;
};

// A stream that is an external object (its dictionary says /Type /XObject).
class TPdfXObject : public TPdfStream {
  public:
    using TPdfStream::TPdfStream;
};

// An image XObject (/Subtype /Image); built by the image creators.
class TPdfImage : public TPdfXObject {
  public:
    using TPdfXObject::TPdfXObject;
};
