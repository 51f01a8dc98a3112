#include "AppFixture.h"

#include <fstream>
#include <stdexcept>

#include <QDir>

#include "app/TForm1.h"
#include "app/TfrmLogin2.h"

AppFixture::AppFixture() = default;

AppFixture::~AppFixture() = default;

void AppFixture::writeFile(const QString& folder, const QString& name, const std::string& bytes) {
    std::ofstream out(QDir(folder).filePath(name).toStdString(), std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + name.toStdString());
}

void AppFixture::configureBesideProgram() {
    writeFile(programFolder(), QStringLiteral("sys.txt"), "localhost\n");
    writeFile(programFolder(), QStringLiteral("banco.txt"), db.Name() + "\n");
}

std::unique_ptr<TForm1> AppFixture::makeForm() {
    return std::make_unique<TForm1>(TConfigFolders{programFolder(), fallbackFolder()});
}

TfrmLogin2& AppFixture::login(QWidget& modal) {
    auto* dialog = qobject_cast<TfrmLogin2*>(&modal);
    if (dialog == nullptr) throw std::runtime_error("the modal window is not the login dialog");
    return *dialog;
}
