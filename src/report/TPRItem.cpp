#include "report/TPRItem.h"

#include <stdexcept>

#include "report/ReportErrors.h"
#include "report/TPRPanel.h"

TPRItem::TPRItem() : TControl(100, 30) {}

void TPRItem::SetParent(TControl* parent) {
    if (parent != nullptr && dynamic_cast<TPRPanel*>(parent) == nullptr)
        throw std::runtime_error("this component must set on TPRPanel");
    TControl::SetParent(parent);
}

void TPRItem::Print(TPRCanvas&, const TRect&) {}

TPRPage& TPRItem::OwnerPage() const {
    if (auto* panel = dynamic_cast<TPRPanel*>(Parent())) return panel->OwnerPage();
    throw EInvalidCast();
}
