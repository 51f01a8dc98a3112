#include <string>

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "GuiTestSupport.h"
#include "platform/ui/CharCaseValidator.h"

namespace {

struct CaseFolding {
    TEditCharCase charCase;
    const char* typed;
    const char* shown;
};

class CharCaseValidatorTest : public ::testing::TestWithParam<CaseFolding> {
  protected:
    void SetUp() override { TestApplication(); }
};

TEST_P(CharCaseValidatorTest, FoldsAsTyped) {
    QLineEdit edit;
    SetCharCase(edit, GetParam().charCase);
    TypeText(edit, QString::fromUtf8(GetParam().typed));
    EXPECT_EQ(edit.text(), QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Cases, CharCaseValidatorTest,
                         ::testing::Values(CaseFolding{ecUpperCase, "maria joão", "MARIA JOÃO"},
                                           CaseFolding{ecUpperCase, "Ab1-c", "AB1-C"},
                                           CaseFolding{ecLowerCase, "SeNhA7", "senha7"},
                                           CaseFolding{ecLowerCase, "ÇÃO", "ção"},
                                           CaseFolding{ecNormal, "MiXed", "MiXed"}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(CharCaseValidator, PastedTextIsFoldedToo) {
    TestApplication();
    QLineEdit edit;
    SetCharCase(edit, ecUpperCase);
    edit.insert(QStringLiteral("colado"));
    EXPECT_EQ(edit.text(), QStringLiteral("COLADO"));
}

TEST(CharCaseValidator, MaximumLengthStillHolds) {
    TestApplication();
    QLineEdit edit;
    edit.setMaxLength(3);
    SetCharCase(edit, ecUpperCase);
    QTest::keyClicks(&edit, QStringLiteral("abcd"));
    EXPECT_EQ(edit.text(), QStringLiteral("ABC"));
}

}  // namespace
