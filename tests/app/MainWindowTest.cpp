#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "AppFixture.h"
#include "app/TForm1.h"
#include "app/TfrmLogin2.h"
#include "platform/ui/DBGrid.h"
#include "register/TfrmBusca.h"

using testing::HasSubstr;

namespace {

QStringList actionTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

// Screenshots go into the build tree, for a person to look at.
QString screenshotPath(const QString& name) {
    const QString folder = QStringLiteral(BREVANTO_BIN_DIR "/../screenshots");
    QDir().mkpath(folder);
    return QDir(folder).filePath(name);
}

class MainWindowTest : public AppFixture {
  protected:
    void SetUp() override {
        db.Exec(
            "insert into cadusuario (login, senha) values ('Maria', AES_ENCRYPT('segredo', "
            "5302));\n"
            "insert into cadparametos (dirpdf) values ('/srv/brevanto/pdf');\n"
            "insert into cadprocessos (CodProcesso, cliente) values (2024001, 'Ana Souza'), "
            "(2024002, 'Bruno Lima');\n"
            "insert into cadprocessospdf (codprocesso, caminho, tipo) values "
            "(2024001, '/srv/brevanto/pdf//10032024101500.pdf', 'CO'), "
            "(2024002, '/srv/brevanto/pdf//11032024093012.pdf', 'RG');");
        configureBesideProgram();
        form = makeForm();
    }

    // Logs in as Maria; the grab, when asked for, is taken of the filled-in dialog.
    void logIn(const QString& grabTo = {}) {
        TModalDriver modals;
        modals.Then([&](QWidget& modal) {
            TfrmLogin2& dialog = login(modal);
            Activate(dialog);
            dialog.ValorNome->setFocus(Qt::OtherFocusReason);
            TypeText(*dialog.ValorNome, QStringLiteral("maria"));
            QTest::keyClick(dialog.ValorNome, Qt::Key_Tab);
            TypeText(*dialog.ValorSenha, QStringLiteral("segredo"));
            if (!grabTo.isEmpty()) dialog.grab().save(grabTo);
            QTest::keyClick(dialog.ValorSenha, Qt::Key_Return);
        });
        form->FormCreate();
        ASSERT_TRUE(form->isEnabled());
        form->show();
        Activate(*form);
    }

    std::unique_ptr<TForm1> form;
};

TEST_F(MainWindowTest, ControlsOfTheThreeTabs) {
    logIn();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Brevanto - Scanner"));
    // The designer's size where the screen has room (the offscreen screen is smaller).
    form->resize(901, 660);
    for (QWidget* tab : {form->TabMontar, form->TabListagem, form->TabConfiguracoes}) {
        form->RzPageControl1->setCurrentWidget(tab);
        QCoreApplication::processEvents();
    }
    form->RzPageControl1->setCurrentIndex(0);
    QCoreApplication::processEvents();
    ASSERT_EQ(form->RzPageControl1->count(), 3);
    EXPECT_EQ(form->RzPageControl1->tabText(0), QStringLiteral("Montar Aquivo"));
    EXPECT_EQ(form->RzPageControl1->tabText(1), QStringLiteral("Listagem"));
    EXPECT_EQ(form->RzPageControl1->tabText(2), QStringLiteral("Configurações"));

    EXPECT_EQ(form->GoAcquire->text(), QStringLiteral("Capturar"));
    EXPECT_EQ(form->btnSAlvar->text(), QStringLiteral("Salvar PDF"));
    EXPECT_EQ(form->Listbox1->width(), 143);
    EXPECT_GE(form->Listbox1->height(), 321);
    EXPECT_GE(form->AdvScrollBox1->width(), 700);
    EXPECT_GE(form->AdvScrollBox1->height(), 555);
    EXPECT_THAT(form->GoAcquire->toolTip().toStdString(), HasSubstr("(F2)"));
    EXPECT_THAT(form->btnSAlvar->toolTip().toStdString(), HasSubstr("(Ctrl+S)"));
    for (const QPushButton* button : form->findChildren<QPushButton*>())
        EXPECT_FALSE(button->toolTip().isEmpty()) << button->objectName().toStdString();
    EXPECT_EQ(form->imgMostra->size(), QSize(600, 842));
    EXPECT_FALSE(form->Memo1->isVisible());
    EXPECT_EQ(actionTexts(*form->PopupMenu1),
              QStringList({"Excluir Página", "-", "Mudar para cima", "Mudar para baixo"}));
    ASSERT_EQ(form->cbTipo->count(), 8);
    EXPECT_EQ(form->cbTipo->itemText(2), QStringLiteral("Prontuário"));
    EXPECT_EQ(form->cbTipo->itemText(5), QStringLiteral("Comprovante de Endereço"));
    EXPECT_EQ(form->cbTipo->currentIndex(), -1);
    EXPECT_EQ(form->cbTipo->currentText(), QStringLiteral("Escolha um tipo"));

    EXPECT_EQ(form->edtPesquisa->width(), 313);
    EXPECT_EQ(actionTexts(*form->PopupMenu2),
              QStringList({"Excluir", "Enviar Arquivos por Email"}));
    QStringList titles;
    for (int c = 0; c < form->DBGrid1->model()->columnCount(); ++c)
        titles << form->DBGrid1->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, QStringList({"codpdf", "codprocesso", "caminho", "cliente"}));
    EXPECT_EQ(form->DBGrid1->model()->rowCount(), 2);

