#pragma once

class TPdfCanvas;

// What a print run hands to the page layouts while they print: the canvas of the PDF page being
// printed. The canvas belongs to the document; none until the run's first page.
class TPRCanvas {
  public:
    TPdfCanvas* PageCanvas() const { return pageCanvas_; }
    void SetPageCanvas(TPdfCanvas* canvas) { pageCanvas_ = canvas; }

  private:
    TPdfCanvas* pageCanvas_ = nullptr;
};
