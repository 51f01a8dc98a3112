#pragma once

#include "pdf/PdfOutlineEntry.h"

class TPdfOutlineRoot;

// The report component's handle on a document-level outline entry (not owned).
class TPROutlineEntry : public TPdfOutlineCompanion {
  public:
    explicit TPROutlineEntry(TPdfOutlineEntry& entry) : entry_(&entry) {}
    TPdfOutlineEntry& Entry() const { return *entry_; }

  private:
    TPdfOutlineEntry* entry_;
};

// The wrapper of a document's outline root. It attaches itself to the root as its companion, so
// the root owns it and frees it with the document.
class TPROutlineRoot : public TPROutlineEntry {
  public:
    // Creates the wrapper, hands it to root and answers it.
    static TPROutlineRoot& AttachTo(TPdfOutlineRoot& root);

  private:
    explicit TPROutlineRoot(TPdfOutlineRoot& root);
};