    EXPECT_GE(form->edtDir->width(), 280);
    EXPECT_EQ(form->edtDir->text(), QStringLiteral("/srv/brevanto/pdf"));
    EXPECT_EQ(form->AdvGlowButton1->text(), QStringLiteral("Buscar"));
    EXPECT_EQ(form->btnSalva->text(), QStringLiteral("Salvar Alterações"));
    EXPECT_TRUE(form->pnlDiretorio->isHidden());
    form->RzPageControl1->setCurrentWidget(form->TabConfiguracoes);
    form->AdvGlowButton1->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->pnlDiretorio->width(), 252);
    EXPECT_GE(form->pnlDiretorio->height(), 372);
    EXPECT_GE(form->cxShellTreeView1->width(), 233);
    EXPECT_GE(form->cxShellTreeView1->height(), 313);
    EXPECT_EQ(form->AdvGlowButton2->text(), QStringLiteral("Ok"));
}

TEST_F(MainWindowTest, LeavingTheCaseFieldChecksTheCase) {
    logIn();
    TModalDriver modals;
    int rows = -1;
    modals.Then([&](QWidget& modal) {
        auto& lookup = dynamic_cast<TfrmBusca&>(modal);
        rows = lookup.qryProcessos.RecordCount();
        lookup.AdvGlowButton1Click();
    });
    form->edtProcesso->setFocus(Qt::OtherFocusReason);
    TypeText(*form->edtProcesso, QStringLiteral("2024001"));
    QTest::keyClick(form->edtProcesso, Qt::Key_Tab);
    EXPECT_EQ(modals.Seen(), 0);  // the case exists

    form->edtProcesso->setFocus(Qt::OtherFocusReason);
    form->edtProcesso->clear();
    QTest::mouseClick(form->GoAcquire, Qt::LeftButton);
    EXPECT_EQ(modals.Seen(), 1);  // empty: the lookup came up before the button acted
    EXPECT_EQ(rows, 2);
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(MainWindowTest, FailingCaseCheckShowsTheServerErrorAndNoLookup) {
    logIn();
    db.Exec("drop table cadprocessos;");
    TModalDriver modals;
    form->edtProcesso->setText(QStringLiteral("2024001"));
    form->edtProcessoExit();
    EXPECT_EQ(modals.Seen(), 0);
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].Caption, QStringLiteral("Brevanto - Scanner"));
    EXPECT_TRUE(boxes.Messages()[0].Text.contains(QStringLiteral("cadprocessos")))
        << boxes.Messages()[0].Text.toStdString();
}

TEST_F(MainWindowTest, ScreenshotsOfLoginAndMainWindow) {
    const QString loginShot = screenshotPath(QStringLiteral("login.png"));
    const QString mainShot = screenshotPath(QStringLiteral("main-window.png"));
    QFile::remove(loginShot);
    QFile::remove(mainShot);
    logIn(loginShot);
    form->RzPageControl1->setCurrentIndex(0);
    form->edtProcesso->setText(QStringLiteral("2024001"));
    form->Listbox1->addItems({QStringLiteral("Página 1 |/srv/brevanto/pdf/1003202410.bmp"),
                              QStringLiteral("Página 2 |/srv/brevanto/pdf/1003202412.bmp")});
    ASSERT_TRUE(form->grab().save(mainShot));
    form->RzPageControl1->setCurrentIndex(1);
    ASSERT_TRUE(form->grab().save(screenshotPath(QStringLiteral("main-window-list.png"))));
    form->RzPageControl1->setCurrentIndex(2);
    ASSERT_TRUE(form->grab().save(screenshotPath(QStringLiteral("main-window-settings.png"))));
    EXPECT_TRUE(QFile::exists(loginShot));
}

}  // namespace

