#include "pdf/PdfFormat.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/locale/LocalClock.h"

std::string FormatPdfNumber(double value) {
    const double scaled = std::floor(value * 100.0 + 0.5);
    // No caller comes near these limits; keep the text sane rather than overflow.
    if (std::isnan(scaled)) return "0";
    constexpr double kLimit = 9.2e18;
    const std::int64_t k = static_cast<std::int64_t>(scaled > kLimit    ? kLimit
                                                     : scaled < -kLimit ? -kLimit
                                                                        : scaled);
    const std::uint64_t magnitude = k < 0 ? static_cast<std::uint64_t>(-k) : k;
    std::string text = k < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    const unsigned fraction = static_cast<unsigned>(magnitude % 100);
    if (fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

std::string FormatPdfReal(double value) {
    if (!std::isfinite(value) || value == 0) return "0";
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    if (text.find('e') == std::string::npos) return text;
    // PDF has no exponent syntax: very large or very small values are written in full.
    const int precision = std::fabs(value) >= 1 ? 0 : 20;
    result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    text.assign(buffer, result.ptr);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

std::string PdfDateText() {
    const LocalDateTime t = LocalClock::Now();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "D:%04d%02d%02d%02d%02d%02d", t.Year, t.Month, t.Day,
                  t.Hour, t.Minute, t.Second);
    return buffer;
}
