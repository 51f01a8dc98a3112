#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "GuiTestSupport.h"
#include "TestDatabase.h"
#include "db/TmySQLDatabase.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QueryTableModel.h"
#include "register/CaseCheck.h"
#include "register/TfrmBusca.h"

namespace {

// A stand-in for the main window: the case field, a second control to leave it for, and the
// check query on the window's connection.
class CaseLookupTest : public GuiTest {
  protected:
    void SetUp() override {
        db.Exec(
            "insert into cadcliente (codcli, cliente) values (1, 'Maria Cadastro'), "
            "(2, 'Pedro Oliveira');\n"
            "insert into cadprocessos (CodProcesso, cliente, CodCliente, DtCadastro, Usuario) "
            "values (1001, 'Ana Souza', NULL, '2024-02-10', 'CARLA'), "
            "(1002, NULL, 1, NULL, NULL), (1003, 'Bruno Lima', 2, NULL, NULL), "
            "(1004, NULL, NULL, NULL, NULL), (1005, NULL, 99, NULL, NULL);");
        connection = db.NewConnection();
        qryProcesso = std::make_unique<TmySQLQuery>(*connection, "qryProcesso");
        auto* layout = new QVBoxLayout(&window);
        edtProcesso = new QLineEdit(&window);
        layout->addWidget(edtProcesso);
        window.show();
    }

    void check(const QString& text) {
        edtProcesso->setText(text);
        CheckCaseNumber(window, *edtProcesso, *qryProcesso);
    }

    static TfrmBusca& lookup(QWidget& modal) {
        auto* dialog = qobject_cast<TfrmBusca*>(&modal);
        if (dialog == nullptr) throw std::runtime_error("the modal window is not the lookup");
        return *dialog;
    }

    static std::vector<std::string> listedCases(TfrmBusca& dialog) {
        std::vector<std::string> cases;
        for (dialog.qryProcessos.First(); !dialog.qryProcessos.Eof(); dialog.qryProcessos.Next())
            cases.push_back(dialog.qryProcessos.FieldByName("CodProcesso").AsString());
        return cases;
    }

    static void doubleClickRow(TfrmBusca& dialog, int row) {
        TDBGrid& grid = *dialog.DBGrid1;
        const QRect cell = grid.visualRect(grid.model()->index(row, 0));
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    }

    TestDatabase db;
    std::unique_ptr<TmySQLDatabase> connection;
    std::unique_ptr<TmySQLQuery> qryProcesso;
    QWidget window;
    QLineEdit* edtProcesso = nullptr;
    TMessageBoxInterceptor boxes;
};

TEST_F(CaseLookupTest, ExistingNumberOpensNothing) {
    TModalDriver modals;
    check(QStringLiteral("1001"));
    EXPECT_EQ(modals.Seen(), 0);
    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_EQ(qryProcesso->RecordCount(), 1);
}

TEST_F(CaseLookupTest, EmptyOrUnknownNumberOpensTheLookupWithEveryNamedCase) {
    for (const QString& text :
         {QString(), QStringLiteral("   "), QStringLiteral("9999"), QStringLiteral(" 9999 ")}) {
        SCOPED_TRACE(text.toStdString());
        std::vector<std::string> listed;
        QString caption;
        TModalDriver driver;
        driver.Then([&](QWidget& modal) {
            TfrmBusca& dialog = lookup(modal);
            caption = dialog.windowTitle();
            listed = listedCases(dialog);
            QTest::mouseClick(dialog.AdvGlowButton1, Qt::LeftButton);
        });
        check(text);
        EXPECT_EQ(driver.Seen(), 1);
        EXPECT_EQ(caption, QStringLiteral("Buscar Processos"));
        // 1004 has no client name anywhere, 1005's client does not exist: never listed.
        EXPECT_EQ(listed, (std::vector<std::string>{"1001", "1002", "1003"}));
        // "Fechar" leaves the field as it was.
        EXPECT_EQ(edtProcesso->text(), text);
        EXPECT_TRUE(boxes.Messages().empty());
    }
}

TEST_F(CaseLookupTest, TextThatIsNoNumberIsRefusedWithoutLookup) {
    TModalDriver modals;
    for (const char* text : {"12a", "1001 or 1=1", "1,5", "99999999999999999999"}) {
        SCOPED_TRACE(text);
        boxes.Clear();
        check(QString::fromUtf8(text));
        ASSERT_EQ(boxes.Messages().size(), 1u);
        EXPECT_EQ(boxes.Messages()[0].Text, QStringLiteral("Número de processo inválido."));
        EXPECT_EQ(boxes.Messages()[0].Caption, QStringLiteral("Atenção"));
        EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::Warning);
        EXPECT_EQ(edtProcesso->text(), QString::fromUtf8(text));
    }
    EXPECT_EQ(modals.Seen(), 0);
    EXPECT_FALSE(qryProcesso->Active());
}

TEST_F(CaseLookupTest, GridShowsTheCaseColumnsInOrder) {
    TModalDriver modals;
    QStringList titles;
    modals.Then([&](QWidget& modal) {
        TfrmBusca& dialog = lookup(modal);
        for (int c = 0; c < dialog.DBGrid1->model()->columnCount(); ++c)
            titles << dialog.DBGrid1->model()->headerData(c, Qt::Horizontal).toString();
        dialog.AdvGlowButton1Click();
    });
    check({});
    EXPECT_EQ(titles, QStringList({"CodProcesso", "Cliente", "DtCadastro", "Usuario", "CodUsuario",
                                   "CodCliente", "Beneficiario", "CPFCNPJ"}));
}

