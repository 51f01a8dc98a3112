#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The system's ANSI code page: the 8-bit character set that texts of the PDF writer (and other
// 8-bit texts handed to the outside world) are in. Process-wide; Windows-1252 unless set
// otherwise. Conversions go through glibc's iconv. Bytes that do not decode become U+FFFD;
// characters the page cannot hold become '?'. Nothing here throws while converting.
class AnsiCodePage {
  public:
    static constexpr unsigned kDefault = 1252;

    // The current code page number (1252, 932, ...).
    static unsigned Current();
    // Makes codePage current; throws std::invalid_argument ("unsupported ANSI code page N")
    // when iconv cannot convert it, leaving the current page unchanged.
    static void Set(unsigned codePage);

    // Whether the current page encodes some characters in two bytes (932, 936, 949, 950).
    static bool IsDoubleByte();
    // Whether the byte starts a two-byte character in the current page (false on single-byte
    // pages).
    static bool IsLeadByte(std::uint8_t byte);
    // Whether any byte of the text belongs to a two-byte character of the current page.
    static bool HasDoubleByteCharacters(std::string_view text);

    static std::string ToUtf8(std::string_view ansi);
    static std::string FromUtf8(std::string_view utf8);
    static std::u16string ToUtf16(std::string_view ansi);
};

// Sets the code page for the lifetime of the object and restores the previous one (tests).
class ScopedAnsiCodePage {
  public:
    explicit ScopedAnsiCodePage(unsigned codePage);
    ~ScopedAnsiCodePage();
    ScopedAnsiCodePage(const ScopedAnsiCodePage&) = delete;
    ScopedAnsiCodePage& operator=(const ScopedAnsiCodePage&) = delete;

  private:
    unsigned previous_;
};
