#pragma once

#include <functional>
#include <memory>

#include "report/TPRPanel.h"

enum TPrintDirection { pdHorz, pdVert };

class TPRGridPanel;

using TPRPrintPanelEvent = std::function<void(TPRGridPanel& sender, TPRCanvas& canvas, TRect rect)>;
using TPRPrintChildPanelEvent =
    std::function<void(TPRGridPanel& sender, TPRCanvas& canvas, int col, int row, TRect rect)>;

// Prints the contents of its child panel once per cell of a ColCount × RowCount grid. Owns the
// child panel; whatever is placed on the grid panel goes onto the child panel.
class TPRGridPanel : public TPRPanel {
  public:
    TPRGridPanel();
    ~TPRGridPanel() override;

    std::string ClassName() const override { return "TPRGridPanel"; }

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    // std::runtime_error "invalid colcount" / "invalid rowcount" for a count of 0 or less or
    // one that leaves cells under 10 units; the count is then unchanged.
    void SetColCount(int value);
    void SetRowCount(int value);

    TPrintDirection PrintDirection() const { return printDirection_; }
    void SetPrintDirection(TPrintDirection direction) { printDirection_ = direction; }

    TPRChildPanel& ChildPanel() const { return *childPanel_; }

    // Only a panel or a page can hold a grid panel.
    void SetParent(TControl* parent) override;

    void Print(TPRCanvas& canvas, const TRect& rect) override;

    TPRPrintPanelEvent BeforePrint;
    TPRPrintPanelEvent AfterPrint;
    TPRPrintChildPanelEvent BeforePrintChild;
    TPRPrintChildPanelEvent AfterPrintChild;

  protected:
    TRect AlignArea() const override;
    TControl* ContainerForChildren() override { return childPanel_.get(); }

  private:
    void printCell(TPRCanvas& canvas, const TRect& rect, int col, int row);

    int colCount_ = 1;
    int rowCount_ = 1;
    TPrintDirection printDirection_ = pdHorz;
    std::unique_ptr<TPRChildPanel> childPanel_;
};
