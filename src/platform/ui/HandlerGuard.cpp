#include "platform/ui/HandlerGuard.h"

#include <cstdio>
#include <exception>

#include <QString>

#include "platform/ui/MessageBox.h"

namespace {

void report(QWidget* owner, const QString& text) noexcept {
    try {
        TMessageBox::ShowError(owner, text);
    } catch (...) {
        // Showing the error failed too (out of memory); stderr is all that is left.
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
}

}  // namespace

bool RunGuarded(QWidget* owner, const std::function<void()>& handler) noexcept {
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        report(owner, QString::fromUtf8(error.what()));
    } catch (...) {
        report(owner, QStringLiteral("Unknown error"));
    }
    return false;
}
