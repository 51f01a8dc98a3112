#pragma once

#include "pdf/PdfObject.h"

// A PDF boolean: "true" or "false".
class TPdfBoolean : public TPdfObject {
  public:
    explicit TPdfBoolean(bool value = false) : value_(value) {}

    bool Value() const { return value_; }
    void SetValue(bool value) { value_ = value; }
    void WriteValue(TStream& stream) override;

  private:
    bool value_;
};
