#include "pdf/PdfText.h"

#include <cstdio>

#include "pdf/Stream.h"
#include "platform/locale/AnsiCodePage.h"

namespace {

std::string LiteralForm(const std::string& text) {
    std::string out = "(";
    out.reserve(text.size() + 2);
    for (const char c : text) {
        switch (c) {
            case '(':
                out += "\\(";
                break;
            case ')':
                out += "\\)";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                out += c;
        }
    }
    out += ')';
    return out;
}

std::string UnicodeForm(const std::string& text) {
    std::string out = "<FEFF001B656E001B";
    const std::u16string units = AnsiCodePage::ToUtf16(text);
    out.reserve(out.size() + units.size() * 4 + 1);
    char hex[5];
    for (const char16_t unit : units) {
        std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(unit));
        out += hex;
    }
    out += '>';
    return out;
}

}  // namespace

void TPdfText::WriteValue(TStream& stream) {
    const bool unicode =
        AnsiCodePage::IsDoubleByte() && AnsiCodePage::HasDoubleByteCharacters(value_);
    stream.WriteText(unicode ? UnicodeForm(value_) : LiteralForm(value_));
}
