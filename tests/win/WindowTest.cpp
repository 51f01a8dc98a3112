#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win/MessageQueue.h"
#include "platform/win/Module.h"
#include "platform/win/Window.h"

namespace {

struct Seen {
    win::UINT message;
    win::WPARAM wParam;
    win::LPARAM lParam;
};

struct Recorder {
    std::vector<Seen> seen;
    void* createParam = nullptr;
    std::string createTitle;
    // Posted from inside the handler of message `repostOn`, then drained as a modal loop would.
    win::UINT repostOn = 0;
    std::size_t nestedDispatched = 0;
};

win::LRESULT recorderProc(win::HWND window, win::UINT message, win::WPARAM wParam,
                          win::LPARAM lParam) {
    if (message == win::WM_CREATE) {
        const auto* create = reinterpret_cast<const win::CREATESTRUCT*>(lParam);
        auto* recorder = static_cast<Recorder*>(create->lpCreateParams);
        win::SetWindowLongPtr(window, win::GWLP_USERDATA,
                              reinterpret_cast<win::LONG_PTR>(recorder));
        recorder->createParam = create->lpCreateParams;
        recorder->createTitle = create->lpszName;
        return 0;
    }
    auto* recorder = reinterpret_cast<Recorder*>(win::GetWindowLongPtr(window, win::GWLP_USERDATA));
    if (recorder == nullptr) return win::DefWindowProc(window, message, wParam, lParam);
    recorder->seen.push_back({message, wParam, lParam});
    if (message == win::WM_APP + 99) throw std::runtime_error("handler failed");
    if (recorder->repostOn != 0 && message == recorder->repostOn) {
        win::PostMessage(window, message + 1, 0, 0);
        recorder->nestedDispatched = win::DispatchPostedMessages();
        recorder->seen.push_back({0xFFFF, 0, 0});  // marks the end of the outer handler
    }
    return 42;
}

class WinWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        win::WNDCLASS cls{};
        cls.lpfnWndProc = recorderProc;
        cls.lpszClassName = "WinWindowTestClass";
        ASSERT_NE(win::RegisterClass(&cls), 0);
        window_ = win::CreateWindowEx(0, "winwindowtestclass", "Hidden", 0, 10, 10, 100, 100,
                                      nullptr, nullptr, win::GetModuleHandle(nullptr), &recorder_);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        win::DispatchPostedMessages();
        if (win::IsWindow(window_)) win::DestroyWindow(window_);
        EXPECT_TRUE(win::UnregisterClass("WinWindowTestClass", nullptr));
    }

    Recorder recorder_;
    win::HWND window_ = nullptr;
};

TEST_F(WinWindow, CreationParameterArrivesWithCreateAndUserDataKeepsIt) {
    EXPECT_EQ(recorder_.createParam, &recorder_);
    EXPECT_EQ(recorder_.createTitle, "Hidden");
    EXPECT_EQ(win::GetWindowLongPtr(window_, win::GWLP_USERDATA),
              reinterpret_cast<win::LONG_PTR>(&recorder_));
    EXPECT_EQ(win::SendMessage(window_, win::WM_USER, 1, 2), 42);
    ASSERT_EQ(recorder_.seen.size(), 1u);
    EXPECT_EQ(recorder_.seen[0].wParam, 1u);
}

TEST_F(WinWindow, ClassNamesAreUniqueWithoutRegardToCase) {
    win::WNDCLASS cls{};
    cls.lpfnWndProc = recorderProc;
    cls.lpszClassName = "WINWINDOWTESTCLASS";
    EXPECT_EQ(win::RegisterClass(&cls), 0);
    // A class with windows cannot go.
    EXPECT_FALSE(win::UnregisterClass("WinWindowTestClass", nullptr));
    EXPECT_EQ(win::CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                                  nullptr),
              nullptr);
}

TEST_F(WinWindow, PostedMessagesWaitForTheDispatcherInOrder) {
    EXPECT_TRUE(win::PostMessage(window_, win::WM_USER + 1, 10, -10));
    EXPECT_TRUE(win::PostMessage(window_, win::WM_USER + 2, 20, -20));
    EXPECT_TRUE(recorder_.seen.empty());
    EXPECT_EQ(win::PostedMessageCount(), 2u);
    EXPECT_EQ(win::DispatchPostedMessages(), 2u);
    ASSERT_EQ(recorder_.seen.size(), 2u);
    EXPECT_EQ(recorder_.seen[0].message, win::WM_USER + 1);
    EXPECT_EQ(recorder_.seen[0].lParam, -10);
    EXPECT_EQ(recorder_.seen[1].message, win::WM_USER + 2);
    EXPECT_FALSE(win::DispatchPostedMessage());
}

TEST_F(WinWindow, NestedLoopDispatchesMessagesPostedDuringAHandler) {
    recorder_.repostOn = win::WM_USER + 7;
    win::PostMessage(window_, win::WM_USER + 7, 0, 0);
    EXPECT_EQ(win::DispatchPostedMessages(), 1u);
    EXPECT_EQ(recorder_.nestedDispatched, 1u);
    ASSERT_EQ(recorder_.seen.size(), 3u);
    EXPECT_EQ(recorder_.seen[0].message, win::WM_USER + 7);
    EXPECT_EQ(recorder_.seen[1].message, win::WM_USER + 8);
    EXPECT_EQ(recorder_.seen[2].message, 0xFFFFu);
}

TEST_F(WinWindow, DestroyedWindowRefusesPostsAndDropsQueuedMessages) {
    win::PostMessage(window_, win::WM_USER, 0, 0);
    ASSERT_TRUE(win::DestroyWindow(window_));
    EXPECT_FALSE(win::IsWindow(window_));
    EXPECT_FALSE(win::PostMessage(window_, win::WM_USER, 0, 0));
    EXPECT_EQ(win::DispatchPostedMessages(), 1u);
    ASSERT_EQ(recorder_.seen.size(), 1u);
    EXPECT_EQ(recorder_.seen[0].message, win::WM_DESTROY);
    EXPECT_EQ(win::SetWindowLongPtr(window_, win::GWLP_USERDATA, 1), 0);
}

TEST_F(WinWindow, ThrowingProcedureDoesNotEscapeTheDispatcher) {
    win::PostMessage(window_, win::WM_APP + 99, 0, 0);
    win::PostMessage(window_, win::WM_USER, 0, 0);
    EXPECT_NO_THROW(win::DispatchPostedMessages());
    EXPECT_EQ(recorder_.seen.size(), 2u);
}

TEST_F(WinWindow, PostHookRunsAfterEachPost) {
    int posts = 0;
    win::SetPostHook([&posts] { ++posts; });
    win::PostMessage(window_, win::WM_USER, 0, 0);
    win::PostMessage(nullptr, win::WM_USER, 0, 0);
    win::SetPostHook({});
    win::PostMessage(window_, win::WM_USER, 0, 0);
    EXPECT_EQ(posts, 1);
}

TEST(WinCursor, PositionIsWhatWasSet) {
    win::POINT point{-1, -1};
    ASSERT_TRUE(win::SetCursorPos(12, 34));
    ASSERT_TRUE(win::GetCursorPos(&point));
    EXPECT_EQ(point.x, 12);
    EXPECT_EQ(point.y, 34);
    EXPECT_FALSE(win::GetCursorPos(nullptr));
    win::SetCursorPos(0, 0);
}

}  // namespace
