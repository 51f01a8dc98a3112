#include "pdf/PdfBoolean.h"

#include "pdf/Stream.h"

void TPdfBoolean::WriteValue(TStream& stream) { stream.WriteText(value_ ? "true" : "false"); }
