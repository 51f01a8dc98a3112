#pragma once

// Connects the posted-message queue of platform/win to the Qt event loop: every PostMessage
// posts one Qt event to this object, and handling it dispatches one queued message. Qt delivers
// posted events from nested loops too (QDialog::exec, QEventLoop::exec), so a source's modal
// dialog keeps the hidden windows served, as a Windows modal loop would. Create one on the GUI
// thread after the application object; it unhooks itself when destroyed.

#include <QObject>

namespace win {

class QtMessagePump final : public QObject {
  public:
    explicit QtMessagePump(QObject* parent = nullptr);
    ~QtMessagePump() override;
    Q_DISABLE_COPY_MOVE(QtMessagePump)

  protected:
    bool event(QEvent* event) override;
};

}  // namespace win