namespace {

TEST_F(MainWindowTest, TheLayoutGivesTheRoomToTheListsAndKeepsEveryControlInside) {
    logIn();
    const struct {
        QSize window;
        bool bigger;
    } sizes[] = {{{1920, 1040}, true}, {{683, 384}, false}, {{901, 660}, false}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(s.window.width());
        form->resize(s.window);
        for (QWidget* tab : {form->TabMontar, form->TabListagem, form->TabConfiguracoes}) {
            form->RzPageControl1->setCurrentWidget(tab);
            QCoreApplication::processEvents();
        }
        form->RzPageControl1->setCurrentWidget(form->TabMontar);
        QCoreApplication::processEvents();
        const QSize got = form->size();
        for (QWidget* control : std::initializer_list<QWidget*>{
                 form->btnSAlvar, form->GoAcquire, form->cbTipo, form->Listbox1,
                 form->AdvScrollBox1, form->edtProcesso}) {
            const QRect inWindow(control->mapTo(form.get(), QPoint(0, 0)), control->size());
            EXPECT_TRUE(QRect(QPoint(0, 0), got).contains(inWindow))
                << control->objectName().toStdString();
        }
        if (s.bigger) {
            EXPECT_GT(form->AdvScrollBox1->width(), 1500);
            EXPECT_GT(form->Listbox1->height(), 800);
            EXPECT_GT(form->DBGrid1->width(), 1800);
        }
    }
}

TEST_F(MainWindowTest, KeysCaptureSaveAndEnd) {
    logIn();
    int captures = 0;
    int saves = 0;
    QObject::connect(form->GoAcquire, &QPushButton::clicked, [&] { ++captures; });
    QObject::connect(form->btnSAlvar, &QPushButton::clicked, [&] { ++saves; });
    QTest::keyClick(form.get(), Qt::Key_F2);
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    // A button's shortcut shows the press before it clicks.
    for (int waited = 0; captures + saves < 2 && waited < 2000; waited += 20) QTest::qWait(20);
    EXPECT_EQ(captures, 1);
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(form->Terminated());
    QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(form->Terminated());
    EXPECT_EQ(form->ExitCode(), 0);
}

}  // namespace

namespace {

// Run by ctest at 100 %, 150 % and 200 % on a 1366 x 768 screen (QT_SCALE_FACTOR and the
// offscreen platform's screen file).
TEST_F(MainWindowTest, ScaledAndMaximisedEveryControlStaysOnScreen) {
    // The default offscreen screen draws window frames nobody can move: only a screen of the
    // test's own tells where a window lands.
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").contains(QStringLiteral("configfile")))
        GTEST_SKIP() << "run by ctest on a 1366 x 768 screen at 100 %, 150 % and 200 %";
    logIn();
    const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    form->edtProcesso->setText(QStringLiteral("2024001"));
    form->cbTipo->setCurrentIndex(0);
    const auto expectInside = [&](const char* how) {
        SCOPED_TRACE(how);
        EXPECT_TRUE(screen.contains(form->geometry())) << form->geometry().width();
        const QRect window(QPoint(0, 0), form->size());
        for (QWidget* control : std::initializer_list<QWidget*>{
                 form->btnSAlvar, form->GoAcquire, form->cbTipo, form->edtProcesso, form->Listbox1,
                 form->AdvScrollBox1, form->RzPageControl1->tabBar()})
            EXPECT_TRUE(
                window.contains(QRect(control->mapTo(form.get(), QPoint(0, 0)), control->size())))
                << control->objectName().toStdString();
    };
    QCoreApplication::processEvents();
    expectInside("as opened");
    ASSERT_TRUE(form->grab().save(screenshotPath("main-window-" + scale + ".png")));
    const int normalPreview = form->AdvScrollBox1->width();

    form->showMaximized();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    form->resize(screen.size());  // the offscreen platform has no window manager to do it
    QCoreApplication::processEvents();
    expectInside("maximised");
    EXPECT_GE(form->AdvScrollBox1->width(), normalPreview);
    ASSERT_TRUE(form->grab().save(screenshotPath("main-window-" + scale + "-maximised.png")));
}

}  // namespace
