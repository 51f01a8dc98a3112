#pragma once

// The process's one posted-message queue. PostMessage may be called from any thread (a source
// manager's worker included); the GUI thread drains the queue, from its event loop and from any
// nested modal loop, so each message reaches its window procedure there. The Qt event loop is
// connected through the post hook (platform/win/qt/QtMessagePump.h).

#include <cstddef>
#include <functional>

#include "platform/win/WinTypes.h"

namespace win {

// False for a window that does not exist.
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Takes the oldest message and calls its window's procedure; false when the queue was empty.
bool DispatchPostedMessage();
// Drains the queue, messages posted meanwhile included; returns how many were taken.
std::size_t DispatchPostedMessages();
std::size_t PostedMessageCount();

// Called after every successful post, on the posting thread (empty: none).
void SetPostHook(std::function<void()> hook);

// Milliseconds since the process started, the time stamp of posted messages.
DWORD GetTickCount();

}  // namespace win
