#include "platform/ui/MessageBox.h"

#include <cstdio>

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

TMessageBoxInterceptor* gInterceptor = nullptr;

QMessageBox::Icon qtIcon(TMsgIcon icon) {
    switch (icon) {
        case TMsgIcon::Information:
            return QMessageBox::Information;
        case TMsgIcon::Warning:
            return QMessageBox::Warning;
        case TMsgIcon::Error:
            return QMessageBox::Critical;
        case TMsgIcon::Question:
            return QMessageBox::Question;
        case TMsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

TMsgResult cautiousAnswer(TMsgButtons buttons) {
    return buttons == TMsgButtons::YesNo ? TMsgResult::No : TMsgResult::Ok;
}

bool nobodyCanSee() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }

}  // namespace

TMsgResult TMessageBox::Show(QWidget* parent, const QString& text, const QString& caption,
                             TMsgIcon icon, TMsgButtons buttons) {
    const TMessage message{text, caption, icon, buttons};
    if (gInterceptor != nullptr) return gInterceptor->Take(message);
    if (nobodyCanSee()) {
        std::fprintf(stderr, "[%s] %s\n", caption.toLocal8Bit().constData(),
                     text.toLocal8Bit().constData());
        return cautiousAnswer(buttons);
    }

    QMessageBox box(
        qtIcon(icon), caption, text,
        buttons == TMsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
        parent);
    // The office's desktops speak Portuguese, as the messages do.
    if (buttons == TMsgButtons::YesNo) {
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Sim"));
        box.button(QMessageBox::No)->setText(QStringLiteral("Não"));
    }
    const int answer = box.exec();
    if (buttons == TMsgButtons::Ok) return TMsgResult::Ok;
    return answer == QMessageBox::Yes ? TMsgResult::Yes : TMsgResult::No;
}

void TMessageBox::ShowError(QWidget* parent, const QString& text) {
    Show(parent, text, QString::fromUtf8(kApplicationTitle), TMsgIcon::Error);
}

TMessageBoxInterceptor::TMessageBoxInterceptor() : previous_(gInterceptor) { gInterceptor = this; }

TMessageBoxInterceptor::~TMessageBoxInterceptor() { gInterceptor = previous_; }

TMsgResult TMessageBoxInterceptor::Take(const TMessage& message) {
    messages_.push_back(message);
    if (message.Buttons == TMsgButtons::Ok) return TMsgResult::Ok;
    if (answers_.empty()) return TMsgResult::Yes;
    const TMsgResult answer = answers_.front();
    answers_.pop_front();
    return answer;
}