TEST_F(CaseLookupTest, SearchFindsClientNamesOnTheCaseAndInTheClientTable) {
    struct Search {
        const char* typed;
        std::vector<std::string> cases;
    };
    const Search searches[] = {
        {"Lima", {"1003"}},      // the case's own name wins over its client's
        {"Cadastro", {"1002"}},  // a name only in cadcliente
        {"Oliveira", {}},        // 1003's client, hidden behind the case's own name
        {"a_S", {"1001"}},       // "_" is the LIKE wildcard: "Ana Souza"
        {"zzz", {}},
    };
    for (const Search& search : searches) {
        SCOPED_TRACE(search.typed);
        std::vector<std::string> listed;
        TModalDriver driver;
        driver.Then([&](QWidget& modal) {
            TfrmBusca& dialog = lookup(modal);
            TypeText(*dialog.edtPesquisa, QString::fromUtf8(search.typed));
            listed = listedCases(dialog);
            dialog.AdvGlowButton1Click();
        });
        check({});
        EXPECT_EQ(listed, search.cases);
    }
}

TEST_F(CaseLookupTest, DoubleClickPicksTheCaseAndChecksItAgain) {
    TModalDriver modals;
    modals.Then([&](QWidget& modal) {
        TfrmBusca& dialog = lookup(modal);
        TypeText(*dialog.edtPesquisa, QStringLiteral("Cadastro"));
        doubleClickRow(dialog, 0);
    });
    check(QStringLiteral("4242"));
    EXPECT_EQ(edtProcesso->text(), QStringLiteral("1002"));
    // The repeated check ran S6 for the picked number and found it: no second lookup.
    EXPECT_EQ(modals.Seen(), 1);
    EXPECT_EQ(qryProcesso->FieldByName("CodProcesso").AsString(), "1002");
    EXPECT_TRUE(modals.Unexpected().empty());
}

TEST_F(CaseLookupTest, DoubleClickOnTheSecondRowPicksThatRow) {
    TModalDriver modals;
    modals.Then([&](QWidget& modal) {
        TfrmBusca& dialog = lookup(modal);
        doubleClickRow(dialog, 2);
    });
    check({});
    EXPECT_EQ(edtProcesso->text(), QStringLiteral("1003"));
    EXPECT_EQ(modals.Seen(), 1);
}

TEST_F(CaseLookupTest, EnterOnARowPicksItAsADoubleClickDoes) {
    TModalDriver modals;
    modals.Then([&](QWidget& modal) {
        TfrmBusca& dialog = lookup(modal);
        Activate(dialog);
        dialog.DBGrid1->setFocus(Qt::OtherFocusReason);
        dialog.DBGrid1->selectRow(1);
        QTest::keyClick(dialog.DBGrid1, Qt::Key_Return);
    });
    check({});
    EXPECT_EQ(edtProcesso->text(), QStringLiteral("1002"));
    EXPECT_EQ(modals.Seen(), 1);
}

TEST_F(CaseLookupTest, DoubleClickInAnEmptyGridOpensASecondLookupOnTop) {
    TModalDriver modals;
    bool innerOnTop = false;
    modals
        .Then([&](QWidget& modal) {
            TfrmBusca& dialog = lookup(modal);
            TypeText(*dialog.edtPesquisa, QStringLiteral("zzz"));
            QTest::mouseDClick(dialog.DBGrid1->viewport(), Qt::LeftButton, {}, QPoint(40, 40));
        })
        .Then([&](QWidget& modal) {
            TfrmBusca& inner = lookup(modal);
            innerOnTop = inner.parentWidget() == &window && inner.edtPesquisa->text().isEmpty();
            inner.AdvGlowButton1Click();
        });
    check(QStringLiteral("9999"));
    EXPECT_EQ(modals.Seen(), 2);
    EXPECT_TRUE(innerOnTop);
    EXPECT_EQ(edtProcesso->text(), QString());
}

TEST_F(CaseLookupTest, FailingSearchIsShownAndLeavesTheGridEmpty) {
    TModalDriver modals;
    int rows = -1;
    bool stayed = false;
    modals.Then([&](QWidget& modal) {
        TfrmBusca& dialog = lookup(modal);
        db.Exec("drop table cadcliente;");
        TypeText(*dialog.edtPesquisa, QStringLiteral("L"));
        rows = dialog.DBGrid1->model()->rowCount();
        stayed = dialog.isVisible();
        dialog.AdvGlowButton1Click();
    });
    check({});
    EXPECT_EQ(rows, 0);
    EXPECT_TRUE(stayed);
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_TRUE(boxes.Messages()[0].Text.contains(QStringLiteral("cadcliente")))
        << boxes.Messages()[0].Text.toStdString();
    EXPECT_EQ(boxes.Messages()[0].Caption, QStringLiteral("Brevanto - Scanner"));
}

TEST_F(CaseLookupTest, DownOrEnterInTheSearchFieldGoesToTheGrid) {
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Return}) {
        bool gridFocused = false;
        TModalDriver driver;
        driver.Then([&](QWidget& modal) {
            TfrmBusca& dialog = lookup(modal);
            Activate(dialog);
            dialog.edtPesquisa->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(dialog.edtPesquisa, key);
            gridFocused = dialog.DBGrid1->hasFocus();
            dialog.AdvGlowButton1Click();
        });
        check({});
        EXPECT_TRUE(gridFocused) << key;
        EXPECT_EQ(driver.Seen(), 1);
    }
}

}  // namespace
