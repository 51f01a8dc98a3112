#include <QApplication>

#include "app/TForm1.h"
#include "pdf/PdfClasses.h"

namespace {

// Where the configuration files are looked for when they are not beside the program.
constexpr const char* kFallbackFolder = "/etc/brevanto-scanner/";

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The PDF writer's named classes (standard fonts, image creators) must be registered before
    // the first document is made.
    RegisterPdfClasses();

    TForm1 form({QCoreApplication::applicationDirPath(), QString::fromLatin1(kFallbackFolder)});
    QObject::connect(
        &form, &TForm1::ApplicationTerminated, &application,
        [](int exitCode) { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
    form.FormCreate();
    if (form.Terminated()) return form.ExitCode();
    form.show();
    return QApplication::exec();
}
