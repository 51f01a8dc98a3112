#pragma once

#include "pdf/PdfObject.h"

// A PDF real: 15 significant digits, "." as separator, no trailing zeros (FormatPdfReal).
class TPdfReal : public TPdfObject {
  public:
    explicit TPdfReal(double value = 0) : value_(value) {}

    double Value() const { return value_; }
    void SetValue(double value) { value_ = value; }
    void WriteValue(TStream& stream) override;

  private:
    double value_;
};
