#pragma once

#include "report/TControl.h"

class TPRCanvas;
class TPRPage;

// A printable element of a page layout; lives on a panel. The base prints nothing.
class TPRItem : public TControl {
  public:
    TPRItem();

    std::string ClassName() const override { return "TPRItem"; }
    bool Windowed() const override { return false; }

    bool Printable() const { return printable_; }
    void SetPrintable(bool printable) { printable_ = printable; }

    // Only a panel can hold an item ("this component must set on TPRPanel"); on a grid panel
    // the item goes onto its child panel.
    void SetParent(TControl* parent) override;

    // rect: the item's rectangle in page coordinates.
    virtual void Print(TPRCanvas& canvas, const TRect& rect);

    // The page of the item's panel; EInvalidCast when the item is not on a page.
    TPRPage& OwnerPage() const;

  private:
    bool printable_ = true;
};
