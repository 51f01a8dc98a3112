#include <cstdio>
#include <optional>
#include <string>

#include <QApplication>
#include <QDir>
#include <QIcon>

#include "app/ConfigFile.h"
#include "app/TForm1.h"
#include "pdf/PdfClasses.h"
#include "twain/TTwainManager.h"
#include "twain/TwainLibrarySearch.h"

namespace {

// Where the configuration files are looked for when they are in neither the user's folder nor
// beside the program.
constexpr const char* kFallbackFolder = "/etc/brevanto-scanner/";

TConfigFolders configFolders() {
    return {QCoreApplication::applicationDirPath(), QString::fromLatin1(kFallbackFolder),
            UserConfigFolder(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath())};
}

// --check: proves an installation without a database or a scanner. Prints the source manager
// and the configuration files the program would use; exits 0 only when the source manager
// loads through the scanner component's own search.
int checkInstallation() {
    const TConfigFolders folders = configFolders();
    for (const QString& name : {QStringLiteral("sys.txt"), QStringLiteral("banco.txt")}) {
        const std::optional<QString> path = FindConfigFile(folders, name);
        std::printf("%s: %s\n", qPrintable(name), path ? qPrintable(*path) : "(none)");
    }
    const auto library = twain::FindTwainLibrary(twain::TTwainManager::kLibraryName);
    twain::TTwainManager manager;
    if (!library || !manager.LoadTwainLibrary()) {
        std::string searched;
        for (const std::string& directory : twain::TwainSearchDirectories())
            searched += " " + directory;
        std::fprintf(stderr, "%s: not found or not loadable; searched%s\n",
                     twain::TTwainManager::kLibraryName, searched.c_str());
        return 1;
    }
    std::printf("source manager: %s\n", library->c_str());
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // Lets Wayland and the desktop match the windows to the installed desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("brevanto-scanner"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("brevanto-scanner")));
    if (QCoreApplication::arguments().contains(QStringLiteral("--check")))
        return checkInstallation();

    // The PDF writer's named classes (standard fonts, image creators) must be registered before
    // the first document is made.
    RegisterPdfClasses();

    TForm1 form(configFolders());
    QObject::connect(
        &form, &TForm1::ApplicationTerminated, &application,
        [](int exitCode) { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
    form.FormCreate();
    if (form.Terminated()) return form.ExitCode();
    form.show();
    return QApplication::exec();
}
