#include "pdf/PdfViewerSettings.h"

const char* PdfPageLayoutName(TPdfPageLayout layout) {
    switch (layout) {
        case plOneColumn:
            return "OneColumn";
        case plTwoColumnLeft:
            return "TwoColumnLeft";
        case plTwoColumnRight:
            return "TwoColumnRight";
        case plSinglePage:
            break;
    }
    return "SinglePage";
}

const char* PdfPageModeName(TPdfPageMode mode) {
    switch (mode) {
        case pmUseOutlines:
            return "UseOutlines";
        case pmUseThumbs:
            return "UseThumbs";
        case pmFullScreen:
            return "FullScreen";
        case pmUseNone:
            break;
    }
    return "UseNone";
}

const char* PdfViewerPreferenceKey(TPdfViewerPreference preference) {
    switch (preference) {
        case vpHideToolbar:
            return "HideToolbar";
        case vpHideMenubar:
            return "HideMenubar";
        case vpHideWindowUI:
            return "HideWindowUI";
        case vpFitWindow:
            return "FitWindow";
        case vpCenterWindow:
            return "CenterWindow";
    }
    return "";
}
