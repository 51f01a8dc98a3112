#pragma once

#include "pdf/PdfDictionaryWrapper.h"
#include "pdf/PdfViewerSettings.h"

// The document catalog: the pages node and the viewer settings.
class TPdfCatalog : public TPdfDictionaryWrapper {
  public:
    // Puts "Pages" (a reference) when the dictionary's Type is Pages; ignores anything else.
    void SetPages(TPdfDictionary* pages);
    // Changes an existing entry's name in place, else appends it.
    void SetPageLayout(TPdfPageLayout layout);
    void SetPageMode(TPdfPageMode mode);
    // In "ViewerPreferences" (created when missing); pmUseNone and pmFullScreen remove the
    // entry.
    void SetNonFullScreenPageMode(TPdfPageMode mode);
    // Puts true for each flag in the set and removes the others; an empty set on a catalog
    // without "ViewerPreferences" adds nothing.
    void SetViewerPreference(const TPdfViewerPreferences& preferences);

  private:
    TPdfDictionary& Catalog() const;
};
