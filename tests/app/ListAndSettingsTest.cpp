// "Listagem" (search, open, delete) and "Configurações" (the PDF folder) on the main window,
// against the real test database and real files.
#include <filesystem>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "WorkspaceFixture.h"
#include "app/TForm1.h"
#include "db/TmySQLQuery.h"
#include "mail/TfrmEnviaEmail.h"
#include "platform/ui/DBGrid.h"

namespace fs = std::filesystem;
using testing::HasSubstr;

namespace {

class ListAndSettingsTest : public WorkspaceFixture {
  protected:
    void SetUp() override {
        // Filed before the program starts: two files that exist, one that is gone, a case
        // without a client name on its row, a case that does not exist, and a client whose
        // name lives only in cadcliente.
        const std::string f = pdfFolder_.path().toStdString();
        for (const char* name : {"a.pdf", "b.pdf", "c.pdf", "d.pdf", "e.pdf"})
            std::ofstream(f + "/" + name) << "%PDF-1.2 " << name;
        db.Exec(
            "insert into cadcliente (codcli, cliente) values (7, 'Carla Cadastro');\n"
            "insert into cadprocessos (CodProcesso, cliente, CodCliente) values "
            "(2024002, 'Bruno_Lima 100%', null), (2024003, null, 7), (2024004, 'Davi', null);\n"
            "insert into cadprocessospdf (codpdf, codprocesso, caminho, tipo) values "
            "(1, 2024001, '" +
            f + "/a.pdf', 'CO'), (2, 2024002, '" + f +
            "/b.pdf', 'RG'), "
            "(3, 2024003, '" +
            f + "/c.pdf', 'OU'), (4, 2024004, '" + f +
            "/d.pdf', 'OU'), "
            "(5, 2029999, '" +
            f + "/e.pdf', 'OU'), (6, 2024001, '" + f + "/gone.pdf', 'PR');");
        WorkspaceFixture::SetUp();
    }

    // codpdf of the listed rows, in order.
    std::vector<std::string> listedCodes() {
        std::vector<std::string> codes;
        const int column = form->DBGrid1->DataSource()->ColumnOf(QStringLiteral("codpdf"));
        for (int row = 0; row < form->DBGrid1->model()->rowCount(); ++row)
            codes.push_back(form->DBGrid1->model()
                                ->data(form->DBGrid1->model()->index(row, column))
                                .toString()
                                .toStdString());
        return codes;
    }

    void search(const QString& text) {
        form->edtPesquisa->setFocus();
        form->edtPesquisa->selectAll();
        if (text.isEmpty())
            QTest::keyClick(form->edtPesquisa, Qt::Key_Backspace);
        else
            QTest::keyClicks(form->edtPesquisa, text);
    }

    void selectRowOf(const std::string& codpdf) {
        const auto codes = listedCodes();
        const auto at = std::find(codes.begin(), codes.end(), codpdf);
        ASSERT_NE(at, codes.end()) << codpdf;
        form->DBGrid1->selectRow(static_cast<int>(at - codes.begin()));
    }

    std::string file(const char* name) const { return folder + "/" + name; }
};

}  // namespace

