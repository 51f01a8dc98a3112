#include "pdf/PdfNumber.h"

#include <string>

#include "pdf/Stream.h"

void TPdfNumber::WriteValue(TStream& stream) { stream.WriteText(std::to_string(value_)); }
