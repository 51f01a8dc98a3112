#include "pdf/PdfHeader.h"

#include "pdf/Stream.h"

void TPdfHeader::WriteTo(TStream& stream) const { stream.WriteText("%PDF-1.2 \r\n"); }
