#include "platform/ui/ExitWatcher.h"

#include <utility>

#include <QFocusEvent>
#include <QWidget>

TExitWatcher::TExitWatcher(QWidget& control, std::function<void()> onExit)
    : QObject(&control), onExit_(std::move(onExit)) {
    control.installEventFilter(this);
}

bool TExitWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        switch (static_cast<QFocusEvent*>(event)->reason()) {
            case Qt::ActiveWindowFocusReason:
            case Qt::PopupFocusReason:
            case Qt::MenuBarFocusReason:
                break;
            default:
                onExit_();
        }
    }
    return QObject::eventFilter(watched, event);
}

void OnExit(QWidget& control, std::function<void()> onExit) {
    new TExitWatcher(control, std::move(onExit));
}
