#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QTemporaryDir>

#include "GuiTestSupport.h"
#include "TestDatabase.h"
#include "platform/shell/ShellOpen.h"
#include "platform/ui/MessageBox.h"

class TForm1;
class TfrmLogin2;

// A program folder and a fall-back configuration folder of the test's own, a database of its
// own, message boxes answered for the test, files "opened" only into a list, and scanner
// settings of its own: only the built source manager is found, and its selection dialog is
// cancelled unless the test writes other settings.
class AppFixture : public GuiTest {
  protected:
    AppFixture();
    ~AppFixture() override;

    QString programFolder() const { return program_.path(); }
    QString fallbackFolder() const { return fallback_.path(); }
    // Writes the bytes as the named file into the folder.
    static void writeFile(const QString& folder, const QString& name, const std::string& bytes);
    // sys.txt and banco.txt beside the program, pointing at the test database.
    void configureBesideProgram();

    std::unique_ptr<TForm1> makeForm();
    // A main window made, started and logged in as Maria (password "segredo"), shown.
    std::unique_ptr<TForm1> startLoggedIn();

    static TfrmLogin2& login(QWidget& modal);

    // Where the program keeps its journal of pages not yet filed.
    QString stateFolder() const { return state_.path() + QStringLiteral("/brevanto-scanner"); }

    // Replaces the scanner settings file.
    void writeTwainSettings(const std::string& text);

    TestDatabase db;
    TMessageBoxInterceptor boxes;
    std::vector<QString> opened;

  private:
    QTemporaryDir program_;
    QTemporaryDir fallback_;
    QTemporaryDir twain_;
    QTemporaryDir state_;
    TShellOpenOverride shell_;
};
