#include "pdf/PdfNull.h"

#include "pdf/Stream.h"

void TPdfNull::WriteValue(TStream& stream) { stream.WriteText("null"); }
