#pragma once

#include <string>

#include "pdf/PdfObject.h"

// A PDF name. Value holds the name without its slash, unescaped; writing escapes as "#XX"
// every byte up to 32, from 127 up, and the delimiters # % ( ) / < > [ ] { }.
class TPdfName : public TPdfObject {
  public:
    explicit TPdfName(std::string value = {}) : value_(std::move(value)) {}

    const std::string& Value() const { return value_; }
    void SetValue(std::string value) { value_ = std::move(value); }
    void WriteValue(TStream& stream) override;

  private:
    std::string value_;
};
