#include "pdf/PdfCatalog.h"

#include <memory>

#include "pdf/PdfBoolean.h"
#include "pdf/PdfDictionary.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfName.h"

namespace {

void SetNameEntry(TPdfDictionary& dictionary, const char* key, const char* name) {
    if (TPdfName* existing = dictionary.NameOf(key))
        existing->SetValue(name);
    else
        dictionary.Put(key, std::make_unique<TPdfName>(name));
}

}  // namespace

TPdfDictionary& TPdfCatalog::Catalog() const {
    if (!Dictionary()) throw EPdfInvalidOperation("GetRoot --this method can not use this state..");
    return *Dictionary();
}

void TPdfCatalog::SetPages(TPdfDictionary* pages) {
    if (TypeNameOf(pages) == "Pages") Catalog().Put("Pages", *pages);
}

void TPdfCatalog::SetPageLayout(TPdfPageLayout layout) {
    SetNameEntry(Catalog(), "PageLayout", PdfPageLayoutName(layout));
}

void TPdfCatalog::SetPageMode(TPdfPageMode mode) {
    SetNameEntry(Catalog(), "PageMode", PdfPageModeName(mode));
}

void TPdfCatalog::SetNonFullScreenPageMode(TPdfPageMode mode) {
    TPdfDictionary* preferences = Catalog().DictionaryOf("ViewerPreferences");
    if (!preferences)
        preferences = Catalog().Put("ViewerPreferences",
                                    std::make_unique<TPdfDictionary>(Catalog().ObjectMgr()));
    if (mode == pmUseNone || mode == pmFullScreen)
        preferences->Remove("NonFullScreenPageMode");
    else
        SetNameEntry(*preferences, "NonFullScreenPageMode", PdfPageModeName(mode));
}

void TPdfCatalog::SetViewerPreference(const TPdfViewerPreferences& preferences) {
    TPdfDictionary* dictionary = Catalog().DictionaryOf("ViewerPreferences");
    if (!dictionary) {
        if (preferences.empty()) return;
        dictionary = Catalog().Put("ViewerPreferences",
                                   std::make_unique<TPdfDictionary>(Catalog().ObjectMgr()));
    }
    for (const TPdfViewerPreference flag :
         {vpHideToolbar, vpHideMenubar, vpHideWindowUI, vpFitWindow, vpCenterWindow}) {
        if (preferences.count(flag))
            dictionary->Put(PdfViewerPreferenceKey(flag), std::make_unique<TPdfBoolean>(true));
        else
            dictionary->Remove(PdfViewerPreferenceKey(flag));
    }
}
