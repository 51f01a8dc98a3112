#pragma once

#include <functional>

#include <QString>

// Opens a file with the program the desktop associates with its type (xdg-open through
// QDesktopServices), as the shell's "Open" action does. Tests put an opener of their own in
// place, so no viewer starts.

// Asks the desktop to open the file; false when it could not be handed over.
bool ShellOpen(const QString& path);

// While alive, every ShellOpen goes to opener instead of the desktop. Nests; GUI thread only.
class TShellOpenOverride {
  public:
    explicit TShellOpenOverride(std::function<bool(const QString&)> opener);
    ~TShellOpenOverride();
    TShellOpenOverride(const TShellOpenOverride&) = delete;
    TShellOpenOverride& operator=(const TShellOpenOverride&) = delete;

    bool Open(const QString& path) const { return opener_(path); }

  private:
    std::function<bool(const QString&)> opener_;
    TShellOpenOverride* previous_;
};
