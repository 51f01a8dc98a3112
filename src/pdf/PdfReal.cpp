#include "pdf/PdfReal.h"

#include "pdf/PdfFormat.h"
#include "pdf/Stream.h"

void TPdfReal::WriteValue(TStream& stream) { stream.WriteText(FormatPdfReal(value_)); }
