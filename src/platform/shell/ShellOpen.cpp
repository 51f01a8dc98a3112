#include "platform/shell/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

TShellOpenOverride*& current() {
    static TShellOpenOverride* active = nullptr;
    return active;
}

}  // namespace

TShellOpenOverride::TShellOpenOverride(std::function<bool(const QString&)> opener)
    : opener_(std::move(opener)), previous_(current()) {
    current() = this;
}

TShellOpenOverride::~TShellOpenOverride() { current() = previous_; }

bool ShellOpen(const QString& path) {
    if (TShellOpenOverride* active = current()) return active->Open(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
