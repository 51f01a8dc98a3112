#pragma once

#include <deque>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include <QPointer>
#include <QString>
#include <QTimer>

class QApplication;
class QWidget;

// The one application object of a GUI test executable, on the offscreen platform unless the
// environment picks another. Call before making widgets (fixtures do it in SetUp).
QApplication& TestApplication();

// Base of GUI test fixtures: the application exists before any member widget is made.
class GuiTest : public ::testing::Test {
  protected:
    GuiTest() { TestApplication(); }
};

// Answers modal windows for a test, so nothing waits for a user. Each step runs, from a queued
// call, on the next new modal window that comes up (nested ones too; a window seen before that
// is on top again is not new); a modal window that comes up
// with no step left is closed and counted as unexpected. Stops when destroyed.
class TModalDriver {
  public:
    TModalDriver();
    ~TModalDriver();
    TModalDriver(const TModalDriver&) = delete;
    TModalDriver& operator=(const TModalDriver&) = delete;

    TModalDriver& Then(std::function<void(QWidget&)> step);

    // Modal windows seen so far, with a step or without.
    int Seen() const { return seen_; }
    bool AllStepsRan() const { return steps_.empty(); }
    // Class names of the modal windows that came up with no step left.
    const std::vector<QString>& Unexpected() const { return unexpected_; }

  private:
    void poll();

    QTimer timer_;
    std::vector<QPointer<QWidget>> known_;
    std::deque<std::function<void(QWidget&)>> steps_;
    std::vector<QString> unexpected_;
    int seen_ = 0;
};

// Types the text into the widget key by key, as a keyboard would; letters outside ASCII too
// (QTest::keyClicks takes ASCII only).
void TypeText(QWidget& widget, const QString& text);

// Makes the window the active one, so focus moves deliver focus events as on a desktop.
void Activate(QWidget& window);
