#include <clocale>
#include <locale>

#include <gtest/gtest.h>

#include "pdf/PdfFormat.h"
#include "platform/locale/LocalClock.h"

namespace {

struct NumberCase {
    double value;
    const char* text;
};

const NumberCase kNumberCases[] = {
    {596, "596"},
    {10, "10"},
    {0, "0"},
    {0.5, "0.5"},
    {12.344, "12.34"},
    {12.346, "12.35"},
    {0.004, "0"},
    {-1.234, "-1.23"},
    {-1.236, "-1.24"},
    {-0.004, "0"},
    {-0.005, "0"},  // halves round upward, toward zero for negatives
    {-0.5, "-0.5"},
    {778.5, "778.5"},
    {-26, "-26"},
    {0.125, "0.13"},
    {1.1, "1.1"},
    {100.999, "101"},
    {-100.995, "-100.99"},
    // A float's exact value decides: 0.005f lies just below 0.005, 0.025f just above 0.025.
    {static_cast<double>(0.005f), "0"},
    {static_cast<double>(0.025f), "0.03"},
    {static_cast<double>(0.125f), "0.13"},
    {static_cast<double>(778.5f), "778.5"},
};

// A decimal comma, as a Portuguese or German desktop would have.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

}  // namespace

TEST(PdfFormat, FormatPdfNumberRoundsToHundredths) {
    for (const NumberCase& c : kNumberCases)
        EXPECT_EQ(FormatPdfNumber(c.value), c.text) << "value " << c.value;
}

TEST(PdfFormat, FormatPdfRealKeepsFifteenDigits) {
    const NumberCase cases[] = {
        {1.5, "1.5"},
        {2.0, "2"},
        {-0.25, "-0.25"},
        {0.1, "0.1"},
        {1.0 / 3, "0.333333333333333"},
        {123456.789, "123456.789"},
        {-0.0, "0"},
        {1e20, "100000000000000000000"},
        {1.5e-7, "0.00000015"},
    };
    for (const NumberCase& c : cases)
        EXPECT_EQ(FormatPdfReal(c.value), c.text) << "value " << c.value;
}

TEST(PdfFormat, TextsIgnoreTheUsersDecimalComma) {
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    const bool cLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
                         std::setlocale(LC_NUMERIC, "pt_BR.UTF-8") != nullptr;
    for (const NumberCase& c : kNumberCases) EXPECT_EQ(FormatPdfNumber(c.value), c.text);
    EXPECT_EQ(FormatPdfReal(1.5), "1.5");
    if (cLocale) std::setlocale(LC_NUMERIC, "C");
    std::locale::global(previous);
}

TEST(PdfFormat, DateTextComesFromTheLocalClock) {
    struct Case {
        LocalDateTime time;
        const char* text;
    };
    const Case cases[] = {
        {{2026, 12, 11, 9, 5, 7, 0}, "D:20261211090507"},
        {{2014, 7, 9, 17, 4, 14, 999}, "D:20140709170414"},
        {{1999, 1, 1, 0, 0, 0, 0}, "D:19990101000000"},
    };
    for (const Case& c : cases) {
        FixedLocalClock clock(c.time);
        EXPECT_EQ(PdfDateText(), c.text);
    }
    EXPECT_EQ(PdfDateText().size(), 16u);
}
