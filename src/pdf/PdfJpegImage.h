#pragma once

#include "pdf/PdfImages.h"

// JPEG pictures as DCTDecode images: the compressed bytes go into the stream unchanged, never
// decoded. One component is DeviceGray, four DeviceCMYK (with an inverting Decode array when an
// Adobe segment marks the data inverted), anything else DeviceRGB. EPdfInvalidValue "only jpeg
// image is allowed." for any other graphic.
class TPdfJpegImage : public TPdfImageCreator {
  public:
    std::unique_ptr<TPdfImage> ConvertGraphic(const brevanto::graphics::Graphic& graphic) override;
};
