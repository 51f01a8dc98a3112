#pragma once

// The fonts of the PDF writer: the font base, the standard Type 1 fonts and their
// registration.
#include "pdf/PdfFont.h"
#include "pdf/PdfStandardFonts.h"
#include "pdf/PdfType1Font.h"
