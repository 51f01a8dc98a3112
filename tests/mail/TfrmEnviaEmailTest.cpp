#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "MailTestSupport.h"
#include "TestDatabase.h"
#include "db/TmySQLDatabase.h"
#include "mail/TfrmEnviaEmail.h"
#include "platform/locale/LocalClock.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QueryTableModel.h"

namespace fs = std::filesystem;

namespace {

std::string bytesOf(int size, int seed) {
    std::string bytes;
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((i * seed + i / 5) % 256);
    return bytes;
}

QString q(const std::string& text) { return QString::fromStdString(text); }

// Types the names into the file dialog as a user would (its list fills in the background, so
// selecting in the list is not reliable) and confirms.
void chooseFiles(QWidget& modal, const QString& typed) {
    auto* dialog = qobject_cast<QFileDialog*>(&modal);
    ASSERT_NE(dialog, nullptr);
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(typed);
    static_cast<QDialog*>(dialog)->accept();
    if (dialog->isVisible()) {
        ADD_FAILURE() << "the file dialog did not take " << typed.toStdString();
        dialog->reject();
    }
}

// Case 1001 (Ana Souza) has a medical record and two contracts, one stored with doubled
// separators as the folder setting writes them; case 1002 has a file of its own.
class ComposerTest : public GuiTest {
  protected:
    void SetUp() override {
        prontuario = files.Write("pdf/prontuario.pdf", bytesOf(50000, 7));
        contrato1 = files.Write("pdf/contrato1.pdf", bytesOf(3000, 11));
        contrato2 = files.Write("pdf/contrato2.pdf", bytesOf(2000, 13));
        outro = files.Write("pdf/outro.pdf", "outro");
        zip = files.Write("Arquivos.zip", "zip");
        const std::string stored1 = files.Path() + "//pdf//contrato1.pdf";
        db.Exec(
            "insert into cadprocessos (CodProcesso, cliente) values (1001, 'Ana Souza'), "
            "(1002, 'Bruno Lima');\n"
            "insert into cadempresa (fantasia, endereco, numero, bairro, cidade, email, telefone, "
            "telefone2) values ('Brevanto Advocacia', 'Rua da Aurora', '100', 'Boa Vista', "
            "'Recife', 'escritorio@example.com', '(81) 3333-0000', NULL), ('Outra', NULL, NULL, "
            "NULL, NULL, NULL, NULL, NULL);\n"
            "insert into cadprocessospdf (codpdf, codprocesso, caminho, tipo) values "
            "(1, 1001, '" +
            prontuario + "', 'PR'), (2, 1001, '" + stored1 + "', 'CO'), (3, 1002, '" + outro +
            "', 'OU'), (4, 1001, '" + contrato2 + "', 'CO');");
        connection = db.NewConnection();
        owner.show();
    }

    std::unique_ptr<TfrmEnviaEmail> open(std::optional<std::int64_t> caseNumber = 1001) {
        return std::make_unique<TfrmEnviaEmail>(owner, *connection, caseNumber, "CARLA", q(zip));
    }

    static std::vector<std::string> listed(TfrmEnviaEmail& composer, const char* field) {
        std::vector<std::string> values;
        const TQueryTableModel& model = *composer.DBGrid1->DataSource();
        const int column = model.ColumnOf(QString::fromLatin1(field));
        for (int row = 0; row < model.rowCount(); ++row)
            values.push_back(model.index(row, column).data().toString().toStdString());
        return values;
    }

    // The body as the composer prepares it at the fixed time.
    static std::string expectedBody() {
        const QLocale locale = QLocale::system();
        const QDateTime at(QDate(2024, 3, 10), QTime(14, 5, 9));
        const std::string date = locale.toString(at.date(), QLocale::ShortFormat).toStdString();
        const std::string time =
            locale.toString(at, locale.timeFormat(QLocale::LongFormat)).toStdString();
        return "\r\n\r\nSegue em anexo documentos da v\xC3\xADtima: Ana Souza\r\n\r\n\r\n"
               "Atensiosamente, CARLA\r\nEmpresa:\r\nBrevanto Advocacia\r\n"
               "Endere\xC3\xA7o: Rua da Aurora, 100\r\nBairro: Boa Vista\r\nCidade: Recife\r\n"
               "escritorio@example.com\r\n(81) 3333-0000\r\n\r\nEnviado em " +
               date + " \xC3\xA0s " + time + "\r\n";
    }

    std::vector<TMessage> errors() const {
        std::vector<TMessage> found;
        for (const TMessage& m : boxes.Messages())
            if (m.Icon == TMsgIcon::Error) found.push_back(m);
        return found;
    }