TEST_F(ListAndSettingsTest, SearchLooksAtTheCaseRowsClientNameWithWildcards) {
    using Codes = std::vector<std::string>;
    EXPECT_EQ(listedCodes(), (Codes{"1", "2", "3", "4", "5", "6"}));
    const struct {
        const char* typed;
        Codes codes;
    } cases[] = {
        {"a", {"1", "2", "4", "6"}},  // nameless and unknown cases drop out at the first key
        {"", {"1", "2", "4", "6"}},   // and stay out when the field is emptied
        {"Carla", {}},                // a name only in cadcliente is not found here
        {"%", {"1", "2", "4", "6"}},  // "%" and "_" are wildcards
        {"Ana_Souza", {"1", "6"}},
        {"Ana%Souza", {"1", "6"}},
        {"o_L", {"2"}},
        {"Lima_1", {"2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        search(QString::fromUtf8(c.typed));
        Codes codes = listedCodes();
        Codes expected = c.codes;
        std::sort(codes.begin(), codes.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(codes, expected);
    }
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(ListAndSettingsTest, ASavedDocumentIsListedWhenItMatchesTheSearch) {
    search(QStringLiteral("Ana"));
    press(at(1));
    save();
    ASSERT_TRUE(boxes.Messages().empty());
    EXPECT_EQ(listedCodes().size(), 3u);  // rows 1 and 6, and the new one
    search(QStringLiteral("Bruno"));
    press(at(2));
    save();
    EXPECT_EQ(listedCodes(), std::vector<std::string>{"2"});
}

TEST_F(ListAndSettingsTest, DoubleClickOpensThePathAsStoredAndTheGridShowsItWhole) {
    selectRowOf("2");
    form->DBGrid1DblClick();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toStdString(), file("b.pdf"));

    const auto* model = form->DBGrid1->model();
    const int column = form->DBGrid1->DataSource()->ColumnOf(QStringLiteral("caminho"));
    EXPECT_EQ(model->data(model->index(1, column), Qt::ToolTipRole).toString().toStdString(),
              file("b.pdf"));
    EXPECT_NE(form->DBGrid1->itemDelegateForColumn(column), nullptr);

    search(QStringLiteral("nobody"));
    form->DBGrid1DblClick();  // an empty list opens nothing
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(ListAndSettingsTest, TheMailMenuOpensTheComposerForTheCurrentRowsCase) {
    selectRowOf("2");
    form->SetArquivosZip(QString::fromStdString(folder + "/Arquivos.zip"));
    TModalDriver modals;
    QStringList files;
    modals.Then([&](QWidget& modal) {
        auto& composer = dynamic_cast<TfrmEnviaEmail&>(modal);
        for (composer.qryPDF.First(); !composer.qryPDF.Eof(); composer.qryPDF.Next())
            files << QString::fromStdString(composer.qryPDF.FieldByName("caminho").AsString());
        composer.btnSairClick();
    });
    form->EnviarArquivosporEmail1->trigger();
    EXPECT_EQ(modals.Seen(), 1);
    EXPECT_EQ(files, QStringList{QString::fromStdString(file("b.pdf"))});
}

TEST_F(ListAndSettingsTest, DeleteAsksThenRemovesTheRowAndThenTheFile) {
    const std::string ask = "Tem certeza que deseja excluir este arquivo?";
    selectRowOf("2");
    boxes.Answer(TMsgResult::No);
    form->SalvarArquivoComo1->trigger();
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].Text.toStdString(), ask);
    EXPECT_EQ(boxes.Messages()[0].Caption, QStringLiteral("Atenção"));
    EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::Question);
    EXPECT_EQ(boxes.Messages()[0].Buttons, TMsgButtons::YesNo);
    EXPECT_TRUE(fs::exists(file("b.pdf")));
    EXPECT_EQ(listedCodes().size(), 6u);

    boxes.Clear();
    selectRowOf("2");
    form->SalvarArquivoComo1->trigger();
    EXPECT_EQ(boxes.Messages().size(), 1u);
    EXPECT_FALSE(fs::exists(file("b.pdf")));
    EXPECT_EQ(listedCodes(), (std::vector<std::string>{"1", "3", "4", "5", "6"}));

    // A row whose file is already gone is removed all the same.
    boxes.Clear();
    selectRowOf("6");
    form->SalvarArquivoComo1->trigger();
    EXPECT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(listedCodes(), (std::vector<std::string>{"1", "3", "4", "5"}));
}

TEST_F(ListAndSettingsTest, AFailedDeleteLeavesRowAndFile) {
    db.Exec(
        "create trigger keep before delete on cadprocessospdf for each row "
        "signal sqlstate '45000' set message_text = 'arquivo protegido'");
    selectRowOf("1");
    form->SalvarArquivoComo1->trigger();
    ASSERT_EQ(boxes.Messages().size(), 2u);
    EXPECT_THAT(boxes.Messages()[1].Text.toStdString(), HasSubstr("arquivo protegido"));
    EXPECT_EQ(boxes.Messages()[1].Icon, TMsgIcon::Error);
    EXPECT_TRUE(fs::exists(file("a.pdf")));
    EXPECT_EQ(listedCodes().size(), 6u);
}

TEST_F(ListAndSettingsTest, DeleteOnAnEmptyListDoesNothing) {
    search(QStringLiteral("nobody"));
    ASSERT_TRUE(listedCodes().empty());
    form->SalvarArquivoComo1->trigger();
    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_EQ(db.Scalar("select count(*) from cadprocessospdf"), "6");
}

TEST_F(ListAndSettingsTest, TheFolderTreePicksAFolder) {
    EXPECT_TRUE(form->pnlDiretorio->isHidden());
    form->AdvGlowButton1->click();
    EXPECT_FALSE(form->pnlDiretorio->isHidden());
    auto* tree = qobject_cast<QFileSystemModel*>(form->cxShellTreeView1->model());
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(tree->filter().testFlag(QDir::AllDirs));
    EXPECT_FALSE(tree->filter().testFlag(QDir::Files));

    // Nothing selected: an empty text.
    form->AdvGlowButton2->click();
    EXPECT_EQ(form->edtDir->text(), QString());
    EXPECT_TRUE(form->pnlDiretorio->isHidden());

    form->AdvGlowButton1->click();
    form->cxShellTreeView1->setCurrentIndex(tree->index(pdfFolder_.path()));
    form->AdvGlowButton2->click();
    EXPECT_EQ(form->edtDir->text(), pdfFolder_.path());
}

TEST_F(ListAndSettingsTest, SavingTheFolderStoresItsStoredFormForTheNextScan) {
    const std::string elsewhere = folder + "/elsewhere";
    fs::create_directory(elsewhere);
    const struct {
        std::string typed;
        std::string stored;
    } cases[] = {
        {"C:\\Scans\\2014", "C://Scans//2014"},
        {elsewhere, elsewhere},  // "/" stays as typed
        {"", ""},
        {folder + "/missing", folder + "/missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        boxes.Clear();
        form->edtDir->setText(QString::fromStdString(c.typed));
        form->btnSalva->click();
        ASSERT_EQ(boxes.Messages().size(), 1u);
        EXPECT_EQ(boxes.Messages()[0].Text, QStringLiteral("Alterações salvas com sucesso!"));
        EXPECT_EQ(boxes.Messages()[0].Caption, QStringLiteral("Salvo"));
        EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::None);
        EXPECT_EQ(boxes.Messages()[0].Buttons, TMsgButtons::Ok);
        EXPECT_EQ(db.Scalar("select dirpdf from cadparametos"), c.stored);
        EXPECT_EQ(form->qryDir.FieldByName("dirpdf").AsString(), c.stored);
    }

    // A folder that does not exist is stored; the next scan then fails with the file error.
    boxes.Clear();
    press(at(1));
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_THAT(boxes.Messages()[0].Text.toStdString(),
                HasSubstr("Cannot create file \"" + folder + "/missing/111220260901.bmp\""));

    // The next scan and save use a folder set now.
    form->edtDir->setText(QString::fromStdString(elsewhere));
    form->btnSalva->click();
    boxes.Clear();
    press(at(2));
    save();
    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_TRUE(fs::exists(elsewhere + "/111220260902.bmp"));
    EXPECT_THAT(rows(), HasSubstr(elsewhere + "//11122026094102.pdf"));
}

TEST_F(ListAndSettingsTest, AFailedFolderSaveKeepsTheFolder) {
    db.Exec(
        "create trigger keepdir before update on cadparametos for each row "
        "signal sqlstate '45000' set message_text = 'pasta bloqueada'");
    form->edtDir->setText(QStringLiteral("/somewhere/else"));
    form->btnSalva->click();
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_THAT(boxes.Messages()[0].Text.toStdString(), HasSubstr("pasta bloqueada"));
    EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::Error);
    EXPECT_EQ(form->qryDir.FieldByName("dirpdf").AsString(), folder);
    EXPECT_EQ(db.Scalar("select dirpdf from cadparametos"), folder);
}
