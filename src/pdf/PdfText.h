#pragma once

#include <string>

#include "pdf/PdfObject.h"

// A PDF text string holding 8-bit text in the ANSI code page. Written as a literal "(...)"
// with backslash escapes; on a double-byte code page a text with double-byte characters is
// written instead as UTF-16 hex "<FEFF001B656E001B...>" (byte-order mark, language "en").
class TPdfText : public TPdfObject {
  public:
    explicit TPdfText(std::string value = {}) : value_(std::move(value)) {}

    const std::string& Value() const { return value_; }
    void SetValue(std::string value) { value_ = std::move(value); }
    void WriteValue(TStream& stream) override;

  private:
    std::string value_;
};
