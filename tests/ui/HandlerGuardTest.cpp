#include <stdexcept>

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/MessageBox.h"

namespace {

class HandlerGuardTest : public ::testing::Test {
  protected:
    void SetUp() override { TestApplication(); }
    TMessageBoxInterceptor boxes;
};

TEST_F(HandlerGuardTest, ErrorIsShownWithItsOwnTextAndTheHandlerStops) {
    bool after = false;
    const bool ok = RunGuarded(nullptr, [&] {
        throw std::runtime_error("Table 'beleza.cadparametos' doesn't exist");
        after = true;
    });
    EXPECT_FALSE(ok);
    EXPECT_FALSE(after);
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].Text,
              QStringLiteral("Table 'beleza.cadparametos' doesn't exist"));
    EXPECT_EQ(boxes.Messages()[0].Caption, QStringLiteral("Brevanto - Scanner"));
    EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::Error);
}

TEST_F(HandlerGuardTest, HandlerWithoutErrorShowsNothing) {
    int runs = 0;
    EXPECT_TRUE(RunGuarded(nullptr, [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(HandlerGuardTest, TextIsTakenAsUtf8) {
    RunGuarded(nullptr, [] { throw std::runtime_error("Número de processo inválido."); });
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].Text, QStringLiteral("Número de processo inválido."));
}

TEST_F(HandlerGuardTest, SomethingThatIsNoExceptionStillGivesAMessage) {
    EXPECT_FALSE(RunGuarded(nullptr, [] { throw 42; }));
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].Text, QStringLiteral("Unknown error"));
}

TEST_F(HandlerGuardTest, GuardedSlotKeepsTheEventLoopSafe) {
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, Guard(&button, [&] {
        ++clicks;
        throw std::runtime_error("Lost connection to server during query");
    }));
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(boxes.Messages().size(), 2u);
    EXPECT_EQ(boxes.Messages()[1].Text, QStringLiteral("Lost connection to server during query"));
}

}  // namespace
