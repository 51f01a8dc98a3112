#include "platform/locale/AnsiCodePage.h"

#include <cerrno>
#include <stdexcept>
#include <vector>

#include <iconv.h>

namespace {

unsigned& CurrentPage() {
    static unsigned page = AnsiCodePage::kDefault;
    return page;
}

std::string IconvName(unsigned codePage) { return "CP" + std::to_string(codePage); }

// One iconv conversion descriptor, closed on scope exit.
class Converter {
  public:
    Converter(const std::string& to, const std::string& from)
        : handle_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (Valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input. skip(in, left) tells how many input bytes an undecodable sequence
    // spans; replacement is written in its place.
    template <class SkipFn>
    std::string Run(std::string_view input, std::string_view replacement, SkipFn skip) {
        std::string out;
        if (!Valid()) return out;
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        std::vector<char> buffer(4096);
        while (inLeft > 0) {
            char* outPtr = buffer.data();
            size_t outLeft = buffer.size();
            const size_t rc = iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer.data(), buffer.size() - outLeft);
            if (rc != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (cut-off sequence at the end): replace and go on.
            const size_t n = std::min(inLeft, skip(static_cast<unsigned char>(*in), inLeft));
            in += n;
            inLeft -= n;
            out.append(replacement);
            iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        }
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        iconv(handle_, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        return out;
    }

  private:
    iconv_t handle_;
};

size_t SkipOneByte(unsigned char, size_t) { return 1; }

// Length of the UTF-8 sequence that starts with the byte (1 for a stray byte).
size_t Utf8SequenceLength(unsigned char lead, size_t) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

const char kUtf8Replacement[] = "\xEF\xBF\xBD";
const char kUtf16Replacement[] = "\xFF\xFD";

}  // namespace

unsigned AnsiCodePage::Current() { return CurrentPage(); }

void AnsiCodePage::Set(unsigned codePage) {
    Converter probe("UTF-8", IconvName(codePage));
    if (!probe.Valid())
        throw std::invalid_argument("unsupported ANSI code page " + std::to_string(codePage));
    CurrentPage() = codePage;
}

bool AnsiCodePage::IsDoubleByte() {
    switch (CurrentPage()) {
        case 932:
        case 936:
        case 949:
        case 950:
            return true;
        default:
            return false;
    }
}

bool AnsiCodePage::IsLeadByte(std::uint8_t byte) {
    switch (CurrentPage()) {
        case 932:
            return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        case 936:
        case 949:
        case 950:
            return byte >= 0x81 && byte <= 0xFE;
        default:
            return false;
    }
}

bool AnsiCodePage::HasDoubleByteCharacters(std::string_view text) {
    // Scanning from the start, the first lead byte is always at a character boundary, and
    // trail bytes only follow lead bytes: one lead byte decides.
    for (const char c : text)
        if (IsLeadByte(static_cast<std::uint8_t>(c))) return true;
    return false;
}

std::string AnsiCodePage::ToUtf8(std::string_view ansi) {
    Converter c("UTF-8", IconvName(CurrentPage()));
    return c.Run(ansi, kUtf8Replacement, SkipOneByte);
}

std::string AnsiCodePage::FromUtf8(std::string_view utf8) {
    Converter c(IconvName(CurrentPage()), "UTF-8");
    return c.Run(utf8, "?", Utf8SequenceLength);
}

std::u16string AnsiCodePage::ToUtf16(std::string_view ansi) {
    Converter c("UTF-16BE", IconvName(CurrentPage()));
    const std::string bytes = c.Run(ansi, std::string_view(kUtf16Replacement, 2), SkipOneByte);
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>((static_cast<unsigned char>(bytes[i]) << 8) |
                                              static_cast<unsigned char>(bytes[i + 1])));
    return units;
}

ScopedAnsiCodePage::ScopedAnsiCodePage(unsigned codePage) : previous_(AnsiCodePage::Current()) {
    AnsiCodePage::Set(codePage);
}

ScopedAnsiCodePage::~ScopedAnsiCodePage() { AnsiCodePage::Set(previous_); }
