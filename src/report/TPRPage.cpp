#include "report/TPRPage.h"

#include "pdf/PdfDoc.h"
#include "report/TPRCanvas.h"
#include "report/TPRItem.h"
#include "report/TPRPanel.h"

namespace {

// The raised bevel the page keeps from the toolkit panel.
constexpr int kFrame = 1;

}  // namespace

TPRPage::TPRPage() : TControl(596, 842) {}

void TPRPage::setMargin(int& margin, int value) {
    if (value == margin || value < 0 || value >= Width() / 2) return;
    margin = value;
    Realign();
}

TRect TPRPage::AlignArea() const {
    return {marginLeft_ + kFrame, marginTop_ + kFrame, Width() - marginRight_ - kFrame,
            Height() - marginBottom_ - kFrame};
}

void TPRPage::Print(TPRCanvas& canvas) {
    // Without a page there is nothing to size, as the canvas itself would say.
    if (canvas.PageCanvas() == nullptr) throw EPdfInvalidOperation("GetPage --the Page is nil");
    TPdfCanvas& pdf = *canvas.PageCanvas();
    pdf.SetPageHeight(Height());
    pdf.SetPageWidth(Width());
    if (OnPrintPage) OnPrintPage(*this, canvas);
    // Items first, then panels; only panels print on a page.
    std::vector<TControl*> children = Controls();
    children.insert(children.end(), WinControls().begin(), WinControls().end());
    for (TControl* c : children)
        if (auto* panel = dynamic_cast<TPRPanel*>(c)) panel->Print(canvas, panel->BoundsRect());
}
