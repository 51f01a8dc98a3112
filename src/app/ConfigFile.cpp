#include "app/ConfigFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include <QDir>
#include <QFileInfo>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void fail(const QString& path, int error) {
    throw std::runtime_error("Cannot open file \"" + QDir::toNativeSeparators(path).toStdString() +
                             "\". " + std::strerror(error));
}

}  // namespace

std::optional<QString> FindConfigFile(const TConfigFolders& folders, const QString& name) {
    for (const QString& folder :
         {folders.UserFolder, folders.ProgramFolder, folders.FallbackFolder}) {
        if (folder.isEmpty()) continue;
        const QString path = QDir(folder).filePath(name);
        // A folder of that name is not the file, as on the original platform.
        const QFileInfo info(path);
        if (info.exists() && !info.isDir()) return path;
    }
    return std::nullopt;
}

QString UserConfigFolder(const QString& xdgConfigHome, const QString& home) {
    const QString base =
        xdgConfigHome.isEmpty() ? home + QStringLiteral("/.config") : xdgConfigHome;
    return base + QStringLiteral("/brevanto-scanner");
}

std::string ReadFirstLine(const QString& path) {
    std::unique_ptr<std::FILE, FileCloser> file(
        std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file) fail(path, errno);
    std::string line;
    for (;;) {
        const int c = std::fgetc(file.get());
        if (c == EOF) {
            if (std::ferror(file.get())) fail(path, errno);
            break;
        }
        if (c == '\n' || c == '\r') break;
        line.push_back(static_cast<char>(c));
    }
    return line;
}
