#pragma once

#include <memory>
#include <string>

#include <QTemporaryDir>

#include "GuiTestSupport.h"
#include "TestDatabase.h"
#include "platform/ui/MessageBox.h"

class TForm1;
class TfrmLogin2;

// A program folder and a fall-back configuration folder of the test's own, a database of its
// own, and message boxes answered for the test.
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

    static TfrmLogin2& login(QWidget& modal);

    TestDatabase db;
    TMessageBoxInterceptor boxes;

  private:
    QTemporaryDir program_;
    QTemporaryDir fallback_;
};
