#include "platform/win/MessageQueue.h"

#include <chrono>
#include <deque>
#include <mutex>

#include "platform/win/Window.h"
#include "platform/win/WindowCall.h"

namespace win {
namespace {

struct Queue {
    std::mutex mutex;
    std::deque<MSG> messages;
    std::function<void()> hook;
};

Queue& queue() {
    static Queue instance;
    return instance;
}

const auto processStart = std::chrono::steady_clock::now();

}  // namespace

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window)) return false;
    std::function<void()> hook;
    {
        Queue& q = queue();
        std::lock_guard lock(q.mutex);
        POINT cursor{};
        GetCursorPos(&cursor);
        q.messages.push_back(MSG{window, message, wParam, lParam, GetTickCount(), cursor});
        hook = q.hook;
    }
    if (hook) hook();
    return true;
}

bool DispatchPostedMessage() {
    MSG message{};
    {
        Queue& q = queue();
        std::lock_guard lock(q.mutex);
        if (q.messages.empty()) return false;
        message = q.messages.front();
        q.messages.pop_front();
    }
    LRESULT ignored = 0;
    detail::CallWindowProcedure(message.hwnd, message.message, message.wParam, message.lParam,
                                ignored);
    return true;
}

std::size_t DispatchPostedMessages() {
    std::size_t count = 0;
    while (DispatchPostedMessage()) ++count;
    return count;
}

std::size_t PostedMessageCount() {
    Queue& q = queue();
    std::lock_guard lock(q.mutex);
    return q.messages.size();
}

void SetPostHook(std::function<void()> hook) {
    Queue& q = queue();
    std::lock_guard lock(q.mutex);
    q.hook = std::move(hook);
}

DWORD GetTickCount() {
    const auto elapsed = std::chrono::steady_clock::now() - processStart;
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

}  // namespace win
