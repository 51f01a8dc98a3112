#include "report/TPRPanel.h"

#include "report/ReportErrors.h"
#include "report/TPRItem.h"
#include "report/TPRPage.h"

// The toolkit panel's default width, and the panel's own height.
TPRPanel::TPRPanel() : TControl(185, 100) {}

void TPRPanel::Print(TPRCanvas& canvas, const TRect& rect) {
    auto moved = [&rect](const TControl& c) {
        TRect r = c.BoundsRect();
        return TRect{r.Left + rect.Left, r.Top + rect.Top, r.Right + rect.Left,
                     r.Bottom + rect.Top};
    };
    // Copies: a print event may rearrange the tree.
    const auto items = Controls();
    for (TControl* c : items)
        if (auto* item = dynamic_cast<TPRItem*>(c); item != nullptr && item->Printable())
            item->Print(canvas, moved(*item));
    const auto panels = WinControls();
    for (TControl* c : panels)
        if (auto* panel = dynamic_cast<TPRPanel*>(c)) panel->Print(canvas, moved(*panel));
}

TPRPage& TPRPanel::OwnerPage() const {
    if (auto* page = dynamic_cast<TPRPage*>(Parent())) return *page;
    if (auto* panel = dynamic_cast<TPRPanel*>(Parent())) return panel->OwnerPage();
    throw EInvalidCast();
}
