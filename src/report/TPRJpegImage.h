#pragma once

#include "report/TPRImage.h"

// The picture item for JPEG pictures: their compressed bytes go into the document unchanged.
class TPRJpegImage : public TPRImage {
  public:
    std::string ClassName() const override { return "TPRJpegImage"; }

    // Also checks Printable, which the bitmap item leaves to its panel.
    void Print(TPRCanvas& canvas, const TRect& rect) override;

  protected:
    bool Accepts(const brevanto::graphics::Graphic& graphic) const override;
    const char* RefusalMessage() const override { return "only jpeg image is allowed."; }
    const char* CreatorName() const override { return "Pdf-Jpeg"; }
    std::string FreshImageName(const TPdfDoc& doc) const override;
};
