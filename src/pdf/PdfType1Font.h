#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "pdf/PdfFont.h"

// A standard Type 1 font (no font program embedded): builds and registers its dictionary
// (Type, Subtype, Encoding WinAnsiEncoding, FirstChar 32, LastChar 255, BaseFont, and an
// internal, never written Widths array) and keeps the widths of all 256 codes.
class TPdfType1Font : public TPdfFont {
  public:
    // Binds the dictionary and fills the width table from its MissingWidth, FirstChar and
    // Widths entries.
    void SetDictionary(TPdfDictionary* dictionary) override;
    int CharWidth(std::string_view text, int position) const override;

    std::uint8_t FirstChar() const { return firstChar_; }
    std::uint8_t LastChar() const { return lastChar_; }

  protected:
    // widths: the 224 widths of codes 32 to 255.
    TPdfType1Font(TPdfObjectMgr& objectMgr, const std::string& name, const char* baseFont,
                  const std::int32_t* widths);

  private:
    std::uint8_t firstChar_ = 0;
    std::uint8_t lastChar_ = 0;
    std::array<std::uint16_t, 256> widths_{};
};
