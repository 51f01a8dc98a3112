#pragma once

#include <QDialog>

#include "db/TmySQLQuery.h"

class QLabel;
class QLineEdit;
class TForm1;

// The login dialog: a borderless window that only a good login or Esc leaves. A good login
// records the user's stored login in the main window and enables it. Created, shown modally and
// destroyed by the main window's creation handler; qryLogin runs on the main window's connection.
class TfrmLogin2 final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmLogin2)

  public:
    explicit TfrmLogin2(TForm1& owner);
    ~TfrmLogin2() override;

    // The check: both fields filled, then the encrypted and the plain password comparison.
    void ValorSenhaExit();

    TmySQLQuery qryLogin;
    QLineEdit* ValorNome;
    QLineEdit* ValorSenha;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void done(int result) override;

  private:
    void terminate();
    // Runs the statement on qryLogin; true when it found the user.
    bool found(const std::string& statement);

    TForm1* owner_;
    bool checking_ = false;
    bool loggedIn_ = false;
    bool closing_ = false;
};
