#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>

#include "platform/win/MessageQueue.h"
#include "platform/win/Window.h"
#include "platform/win/qt/QtMessagePump.h"

namespace {

std::vector<win::UINT> seen;
QEventLoop* nestedLoop = nullptr;

win::LRESULT pumpProc(win::HWND window, win::UINT message, win::WPARAM, win::LPARAM) {
    if (message == win::WM_CREATE || message == win::WM_DESTROY) return 0;
    seen.push_back(message);
    if (message == win::WM_USER + 1) {
        // A modal loop inside a handler, as a source's dialog runs one: it must serve messages
        // posted meanwhile before the handler returns.
        QEventLoop loop;
        nestedLoop = &loop;
        win::PostMessage(window, win::WM_USER + 2, 0, 0);
        loop.exec();
        nestedLoop = nullptr;
        seen.push_back(0xFFFF);
    } else if (message == win::WM_USER + 2 && nestedLoop != nullptr) {
        nestedLoop->quit();
    }
    return 0;
}

TEST(WinQtMessagePump, EventLoopAndNestedLoopsDrainTheQueue) {
    int argc = 1;
    char name[] = "win_qt_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    win::WNDCLASS cls{};
    cls.lpfnWndProc = pumpProc;
    cls.lpszClassName = "QtPumpTestWindow";
    ASSERT_NE(win::RegisterClass(&cls), 0);
    win::HWND window = win::CreateWindowEx(0, "QtPumpTestWindow", "", 0, 0, 0, 1, 1, nullptr,
                                           nullptr, nullptr, nullptr);
    // Posted before the pump exists: still served once it does.
    win::PostMessage(window, win::WM_USER, 0, 0);
    {
        win::QtMessagePump pump;
        win::PostMessage(window, win::WM_USER + 1, 0, 0);
        EXPECT_TRUE(seen.empty());
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(win::PostedMessageCount(), 0u);
    EXPECT_EQ(seen,
              (std::vector<win::UINT>{win::WM_USER, win::WM_USER + 1, win::WM_USER + 2, 0xFFFF}));
    win::DestroyWindow(window);
    win::UnregisterClass("QtPumpTestWindow", nullptr);
}

}  // namespace
