#pragma once

#include <memory>

#include "pdf/MemoryStream.h"
#include "pdf/PdfObject.h"

// Bytes written into the file exactly as they are: the caller puts valid PDF syntax there
// (for example a hexadecimal string "<...>"). Owns its data.
class TPdfBinary : public TPdfObject {
  public:
    TPdfBinary();
    ~TPdfBinary() override;

    TMemoryStream& Data() const { return *data_; }
    void WriteValue(TStream& stream) override;

  private:
    std::unique_ptr<TMemoryStream> data_;
};
