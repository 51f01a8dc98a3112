#include <gtest/gtest.h>

#include <QGuiApplication>

#include "GuiTestSupport.h"
#include "platform/ui/MessageBox.h"

namespace {

class MessageBoxTest : public ::testing::Test {
  protected:
    void SetUp() override { TestApplication(); }
};

TEST_F(MessageBoxTest, InterceptorRecordsEveryDetail) {
    TMessageBoxInterceptor boxes;
    TMessageBox::Show(nullptr, "Pasta não encontrada", "Atenção", TMsgIcon::Question,
                      TMsgButtons::YesNo);
    ASSERT_EQ(boxes.Messages().size(), 1u);
    const TMessage& m = boxes.Messages()[0];
    EXPECT_EQ(m.Text, QStringLiteral("Pasta não encontrada"));
    EXPECT_EQ(m.Caption, QStringLiteral("Atenção"));
    EXPECT_EQ(m.Icon, TMsgIcon::Question);
    EXPECT_EQ(m.Buttons, TMsgButtons::YesNo);
}

TEST_F(MessageBoxTest, QuestionsTakeQueuedAnswersThenYes) {
    TMessageBoxInterceptor boxes;
    boxes.Answer(TMsgResult::No);
    boxes.Answer(TMsgResult::Yes);
    const auto ask = [] {
        return TMessageBox::Show(nullptr, "?", "c", TMsgIcon::Question, TMsgButtons::YesNo);
    };
    EXPECT_EQ(ask(), TMsgResult::No);
    // A plain message consumes no answer.
    EXPECT_EQ(TMessageBox::Show(nullptr, "i", "c", TMsgIcon::Information), TMsgResult::Ok);
    EXPECT_EQ(ask(), TMsgResult::Yes);
    EXPECT_EQ(ask(), TMsgResult::Yes);
}

TEST_F(MessageBoxTest, ErrorsCarryTheProgramTitle) {
    TMessageBoxInterceptor boxes;
    TMessageBox::ShowError(nullptr, "Unknown database 'x'");
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].Caption, QStringLiteral("Brevanto - Scanner"));
    EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::Error);
    EXPECT_EQ(boxes.Messages()[0].Buttons, TMsgButtons::Ok);
}

TEST_F(MessageBoxTest, InnerInterceptorGivesBackToOuter) {
    TMessageBoxInterceptor outer;
    {
        TMessageBoxInterceptor inner;
        TMessageBox::Show(nullptr, "inner", "c", TMsgIcon::None);
        EXPECT_EQ(inner.Messages().size(), 1u);
    }
    TMessageBox::Show(nullptr, "outer", "c", TMsgIcon::None);
    ASSERT_EQ(outer.Messages().size(), 1u);
    EXPECT_EQ(outer.Messages()[0].Text, QStringLiteral("outer"));
}

TEST_F(MessageBoxTest, UnseenScreenGetsTheCautiousAnswer) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        GTEST_SKIP() << "only on the offscreen platform";
    EXPECT_EQ(TMessageBox::Show(nullptr, "Delete?", "c", TMsgIcon::Question, TMsgButtons::YesNo),
              TMsgResult::No);
    EXPECT_EQ(TMessageBox::Show(nullptr, "Done", "c", TMsgIcon::None), TMsgResult::Ok);
}

}  // namespace
