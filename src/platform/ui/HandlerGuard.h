#pragma once

#include <functional>
#include <utility>

class QWidget;

// Every event handler of the program runs inside this guard, the stand-in for the GUI
// framework's default error handler: an error the handler does not catch is shown in an error
// message box with its own text and the handler stops there. Nothing throws into the Qt event
// loop. Returns false when the handler ended with an error.
bool RunGuarded(QWidget* owner, const std::function<void()>& handler) noexcept;

// The handler wrapped for connect(): signal arguments are dropped.
template <class Handler>
auto Guard(QWidget* owner, Handler handler) {
    return [owner, handler = std::move(handler)](auto&&...) mutable { RunGuarded(owner, handler); };
}
