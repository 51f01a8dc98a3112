#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "GuiTestSupport.h"
#include "platform/ui/ExitWatcher.h"

namespace {

class ExitWatcherTest : public GuiTest {
  protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        first = new QLineEdit(&window);
        second = new QLineEdit(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        OnExit(*first, [this] { ++exits; });
        window.show();
        Activate(window);
        first->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(first->hasFocus());
    }

    QWidget window;
    QLineEdit* first = nullptr;
    QLineEdit* second = nullptr;
    int exits = 0;
};

TEST_F(ExitWatcherTest, TabToTheNextControlIsAnExit) {
    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_TRUE(second->hasFocus());
    EXPECT_EQ(exits, 1);
}

TEST_F(ExitWatcherTest, ClickOnAnotherControlIsAnExit) {
    QTest::mouseClick(second, Qt::LeftButton);
    EXPECT_EQ(exits, 1);
}

TEST_F(ExitWatcherTest, AnotherWindowComingUpIsNoExit) {
    QWidget other;
    other.show();
    Activate(other);
    EXPECT_EQ(exits, 0);
    Activate(window);
    EXPECT_TRUE(first->hasFocus());
    EXPECT_EQ(exits, 0);
}

}  // namespace
