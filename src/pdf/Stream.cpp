#include "pdf/Stream.h"

void TStream::WriteText(std::string_view text) { Write(text.data(), text.size()); }
