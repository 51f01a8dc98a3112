#include "pdf/PdfName.h"

#include <string_view>

#include "pdf/Stream.h"

namespace {

bool NeedsEscape(unsigned char c) {
    if (c <= 32 || c >= 127) return true;
    return std::string_view("#%()/<>[]{}").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

void TPdfName::WriteValue(TStream& stream) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "/";
    out.reserve(value_.size() + 1);
    for (const char ch : value_) {
        const auto c = static_cast<unsigned char>(ch);
        if (NeedsEscape(c)) {
            out += '#';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    stream.WriteText(out);
}
