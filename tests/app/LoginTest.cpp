#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "AppFixture.h"
#include "app/TForm1.h"
#include "app/TfrmLogin2.h"

namespace {

// The login dialog as the creation handler shows it, on a database with users whose passwords
// are stored encrypted and in plain text.
class LoginTest : public AppFixture {
  protected:
    void SetUp() override {
        db.Exec(
            "insert into cadusuario (login, senha) values "
            "('Maria', AES_ENCRYPT('segredo', 5302)), ('JOSE', 'abc123'), "
            "('Ana Paula', 'a''b'), ('RITA', AES_ENCRYPT('x', 5302));\n"
            "insert into cadparametos (dirpdf) values ('/srv/pdf');");
        configureBesideProgram();
        form = makeForm();
    }

    // Runs the creation handler with the steps done in the login dialog.
    void runLogin(const std::function<void(TfrmLogin2&)>& steps) {
        TModalDriver modals;
        modals.Then([&](QWidget& modal) {
            TfrmLogin2& dialog = login(modal);
            Activate(dialog);
            dialog.ValorNome->setFocus(Qt::OtherFocusReason);
            steps(dialog);
            // Whatever the steps left open ends here, so no test can hang.
            if (dialog.isVisible()) QTest::keyClick(dialog.ValorNome, Qt::Key_Escape);
        });
        form->FormCreate();
        seen = modals.Seen();
    }

    // Types the user name, tabs on to the password field and types the password.
    static void type(TfrmLogin2& dialog, const QString& user, const QString& password) {
        TypeText(*dialog.ValorNome, user);
        QTest::keyClick(dialog.ValorNome, Qt::Key_Tab);
        TypeText(*dialog.ValorSenha, password);
    }

