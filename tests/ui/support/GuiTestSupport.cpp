#include "GuiTestSupport.h"

#include <exception>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTest>

QApplication& TestApplication() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "brevanto-gui-test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's test devices go away with the process, and destroying the
    // application from an exit handler after them crashes.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

TModalDriver::TModalDriver() {
    // A short interval rather than 0, so a waiting dialog does not spin a core.
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
}

TModalDriver::~TModalDriver() { timer_.stop(); }

TModalDriver& TModalDriver::Then(std::function<void(QWidget&)> step) {
    steps_.push_back(std::move(step));
    return *this;
}

void TModalDriver::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    std::erase_if(known_, [](const QPointer<QWidget>& w) { return w.isNull(); });
    for (const auto& known : known_)
        if (known == modal) return;
    known_.emplace_back(modal);
    ++seen_;
    QPointer<QWidget> target = modal;
    if (steps_.empty()) {
        unexpected_.push_back(QString::fromLatin1(modal->metaObject()->className()));
        QTimer::singleShot(0, modal, [target] {
            if (auto* dialog = qobject_cast<QDialog*>(target.data()))
                dialog->reject();
            else if (target)
                target->close();
        });
        return;
    }
    auto step = std::move(steps_.front());
    steps_.pop_front();
    // Queued, so a step that opens a further modal window leaves this timer free to see it.
    QTimer::singleShot(0, modal, [target, step = std::move(step)] {
        if (!target) return;
        // Nothing may throw into the event loop; a step that fails fails its test.
        try {
            step(*target);
        } catch (const std::exception& error) {
            ADD_FAILURE() << "modal step: " << error.what();
        }
        // Whatever the failed step left open must not keep the test waiting.
        if (target && QApplication::activeModalWidget() == target && ::testing::Test::HasFailure())
            if (auto* dialog = qobject_cast<QDialog*>(target.data())) dialog->reject();
    });
}

void Activate(QWidget& window) {
    window.activateWindow();
    QApplication::setActiveWindow(&window);
}

void TypeText(QWidget& widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(&widget, c.toLatin1());
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &press);
        QApplication::sendEvent(&widget, &release);
    }
}
