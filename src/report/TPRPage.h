#pragma once

#include <functional>

#include "report/TControl.h"

class TPRCanvas;
class TPRPage;

using TPRPrintPageEvent = std::function<void(TPRPage& sender, TPRCanvas& canvas)>;

// One page of the PDF: its size becomes the page's media box, its margins and one-unit frame
// bound the area of aligned children.
class TPRPage : public TControl {
  public:
    TPRPage();

    std::string ClassName() const override { return "TPRPage"; }
    bool Windowed() const override { return true; }

    int MarginTop() const { return marginTop_; }
    int MarginLeft() const { return marginLeft_; }
    int MarginRight() const { return marginRight_; }
    int MarginBottom() const { return marginBottom_; }
    // A negative margin, or one not less than half the width, is ignored without a word.
    void SetMarginTop(int value) { setMargin(marginTop_, value); }
    void SetMarginLeft(int value) { setMargin(marginLeft_, value); }
    void SetMarginRight(int value) { setMargin(marginRight_, value); }
    void SetMarginBottom(int value) { setMargin(marginBottom_, value); }

    TPRPrintPageEvent OnPrintPage;

    // Sizes the canvas's page to this page, fires OnPrintPage, then prints the panels.
    void Print(TPRCanvas& canvas);

  protected:
    TRect AlignArea() const override;

  private:
    void setMargin(int& margin, int value);

    int marginTop_ = 32;
    int marginLeft_ = 32;
    int marginRight_ = 32;
    int marginBottom_ = 32;
};