    std::unique_ptr<TForm1> form;
    int seen = 0;
};

TEST_F(LoginTest, EncryptedPasswordLogsInAndStoresTheLoginAsStored) {
    runLogin([](TfrmLogin2& dialog) {
        type(dialog, QStringLiteral("maria"), QStringLiteral("segredo"));
        QTest::keyClick(dialog.ValorSenha, Qt::Key_Return);
    });
    EXPECT_EQ(seen, 1);
    EXPECT_FALSE(form->Terminated());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(form->UsuarioLogado(), "Maria");
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(LoginTest, PlainPasswordLogsInThroughTheSecondStatement) {
    runLogin([](TfrmLogin2& dialog) {
        type(dialog, QStringLiteral("jose"), QStringLiteral("abc123"));
        QTest::keyClick(dialog.ValorSenha, Qt::Key_Enter);
    });
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(form->UsuarioLogado(), "JOSE");
}

TEST_F(LoginTest, QuoteInThePasswordIsLookedUpAsTyped) {
    runLogin([](TfrmLogin2& dialog) {
        type(dialog, QStringLiteral("ana paula"), QStringLiteral("a'b"));
        QTest::keyClick(dialog.ValorSenha, Qt::Key_Return);
    });
    EXPECT_EQ(form->UsuarioLogado(), "Ana Paula");
}

TEST_F(LoginTest, WrongPasswordSaysNothingAndTheDialogStays) {
    bool stayed = false;
    QString userKept;
    runLogin([&](TfrmLogin2& dialog) {
        type(dialog, QStringLiteral("maria"), QStringLiteral("errada"));
        QTest::keyClick(dialog.ValorSenha, Qt::Key_Return);
        stayed = dialog.isVisible();
        userKept = dialog.ValorNome->text();
        // The user corrects the password and gets in.
        dialog.ValorSenha->clear();
        TypeText(*dialog.ValorSenha, QStringLiteral("segredo"));
        QTest::keyClick(dialog.ValorSenha, Qt::Key_Return);
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(userKept, QStringLiteral("MARIA"));
    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_EQ(form->UsuarioLogado(), "Maria");
}

TEST_F(LoginTest, EmptyFieldAsksToFillEverything) {
    struct Empty {
        const char* user;
        const char* password;
    };
    for (const Empty& e : {Empty{"", "segredo"}, Empty{"maria", ""}, Empty{"   ", "segredo"},
                           Empty{"maria", "  "}}) {
        SCOPED_TRACE(std::string(e.user) + "/" + e.password);
        boxes.Clear();
        form = makeForm();
        bool stayed = false;
        QString passwordKept;
        runLogin([&](TfrmLogin2& dialog) {
            type(dialog, QString::fromUtf8(e.user), QString::fromUtf8(e.password));
            QTest::keyClick(dialog.ValorSenha, Qt::Key_Return);
            stayed = dialog.isVisible();
            passwordKept = dialog.ValorSenha->text();
        });
        EXPECT_TRUE(stayed);
        EXPECT_EQ(passwordKept, QString::fromUtf8(e.password));
        ASSERT_EQ(boxes.Messages().size(), 1u);
        EXPECT_EQ(boxes.Messages()[0].Text,
                  QStringLiteral("Preencha todos os campos antes de continuar!"));
        EXPECT_EQ(boxes.Messages()[0].Caption, QStringLiteral("Atenção"));
        EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::Error);
        EXPECT_FALSE(form->isEnabled());
    }
}

TEST_F(LoginTest, FieldsFoldCaseAndStopAtTheirLength) {
    QString user;
    QString password;
    bool masked = false;
    runLogin([&](TfrmLogin2& dialog) {
        type(dialog, QStringLiteral("joão da silva xavier"), QStringLiteral("SeNhA12345"));
        user = dialog.ValorNome->text();
        password = dialog.ValorSenha->text();
        masked = dialog.ValorSenha->echoMode() == QLineEdit::Password;
    });
    EXPECT_EQ(user, QStringLiteral("JOÃO DA SILVA X"));  // 15 characters
    EXPECT_EQ(password, QStringLiteral("senha12"));      // 7 characters
    EXPECT_TRUE(masked);
}

TEST_F(LoginTest, LeavingThePasswordFieldByTabRunsTheCheck) {
    runLogin([](TfrmLogin2& dialog) {
        type(dialog, QStringLiteral("jose"), QStringLiteral("abc123"));
        QTest::keyClick(dialog.ValorSenha, Qt::Key_Tab);
    });
    EXPECT_EQ(form->UsuarioLogado(), "JOSE");
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(LoginTest, LeavingThePasswordFieldByMouseRunsTheCheck) {
    runLogin([](TfrmLogin2& dialog) {
        type(dialog, QStringLiteral("maria"), QStringLiteral("segredo"));
        QTest::mouseClick(dialog.ValorNome, Qt::LeftButton);
    });
    EXPECT_EQ(form->UsuarioLogado(), "Maria");
}

TEST_F(LoginTest, EscInEitherFieldEndsTheProgram) {
    for (const bool inPassword : {false, true}) {
        form = makeForm();
        QSignalSpy terminated(form.get(), &TForm1::ApplicationTerminated);
        runLogin([&](TfrmLogin2& dialog) {
            type(dialog, QStringLiteral("maria"), QString());
            QLineEdit* field = inPassword ? dialog.ValorSenha : dialog.ValorNome;
            field->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(field, Qt::Key_Escape);
        });
        EXPECT_TRUE(form->Terminated());
        EXPECT_EQ(form->ExitCode(), 0);
        EXPECT_FALSE(form->isEnabled());
        EXPECT_TRUE(form->UsuarioLogado().empty());
        ASSERT_EQ(terminated.count(), 1);
        EXPECT_EQ(terminated[0][0].toInt(), 0);
    }
}

TEST_F(LoginTest, ClosedByTheWindowManagerEndsTheProgram) {
    runLogin([](TfrmLogin2& dialog) { dialog.close(); });
    EXPECT_TRUE(form->Terminated());
    EXPECT_FALSE(form->isEnabled());
}

TEST_F(LoginTest, FailingStatementIsShownAndTheDialogStays) {
    bool stayed = false;
    runLogin([&](TfrmLogin2& dialog) {
        db.Exec("drop table cadusuario;");
        type(dialog, QStringLiteral("maria"), QStringLiteral("segredo"));
        QTest::keyClick(dialog.ValorSenha, Qt::Key_Return);
        stayed = dialog.isVisible();
    });
    EXPECT_TRUE(stayed);
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_TRUE(boxes.Messages()[0].Text.contains(QStringLiteral("cadusuario")))
        << boxes.Messages()[0].Text.toStdString();
    EXPECT_FALSE(form->isEnabled());
}

TEST_F(LoginTest, DialogIsBorderlessAtItsSize) {
    QSize size;
    bool frameless = false;
    runLogin([&](TfrmLogin2& dialog) {
        size = dialog.size();
        frameless = dialog.windowFlags().testFlag(Qt::FramelessWindowHint);
    });
    EXPECT_EQ(size, QSize(391, 172));
    EXPECT_TRUE(frameless);
}

}  // namespace
