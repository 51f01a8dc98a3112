#pragma once

#include <optional>
#include <string>

#include <QString>

// The one-line configuration files (sys.txt, banco.txt): looked up beside the program first, then
// in the fall-back folder, each file on its own.
struct TConfigFolders {
    QString ProgramFolder;   // the executable's folder
    QString FallbackFolder;  // /etc/brevanto-scanner/ in an installation
};

// The path of the named file in the first folder that has one, or nothing.
std::optional<QString> FindConfigFile(const TConfigFolders& folders, const QString& name);

// The file's first line up to its line end (LF, CR LF or CR), byte for byte, untrimmed; the
// empty text for an empty file. A file that cannot be opened or read raises an error with the
// file's name and the system's reason.
std::string ReadFirstLine(const QString& path);
