#pragma once

#include <cstdint>
#include <memory>

#include "pdf/PdfDictionary.h"

class TStream;

// The file trailer: its dictionary (created holding "Size" 0; the document adds "Root" and
// "Info"), owned, and the offset of the cross-reference table.
class TPdfTrailer {
  public:
    explicit TPdfTrailer(TPdfObjectMgr* objectMgr);
    ~TPdfTrailer();

    TPdfDictionary& Dictionary() const { return *dictionary_; }
    std::int64_t XrefAddress() const { return xrefAddress_; }
    void SetXrefAddress(std::int64_t address) { xrefAddress_ = address; }

    // "trailer" CR LF dictionary CR LF "startxref" CR LF address CR LF "%%EOF" CR LF.
    void WriteTo(TStream& stream) const;

  private:
    std::unique_ptr<TPdfDictionary> dictionary_;
    std::int64_t xrefAddress_ = 0;
};
