#pragma once

#include <functional>

#include <QObject>

class QWidget;

// Calls a handler when the focus leaves a control for another control of the same window (by
// Tab, a click, or a program call), the way the original toolkit's OnExit fires. Losing the focus
// because another window came up (a dialog, a message box, a menu) is not leaving the control.
// Owned by the watched control.
class TExitWatcher final : public QObject {
    Q_OBJECT

  public:
    TExitWatcher(QWidget& control, std::function<void()> onExit);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void()> onExit_;
};

// Watches the control; the handler runs inside no guard of its own, so wrap it with RunGuarded.
void OnExit(QWidget& control, std::function<void()> onExit);
