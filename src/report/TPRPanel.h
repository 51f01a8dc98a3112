#pragma once

#include "report/TControl.h"

class TPRCanvas;
class TPRPage;

// A container of printable items and of further panels.
class TPRPanel : public TControl {
  public:
    TPRPanel();

    std::string ClassName() const override { return "TPRPanel"; }
    bool Windowed() const override { return true; }

    // Prints the children, items first, then panels, each moved by rect's top-left corner.
    virtual void Print(TPRCanvas& canvas, const TRect& rect);

    // The page this panel lies on: its parent if that is a page, else its parent panel's page.
    // EInvalidCast when the chain is broken.
    TPRPage& OwnerPage() const;
};

// The panel a grid panel prints once per cell; only a grid panel makes one.
class TPRChildPanel : public TPRPanel {
  public:
    std::string ClassName() const override { return "TPRChildPanel"; }
};
