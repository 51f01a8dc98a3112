#include <optional>
#include <string>

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocalServer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "AppFixture.h"
#include "app/ConnectingWindow.h"
#include "app/TForm1.h"
#include "app/TfrmLogin2.h"

namespace {

enum class Where { Nowhere, Program, Fallback, Both };

// One start-up: where each file lies and what its first line holds ("$DB" stands for the test's
// database), and what the connection is set to afterwards.
struct Startup {
    const char* name;
    Where sys;
    std::string sysText;
    Where banco;
    std::string bancoText;
    std::string host;
    std::string database;  // "$DB", or a name
    bool started;          // the login dialog came up
    const char* errorPart = "";
};

// Test names carry the case's name; without this gtest would print the struct's bytes.
void PrintTo(const Startup& s, std::ostream* out) { *out << s.name; }

std::string expand(std::string text, const std::string& db) {
    for (auto at = text.find("$DB"); at != std::string::npos; at = text.find("$DB"))
        text.replace(at, 3, db);
    return text;
}

class StartupTableTest : public AppFixture, public ::testing::WithParamInterface<Startup> {
  protected:
    // The other folder gets a decoy, so the file taken is visibly the right one.
    void place(Where where, const QString& name, const std::string& text,
               const std::string& decoy) {
        const std::string line = expand(text, db.Name());
        if (where == Where::Program || where == Where::Both) writeFile(programFolder(), name, line);
        if (where == Where::Fallback) writeFile(fallbackFolder(), name, line);
        if (where == Where::Both) writeFile(fallbackFolder(), name, decoy);
    }
};

TEST_P(StartupTableTest, ConfiguresTheConnection) {
    const Startup& s = GetParam();
    place(s.sys, QStringLiteral("sys.txt"), s.sysText, "fallback-host.invalid\n");
    place(s.banco, QStringLiteral("banco.txt"), s.bancoText, "fallback_db\n");
    db.Exec("insert into cadparametos (dirpdf) values ('/srv/pdf');");

    auto form = makeForm();
    bool loginFirst = false;
    TModalDriver modals;
    modals.Then([&](QWidget& modal) {
        TfrmLogin2& dialog = login(modal);
        // The login dialog is the first window; the main window is neither shown nor usable.
        loginFirst = dialog.isVisible() && !form->isVisible() && !form->isEnabled();
        QTest::keyClick(dialog.ValorNome, Qt::Key_Escape);
    });
    form->FormCreate();

    EXPECT_EQ(form->mySQLDatabase1.Host(), s.host);
    EXPECT_EQ(form->mySQLDatabase1.DatabaseName(), expand(s.database, db.Name()));
    EXPECT_TRUE(form->Terminated());
    EXPECT_FALSE(form->isEnabled());
    if (s.started) {
        EXPECT_EQ(modals.Seen(), 1);
        EXPECT_TRUE(loginFirst);
        EXPECT_EQ(form->ExitCode(), 0);
        EXPECT_TRUE(boxes.Messages().empty());
    } else {
        // The error is shown with its own text, then the program ends: no login, no window.
        EXPECT_EQ(modals.Seen(), 0);
        EXPECT_EQ(form->ExitCode(), 1);
        ASSERT_EQ(boxes.Messages().size(), 1u);
        EXPECT_EQ(boxes.Messages()[0].Caption, QStringLiteral("Brevanto - Scanner"));
        EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::Error);
        const std::string text = boxes.Messages()[0].Text.toStdString();
        EXPECT_NE(text.find(expand(s.errorPart, db.Name())), std::string::npos) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, StartupTableTest,
    ::testing::Values(Startup{"BothBesideProgram", Where::Both, "localhost\n", Where::Both, "$DB\n",
                              "localhost", "$DB", true},
                      Startup{"BothOnlyInFallback", Where::Fallback, "localhost\n", Where::Fallback,
                              "$DB\n", "localhost", "$DB", true},
                      Startup{"SysBesideBancoInFallback", Where::Program, "localhost\n",
                              Where::Fallback, "$DB\n", "localhost", "$DB", true},
                      Startup{"SysInFallbackBancoBeside", Where::Fallback, "localhost\n",
                              Where::Program, "$DB\r\n", "localhost", "$DB", true},
                      Startup{"EmptySysIsTheEmptyHost", Where::Program, "", Where::Program, "$DB\n",
                              "", "$DB", true},
                      Startup{"NoBancoKeepsTheDesignDatabase", Where::Program, "localhost\n",
                              Where::Nowhere, "", "localhost", "beleza", true},
                      Startup{"NoSysIgnoresBanco", Where::Nowhere, "", Where::Both,
                              "not_this_one\n", "localhost", "beleza", true},
                      Startup{"BlankAfterHostIsPartOfIt", Where::Program, "localhost \n",
                              Where::Program, "$DB\n", "localhost ", "$DB", false, "localhost "},
                      Startup{"BlankBeforeDatabaseIsPartOfIt", Where::Program, "localhost\n",
                              Where::Program, " $DB\n", "localhost", " $DB", false, "' $DB'"},
                      Startup{"UnknownHostFailsQuickly", Where::Program, "nohost.invalid\n",
                              Where::Program, "$DB\n", "nohost.invalid", "$DB", false,
                              "nohost.invalid"},
                      Startup{"RefusedConnection", Where::Program, "127.0.0.1\n", Where::Program,
                              "$DB\n", "127.0.0.1", "$DB", false, "127.0.0.1"}),
    [](const auto& info) { return std::string(info.param.name); });

class StartupTest : public AppFixture {
  protected:
    // Runs the creation handler, leaving the login dialog with Esc; the folder then stored.
    std::unique_ptr<TForm1> start() {
        configureBesideProgram();
        auto form = makeForm();
        TModalDriver modals;
        modals.Then(
            [](QWidget& modal) { QTest::keyClick(login(modal).ValorNome, Qt::Key_Escape); });
        form->FormCreate();
        return form;
    }
};

TEST_F(StartupTest, BlankFolderIsReplacedByTheProgramFolder) {
    for (const char* stored : {"NULL", "''", "'   '", "'\\t\\r\\n '"}) {
        SCOPED_TRACE(stored);
        db.Exec("delete from cadparametos;");
        db.Exec(std::string("insert into cadparametos (dirpdf) values (") + stored + ");");
        auto form = start();
        EXPECT_EQ(db.Scalar("select dirpdf from cadparametos"), programFolder().toStdString());
        EXPECT_EQ(form->edtDir->text(), programFolder());
        EXPECT_TRUE(boxes.Messages().empty());
    }
}

TEST_F(StartupTest, StoredFolderIsKeptAsStored) {
    for (const char* stored : {"/srv/pdf", "C://Scans//2014", " /srv/pdf "}) {
        SCOPED_TRACE(stored);
        db.Exec("delete from cadparametos;");
        db.Exec(std::string("insert into cadparametos (dirpdf) values ('") + stored + "');");
        auto form = start();
        EXPECT_EQ(db.Scalar("select dirpdf from cadparametos"), stored);
        EXPECT_EQ(form->edtDir->text(), QString::fromUtf8(stored));
    }
}

TEST_F(StartupTest, FolderTableWithoutRowsStaysEmpty) {
    auto form = start();
    EXPECT_EQ(db.Scalar("select count(*) from cadparametos"), "0");
    EXPECT_EQ(form->edtDir->text(), QString());
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(StartupTest, StartupQueriesAreOpen) {
    db.Exec(
        "insert into cadprocessos (CodProcesso, cliente) values (7, 'Ana Souza');\n"
        "insert into cadprocessospdf (codprocesso, caminho, tipo) values (7, '/srv/a.pdf', 'CO'), "
        "(8, '/srv/b.pdf', 'BO');");
    auto form = start();
    EXPECT_TRUE(form->qryPDF.Active());
    EXPECT_EQ(form->qryPDF.RecordCount(), 2);
    EXPECT_TRUE(form->qryDir.Active());
    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
    EXPECT_EQ(form->mySQLDatabase1.Connected(), true);
}

TEST_F(StartupTest, FailingStatementIsShownAndEndsTheProgram) {
    db.Exec("drop table cadparametos;");
    configureBesideProgram();
    auto form = makeForm();
    QSignalSpy terminated(form.get(), &TForm1::ApplicationTerminated);
    TModalDriver modals;
    form->FormCreate();
    EXPECT_EQ(modals.Seen(), 0);
    EXPECT_TRUE(form->Terminated());
    EXPECT_EQ(form->ExitCode(), 1);
    // The program entry ends the main loop on this signal.
    ASSERT_EQ(terminated.count(), 1);
    EXPECT_EQ(terminated[0][0].toInt(), 1);
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_TRUE(boxes.Messages()[0].Text.contains(QStringLiteral("cadparametos")))
        << boxes.Messages()[0].Text.toStdString();
}

TEST_F(StartupTest, FolderGivenWithTrailingSeparatorIsStoredWithout) {
    configureBesideProgram();
    db.Exec("insert into cadparametos (dirpdf) values ('');");
    TForm1 form(TConfigFolders{programFolder() + "/", fallbackFolder()});
    TModalDriver modals;
    modals.Then([](QWidget& modal) { QTest::keyClick(login(modal).ValorNome, Qt::Key_Escape); });
    form.FormCreate();
    EXPECT_EQ(db.Scalar("select dirpdf from cadparametos"), programFolder().toStdString());
}

TEST_F(StartupTest, ASilentServerShowsWhereItConnectsAndCancelEndsTheProgram) {
    // A server that takes the connection and never answers.
    QTemporaryDir socketFolder;
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(socketFolder.filePath(QStringLiteral("mysqld.sock"))));
    const QByteArray sharedSocket = qgetenv("MYSQL_UNIX_PORT");
    qputenv("MYSQL_UNIX_PORT", silent.fullServerName().toLocal8Bit());
    configureBesideProgram();
    auto form = makeForm();
    TModalDriver modals;
    QString shown;
    modals.Then([&](QWidget& modal) {
        auto& window = dynamic_cast<TfrmConectando&>(modal);
        shown = window.lblMensagem->text();
        window.btnCancelar->click();
    });
    form->FormCreate();
    qputenv("MYSQL_UNIX_PORT", sharedSocket);
    EXPECT_EQ(shown, QStringLiteral("Conectando ao banco de dados localhost…"));
    EXPECT_EQ(modals.Seen(), 1);  // no login
    EXPECT_TRUE(form->Terminated());
    EXPECT_EQ(form->ExitCode(), 0);
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(StartupTest, AQuickServerShowsNoConnectingWindow) {
    configureBesideProgram();
    auto form = makeForm();
    TModalDriver modals;
    modals.Then([](QWidget& modal) { QTest::keyClick(login(modal).ValorNome, Qt::Key_Escape); });
    form->FormCreate();
    EXPECT_EQ(modals.Seen(), 1);  // the login only
    EXPECT_TRUE(modals.Unexpected().empty());
}

}  // namespace
