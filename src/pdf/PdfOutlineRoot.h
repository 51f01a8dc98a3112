#pragma once

#include "pdf/PdfOutlineEntry.h"

// The root of a document's outline: an open node with no children. Its constructor registers
// the "/Type /Outlines" dictionary with the document's table; the document keeps the root in
// its wrapper list and frees it (and its companion) with the document.
class TPdfOutlineRoot : public TPdfOutlineEntry {
  public:
    explicit TPdfOutlineRoot(TPdfDoc& doc);

    // Puts "Count": Count when open, -Count when closed.
    void Save() override;
};
