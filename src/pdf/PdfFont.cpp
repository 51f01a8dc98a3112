#include "pdf/PdfFont.h"

TPdfFont::TPdfFont(TPdfObjectMgr&, std::string name) : name_(std::move(name)) {}

int TPdfFont::CharWidth(std::string_view, int) const { return 0; }