    bool successShown() const {
        for (const TMessage& m : boxes.Messages())
            if (m.Text == QStringLiteral("E-mail enviado com sucesso!") &&
                m.Caption == QStringLiteral("Atenção!") && m.Icon == TMsgIcon::Warning)
                return true;
        return false;
    }

    int contractQuestions() const {
        int asked = 0;
        for (const TMessage& m : boxes.Messages())
            if (m.Text == QStringLiteral("Deseja Enviar o contrato também?") &&
                m.Caption == QStringLiteral("Enviar Contrato?") && m.Icon == TMsgIcon::Question &&
                m.Buttons == TMsgButtons::YesNo)
                ++asked;
        return asked;
    }

    TestDatabase db;
    TTempFolder files;
    std::string prontuario, contrato1, contrato2, outro, zip;
    std::unique_ptr<TmySQLDatabase> connection;
    QWidget owner;
    TMessageBoxInterceptor boxes;
    FixedLocalClock clock{{2024, 3, 10, 14, 5, 9, 0}};
};

TEST_F(ComposerTest, OpensWithTheCaseFilesSubjectAndBody) {
    auto composer = open();
    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_EQ(composer->windowTitle(), QStringLiteral("Enviar E-mail"));
    EXPECT_EQ(composer->size(), QSize(820, 423));
    EXPECT_EQ(composer->parentWidget(), &owner);
    EXPECT_FALSE(composer->windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(composer->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(composer->btnAnexar->text(), QStringLiteral("Anexar Mais Arquivos"));
    EXPECT_EQ(composer->btnEnviar->text(), QStringLiteral("Enviar [F5]"));
    EXPECT_EQ(composer->btnSair->text(), QStringLiteral("Sair [ESC]"));
    EXPECT_EQ(composer->PageControl1->tabText(0), QStringLiteral("E-mail"));
    EXPECT_EQ(composer->PageControl1->tabText(1), QStringLiteral("Lista de Arquivos"));
    EXPECT_EQ(composer->edtPara->width(), 781);

    QStringList titles;
    for (int c = 0; c < composer->DBGrid1->model()->columnCount(); ++c)
        titles << composer->DBGrid1->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, QStringList({QStringLiteral("Código"), QStringLiteral("Processo"),
                                   QStringLiteral("Caminho do Arquivo"), QStringLiteral("Cliente"),
                                   QStringLiteral("Tipo")}));
    EXPECT_EQ(listed(*composer, "codpdf"), (std::vector<std::string>{"1", "2", "4"}));
    EXPECT_EQ(listed(*composer, "tipo"), (std::vector<std::string>{"PR", "CO", "CO"}));

    // The subject field holds upper case only, whatever puts the text there.
    EXPECT_EQ(composer->edtAssunto->text(), QStringLiteral("DOCUMENTOS DA VÍTIMA: ANA SOUZA"));
    const std::string body = expectedBody();
    QString memo = composer->Memo1->toPlainText();
    EXPECT_EQ(memo.replace(QLatin1Char('\n'), QStringLiteral("\r\n")) + QStringLiteral("\r\n"),
              q(body));
    // Typed subject letters become upper case.
    composer->edtAssunto->clear();
    TypeText(*composer->edtAssunto, QStringLiteral("urgente ção"));
    EXPECT_EQ(composer->edtAssunto->text(), QStringLiteral("URGENTE ÇÃO"));
}

TEST_F(ComposerTest, SendsTheMessageWithTheChosenFilesThroughSmtp) {
    TSmtpTestServer server;
    TScopedEnv profile("BREVANTO_MAIL_INI", server.WriteProfile(files).c_str());
    auto composer = open();
    composer->edtPara->setText(QStringLiteral("ana@example.com; jose@example.com;"));
    boxes.Answer(TMsgResult::Yes);  // the contract stored with "//"
    boxes.Answer(TMsgResult::No);   // the second contract stays out
    QTest::mouseClick(composer->btnEnviar, Qt::LeftButton);

    ASSERT_TRUE(errors().empty()) << errors()[0].Text.toStdString();
    EXPECT_EQ(contractQuestions(), 2);
    EXPECT_TRUE(successShown());
    EXPECT_FALSE(fs::exists(zip));

    const auto received = server.Received();
    ASSERT_EQ(received.size(), 1u);
    // The empty item after the last ";" is no recipient.
    EXPECT_EQ(received[0].RcptTo,
              (std::vector<std::string>{"ana@example.com", "jose@example.com"}));
    const TParsedMail mail = ParseMail(received[0].Raw);
    EXPECT_EQ(mail.Subject, "DOCUMENTOS DA V\xC3\x8DTIMA: ANA SOUZA");
    EXPECT_EQ(mail.Body, expectedBody());
    ASSERT_EQ(mail.Attachments.size(), 2u);
    EXPECT_EQ(mail.Attachments[0].FileName, "prontuario.pdf");
    EXPECT_EQ(mail.Attachments[0].Bytes, ReadFile(prontuario));
    EXPECT_EQ(mail.Attachments[1].FileName, "contrato1.pdf");
    EXPECT_EQ(mail.Attachments[1].Bytes, ReadFile(contrato1));
}

TEST_F(ComposerTest, SendsWhatTheFieldsHoldAndTwiceGivesTwoEqualMessages) {
    TTempFolder pickup;
    TScopedEnv profile("BREVANTO_MAIL_INI", files
                                                .Write("pickup.ini",
                                                       "[Mail]\nFrom=escritorio@example.com\n"
                                                       "Delivery=pickup\nPickupFolder=" +
                                                           pickup.Path() + "\n")
                                                .c_str());
    auto composer = open();
    composer->edtPara->setText(QStringLiteral("\"Ana Souza <ana@example.com>\";bruno@example.com"));
    composer->edtAssunto->setText(QStringLiteral("OUTRO ASSUNTO"));
    composer->Memo1->setPlainText(QStringLiteral("linha 1\n\nlinha 3"));
    for (int send = 0; send < 2; ++send) {
        boxes.Answer(TMsgResult::No);
        boxes.Answer(TMsgResult::Yes);
        composer->btnEnviarClick();
    }
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(contractQuestions(), 4);

    std::vector<std::string> eml;
    for (const auto& entry : fs::directory_iterator(pickup.Path()))
        eml.push_back(entry.path().string());
    std::sort(eml.begin(), eml.end());
    ASSERT_EQ(eml.size(), 2u);
    const std::string first = ReadFile(eml[0]);
    EXPECT_EQ(WithoutDateAndId(first), WithoutDateAndId(ReadFile(eml[1])));
    const TParsedMail mail = ParseMail(first);
    EXPECT_EQ(mail.To, "Ana Souza <ana@example.com>, bruno@example.com");
    EXPECT_EQ(mail.Subject, "OUTRO ASSUNTO");
    EXPECT_EQ(mail.Body, "linha 1\r\n\r\nlinha 3\r\n");
    ASSERT_EQ(mail.Attachments.size(), 2u);
    EXPECT_EQ(mail.Attachments[0].FileName, "prontuario.pdf");
    EXPECT_EQ(mail.Attachments[1].FileName, "contrato2.pdf");
    EXPECT_EQ(mail.Attachments[1].Bytes, ReadFile(contrato2));
}

TEST_F(ComposerTest, AddedFileIsRecordedListedAndAttachedWithoutQuestion) {
    TTempFolder pickup;
    TScopedEnv profile("BREVANTO_MAIL_INI", files
                                                .Write("pickup.ini",
                                                       "[Mail]\nFrom=escritorio@example.com\n"
                                                       "Delivery=pickup\nPickupFolder=" +
                                                           pickup.Path() + "\n")
                                                .c_str());
    const std::string laudo = files.Write(
        "extra/laudo m\xC3\xA9"
        "dico.pdf",
        bytesOf(900, 3));
    files.Write("extra/zzz.pdf", "ignored");
    auto composer = open();
    TModalDriver modals;
    modals.Then([&](QWidget& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
        dialog->setDirectory(q(files.Path() + "/extra"));
        chooseFiles(*dialog, QStringLiteral("\"laudo médico.pdf\" \"zzz.pdf\""));
    });
    QTest::mouseClick(composer->btnAnexar, Qt::LeftButton);
    EXPECT_EQ(modals.Seen(), 1);
    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_EQ(db.Scalar("select concat(codprocesso, '|', caminho, '|', ifnull(tipo, 'NULL')) "
                        "from cadprocessospdf where codpdf > 4"),
              "1001|" + laudo + "|NULL");
    EXPECT_EQ(db.Scalar("select count(*) from cadprocessospdf"), "5");
    EXPECT_EQ(listed(*composer, "caminho").back(), laudo);

    composer->edtPara->setText(QStringLiteral("ana@example.com"));
    boxes.Answer(TMsgResult::No);
    boxes.Answer(TMsgResult::No);
    composer->btnEnviarClick();
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(contractQuestions(), 2);
    const auto sent = fs::directory_iterator(pickup.Path())->path().string();
    const TParsedMail mail = ParseMail(ReadFile(sent));
    ASSERT_EQ(mail.Attachments.size(), 2u);
    EXPECT_EQ(mail.Attachments[1].FileName,
              "laudo m\xC3\xA9"
              "dico.pdf");
    EXPECT_EQ(mail.Attachments[1].Bytes, ReadFile(laudo));

    // Cancelling the dialog records nothing. (A driver of its own: the dialog is the same one.)
    TModalDriver again;
    again.Then([](QWidget& modal) { static_cast<QDialog&>(modal).reject(); });
    composer->btnAnexarClick();
    EXPECT_EQ(again.Seen(), 1);
    EXPECT_EQ(db.Scalar("select count(*) from cadprocessospdf"), "5");
}

TEST_F(ComposerTest, FailuresAreShownAndNothingIsSent) {
    TSmtpTestServer server;
    const std::string smtpProfile = server.WriteProfile(files);
    struct Case {
        const char* name;
        std::string profile;
        std::string para;
        std::string missingFile;  // a case file removed before sending
        std::string expected;
    };
    const Case cases[] = {
        {"no profile", files.Path() + "/none.ini", "ana@example.com", "",
         "Outlook not available: there is no mail profile " + files.Path() + "/none.ini"},
        {"missing file", smtpProfile, "ana@example.com", prontuario,
         "The file \"" + prontuario + "\" cannot be attached"},
        {"refused recipient", smtpProfile, "ana@example.com; refuse@example.com", "",
         "550 5.1.1 <refuse@example.com>: Recipient address rejected"},
        {"no address", smtpProfile, "", "", "There must be at least one name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.Clear();
        TScopedEnv profile("BREVANTO_MAIL_INI", c.profile.c_str());
        std::string saved;
        if (!c.missingFile.empty()) {
            saved = ReadFile(c.missingFile);
            fs::remove(c.missingFile);
        }
        auto composer = open();
        composer->edtPara->setText(q(c.para));
        composer->btnEnviar->click();
        ASSERT_EQ(errors().size(), 1u);
        EXPECT_TRUE(errors()[0].Text.contains(q(c.expected))) << errors()[0].Text.toStdString();
        EXPECT_EQ(errors()[0].Caption, QStringLiteral("Brevanto - Scanner"));
        EXPECT_FALSE(errors()[0].Text.contains(QLatin1String("Se;gr3do")));
        EXPECT_FALSE(successShown());
        EXPECT_TRUE(fs::exists(zip));
        if (!c.missingFile.empty()) files.Write("pdf/prontuario.pdf", saved);
    }
    EXPECT_TRUE(server.Received().empty());
}

TEST_F(ComposerTest, WithoutCurrentRowTheErrorIsShownAndNothingIsPrepared) {
    auto composer = open(std::nullopt);
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_TRUE(errors()[0].Text.contains(QLatin1String("SQL syntax")))
        << errors()[0].Text.toStdString();
    EXPECT_EQ(composer->edtAssunto->text(), QString());
    EXPECT_EQ(composer->Memo1->toPlainText(), QString());
    EXPECT_EQ(composer->DBGrid1->model()->rowCount(), 0);

    // Recording a file needs the case of a current row: the server refuses, nothing changes.
    boxes.Clear();
    TModalDriver modals;
    modals.Then([&](QWidget& modal) { chooseFiles(modal, q(prontuario)); });
    composer->btnAnexar->click();
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_TRUE(errors()[0].Text.contains(QLatin1String("SQL syntax")))
        << errors()[0].Text.toStdString();
    EXPECT_EQ(db.Scalar("select count(*) from cadprocessospdf"), "4");
    EXPECT_EQ(composer->DBGrid1->model()->rowCount(), 0);
}

TEST_F(ComposerTest, F5AndEscActOnlyWhenNoControlHasTheFocus) {
    TScopedEnv profile("BREVANTO_MAIL_INI", (files.Path() + "/none.ini").c_str());
    auto composer = open();
    composer->show();
    Activate(*composer);
    for (QWidget* control : std::initializer_list<QWidget*>{composer->edtPara, composer->edtAssunto,
                                                            composer->Memo1, composer->btnSair}) {
        SCOPED_TRACE(control->objectName().toStdString());
        control->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(control, Qt::Key_F5);
        QTest::keyClick(control, Qt::Key_Escape);
        EXPECT_TRUE(boxes.Messages().empty());
        EXPECT_TRUE(composer->isVisible());
    }

    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    ASSERT_EQ(QApplication::focusWidget(), nullptr);
    QTest::keyClick(composer.get(), Qt::Key_F5);
    // "Enviar [F5]" ran: without a profile it shows the automation's error.
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_TRUE(errors()[0].Text.startsWith(QLatin1String("Outlook not available")));
    QTest::keyClick(composer.get(), Qt::Key_Escape);
    EXPECT_FALSE(composer->isVisible());
}

}  // namespace
