#include "AppFixture.h"

#include <fstream>
#include <stdexcept>

#include <QDir>
#include <QLineEdit>
#include <QTest>

#include "app/TForm1.h"
#include "app/TfrmLogin2.h"
#include "platform/win/Directories.h"

AppFixture::AppFixture()
    : shell_([this](const QString& path) {
          opened.push_back(path);
          return true;
      }) {
    // No copy installed on the machine may stand in for the built one beside the tests.
    win::SetFolderOverride(win::SystemFolder::Windows, twain_.path().toStdString());
    win::SetFolderOverride(win::SystemFolder::System, twain_.path().toStdString());
    writeTwainSettings("[SourceManager]\nAutoSelect=cancel\nVirtualScanner=true\n");
    qputenv("BREVANTO_TWAIN_INI", QDir(twain_.path()).filePath("twain.ini").toLocal8Bit());
    qputenv("XDG_STATE_HOME", state_.path().toLocal8Bit());
}

AppFixture::~AppFixture() {
    qunsetenv("BREVANTO_TWAIN_INI");
    qunsetenv("XDG_STATE_HOME");
    win::SetFolderOverride(win::SystemFolder::Windows, std::nullopt);
    win::SetFolderOverride(win::SystemFolder::System, std::nullopt);
}

void AppFixture::writeTwainSettings(const std::string& text) {
    writeFile(twain_.path(), QStringLiteral("twain.ini"), text);
}

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

std::unique_ptr<TForm1> AppFixture::startLoggedIn() {
    auto form = makeForm();
    TModalDriver modals;
    modals.Then([&](QWidget& modal) {
        TfrmLogin2& dialog = login(modal);
        dialog.ValorNome->setText(QStringLiteral("MARIA"));
        dialog.ValorSenha->setText(QStringLiteral("segredo"));
        QTest::keyClick(dialog.ValorSenha, Qt::Key_Return);
    });
    form->FormCreate();
    if (form->isEnabled()) form->show();
    return form;
}

TfrmLogin2& AppFixture::login(QWidget& modal) {
    auto* dialog = qobject_cast<TfrmLogin2*>(&modal);
    if (dialog == nullptr) throw std::runtime_error("the modal window is not the login dialog");
    return *dialog;
}
