#pragma once

#include <string>

// Number and date texts of the PDF writer; "." as the decimal separator whatever the locale.

// A content-stream operand: the value rounded to hundredths, halves upward, no trailing
// zeros ("596", "0.5", "12.35", "-1.24"). Works on the value as received, so a float's exact
// binary value decides (0.005f gives "0", 0.025f gives "0.03").
std::string FormatPdfNumber(double value);

// A real object's text: 15 significant digits, no trailing zeros, no point when integral.
std::string FormatPdfReal(double value);

// "D:YYYYMMDDHHmmSS" of the local clock (LocalClock::Now).
std::string PdfDateText();
