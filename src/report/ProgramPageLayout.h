#pragma once

#include "report/TPRGridPanel.h"
#include "report/TPRJpegImage.h"
#include "report/TPRPage.h"

// The hidden page layout every filed document is printed with: an A4 page of 596 x 842 with
// margins of 1, a grid panel of one cell filling it, and a JPEG item filling that cell,
// stretched. Load a page's picture into PRJpegImage1 and print pagina once per page.
//
// The three components are members; the panel and the item are children of the page through
// their parents, not owned by them.
struct TProgramPageLayout {
    TProgramPageLayout();
    TProgramPageLayout(const TProgramPageLayout&) = delete;
    TProgramPageLayout& operator=(const TProgramPageLayout&) = delete;

    TPRPage pagina;
    TPRGridPanel PRGridPanel1;
    TPRJpegImage PRJpegImage1;
};
