#pragma once

#include <cstdint>

#include "pdf/PdfObject.h"

// A PDF integer, written in decimal with a "-" when negative.
class TPdfNumber : public TPdfObject {
  public:
    explicit TPdfNumber(std::int32_t value = 0) : value_(value) {}

    std::int32_t Value() const { return value_; }
    void SetValue(std::int32_t value) { value_ = value; }
    void WriteValue(TStream& stream) override;

  private:
    std::int32_t value_;
};
