#pragma once

#include <optional>
#include <string>

#include <QString>

// The one-line configuration files (sys.txt, banco.txt): looked up in the user's folder first,
// then beside the program, then in the fall-back folder, each file on its own. An empty folder
// is not looked at.
struct TConfigFolders {
    QString ProgramFolder;   // the executable's folder
    QString FallbackFolder;  // /etc/brevanto-scanner/ in an installation
    // Last and defaulted, so a folder pair written without it still means program folder, then
    // fall-back.
    QString UserFolder{};  // $XDG_CONFIG_HOME/brevanto-scanner
};

// The path of the named file in the first folder that has one, or nothing.
std::optional<QString> FindConfigFile(const TConfigFolders& folders, const QString& name);

// The user's configuration folder: xdgConfigHome/brevanto-scanner, or home/.config/brevanto-scanner
// when xdgConfigHome is empty (as the scanner settings file is found).
QString UserConfigFolder(const QString& xdgConfigHome, const QString& home);

// The file's first line up to its line end (LF, CR LF or CR), byte for byte, untrimmed; the
// empty text for an empty file. A file that cannot be opened or read raises an error with the
// file's name and the system's reason.
std::string ReadFirstLine(const QString& path);
