#pragma once

#include "report/TPRImage.h"

// The picture item for JPEG pictures: their compressed bytes go into the document unchanged.
class TPRJpegImage : public TPRImage {
  public:
    std::string ClassName() const override { return "TPRJpegImage"; }

    // std::runtime_error "only jpeg image is allowed." for a graphic that is not a JPEG.
    void SetPicture(const brevanto::graphics::Picture* picture) override;
    void Print(TPRCanvas& canvas, const TRect& rect) override;

  protected:
    bool Accepts(const brevanto::graphics::Graphic& graphic) const override;
    const char* CreatorName() const override { return "Pdf-Jpeg"; }
    std::string FreshImageName(const TPdfDoc& doc) const override;
};
