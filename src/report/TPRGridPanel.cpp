#include "report/TPRGridPanel.h"

#include <stdexcept>

#include "report/TPRPage.h"

TPRGridPanel::TPRGridPanel() : childPanel_(std::make_unique<TPRChildPanel>()) {
    childPanel_->SetAlign(alClient);
    childPanel_->PlaceOn(this);
}

TPRGridPanel::~TPRGridPanel() = default;

void TPRGridPanel::SetColCount(int value) {
    if (value == colCount_) return;
    if (value <= 0 || Width() / value < 10) throw std::runtime_error("invalid colcount");
    colCount_ = value;
    Realign();
}

void TPRGridPanel::SetRowCount(int value) {
    if (value == rowCount_) return;
    if (value <= 0 || Height() / value < 10) throw std::runtime_error("invalid rowcount");
    rowCount_ = value;
    Realign();
}

void TPRGridPanel::SetParent(TControl* parent) {
    if (parent != nullptr && dynamic_cast<TPRPanel*>(parent) == nullptr &&
        dynamic_cast<TPRPage*>(parent) == nullptr)
        throw std::runtime_error("TPRPage can not set on " + parent->ClassName());
    TPRPanel::SetParent(parent);
}

TRect TPRGridPanel::AlignArea() const {
    TRect area{0, 0, Width(), Height()};
    if (colCount_ > 1) area.Right = Width() / colCount_;
    if (rowCount_ > 1) area.Bottom = Height() / rowCount_;
    return area;
}

void TPRGridPanel::Print(TPRCanvas& canvas, const TRect& rect) {
    if (BeforePrint) BeforePrint(*this, canvas, rect);
    if (printDirection_ == pdHorz) {
        for (int row = 0; row < rowCount_; ++row)
            for (int col = 0; col < colCount_; ++col) printCell(canvas, rect, col, row);
    } else {
        for (int col = 0; col < colCount_; ++col)
            for (int row = 0; row < rowCount_; ++row) printCell(canvas, rect, col, row);
    }
    if (AfterPrint) AfterPrint(*this, canvas, rect);
}

void TPRGridPanel::printCell(TPRCanvas& canvas, const TRect& rect, int col, int row) {
    // Real division, truncated towards zero.
    const int dx = static_cast<int>(static_cast<double>(col) * Width() / colCount_);
    const int dy = static_cast<int>(static_cast<double>(row) * Height() / rowCount_);
    const TRect cell{rect.Left + dx, rect.Top + dy, rect.Left + dx + childPanel_->Width(),
                     rect.Top + dy + childPanel_->Height()};
    if (BeforePrintChild) BeforePrintChild(*this, canvas, col, row, cell);
    childPanel_->Print(canvas, cell);
    if (AfterPrintChild) AfterPrintChild(*this, canvas, col, row, cell);
}
