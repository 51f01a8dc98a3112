#pragma once

#include <set>

// How a viewer lays pages out.
enum TPdfPageLayout { plSinglePage, plOneColumn, plTwoColumnLeft, plTwoColumnRight };

// What a viewer shows beside the pages.
enum TPdfPageMode { pmUseNone, pmUseOutlines, pmUseThumbs, pmFullScreen };

// Flags of the viewer-preferences dictionary.
enum TPdfViewerPreference {
    vpHideToolbar,
    vpHideMenubar,
    vpHideWindowUI,
    vpFitWindow,
    vpCenterWindow
};

using TPdfViewerPreferences = std::set<TPdfViewerPreference>;

// Content streams are never compressed.
enum TPdfCompressionMethod { cmNone };

const char* PdfPageLayoutName(TPdfPageLayout layout);
const char* PdfPageModeName(TPdfPageMode mode);
const char* PdfViewerPreferenceKey(TPdfViewerPreference preference);
