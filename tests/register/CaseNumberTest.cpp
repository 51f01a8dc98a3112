#include <gtest/gtest.h>

#include "register/CaseNumber.h"

TEST(CaseNumber, TakesOnlyIntegers) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> number;
    } cases[] = {
        {"123", 123},
        {"  42\t", 42},
        {"+7", 7},
        {"-3", -3},
        {"0012", 12},
        {"9223372036854775807", INT64_MAX},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"1 or 1=1", std::nullopt},
        {"1;delete from cadprocessospdf", std::nullopt},
        {"(select max(codprocesso) from cadprocessospdf)", std::nullopt},
        {"12a", std::nullopt},
        {"1 2", std::nullopt},
        {"1.5", std::nullopt},
        {"0x10", std::nullopt},
        {"++1", std::nullopt},
        {"+-1", std::nullopt},
        {"9223372036854775808", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseCaseNumber(c.text), c.number) << '"' << c.text << '"';
}

TEST(CaseNumber, RefusalCarriesTheUserMessage) {
    EXPECT_EQ(RequireCaseNumber(" 15 "), 15);
    try {
        RequireCaseNumber("1 or 1=1");
        FAIL() << "accepted";
    } catch (const EInvalidCaseNumber& e) {
        EXPECT_STREQ(e.what(), "Número de processo inválido.");
    }
}
