#include <memory>

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "GuiTestSupport.h"
#include "TestDatabase.h"
#include "db/EmySQLError.h"
#include "db/TmySQLDatabase.h"
#include "db/TmySQLQuery.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/QueryTableModel.h"

namespace {

class QueryTableModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApplication();
        db.Exec(
            "insert into cadprocessos (CodProcesso, cliente, DtCadastro) values "
            "(101, 'Ana Souza', '2024-03-01'), (102, NULL, NULL), (103, 'Bruno Lima', NULL);");
        connection = db.NewConnection();
        query = std::make_unique<TmySQLQuery>(*connection, "qryProcessos");
    }

    void openCases(const std::string& where = {}) {
        query->Close();
        query->SQL().Clear();
        query->SQL().Add("select * from cadprocessos " + where + " order by CodProcesso");
        query->Open();
    }

    QString cell(const TQueryTableModel& model, int row, int column) const {
        return model.data(model.index(row, column)).toString();
    }

    TestDatabase db;
    std::unique_ptr<TmySQLDatabase> connection;
    std::unique_ptr<TmySQLQuery> query;
};

TEST_F(QueryTableModelTest, DeclaredFieldsAreTheColumnsInOrderTitledByLabelOrName) {
    query->DeclareField({"cliente", ftString, 80, "Cliente"});
    query->DeclareField({"CodProcesso", ftLargeint, 0, {}});
    TQueryTableModel model(*query);
    // Closed: the declared layout already gives the titles.
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Cliente"));

    openCases();
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Cliente"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("CodProcesso"));
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(cell(model, 0, 0), QStringLiteral("Ana Souza"));
    EXPECT_EQ(cell(model, 0, 1), QStringLiteral("101"));
    EXPECT_EQ(cell(model, 1, 0), QString());  // NULL shows as nothing
    EXPECT_EQ(model.FieldWidth(0), 80);
}

TEST_F(QueryTableModelTest, WithoutDeclaredFieldsEveryColumnShows) {
    TQueryTableModel model(*query);
    openCases();
    EXPECT_EQ(model.columnCount(), 8);
    EXPECT_EQ(model.headerData(7, Qt::Horizontal).toString(), QStringLiteral("CPFCNPJ"));
    EXPECT_EQ(model.ColumnOf(QStringLiteral("dtcadastro")), 3);
}

TEST_F(QueryTableModelTest, ReopenAndRefreshResetTheModel) {
    TQueryTableModel model(*query);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    openCases();
    EXPECT_EQ(model.rowCount(), 3);
    openCases("where cliente like '%Lima%'");
    EXPECT_EQ(model.rowCount(), 1);
    db.Exec("insert into cadprocessos (CodProcesso, cliente) values (104, 'Carla Lima');");
    query->Refresh();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_GE(resets.count(), 3);
    query->Close();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(QueryTableModelTest, FailedOpenLeavesNoRows) {
    TQueryTableModel model(*query);
    openCases();
    query->Close();
    query->SQL().Clear();
    query->SQL().Add("select * from tabela_que_nao_existe");
    EXPECT_THROW(query->Open(), EmySQLError);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(QueryTableModelTest, GridSelectionMovesTheCurrentRowAndBack) {
    TQueryTableModel model(*query);
    TDBGrid grid;
    grid.SetDataSource(&model);
    grid.resize(500, 300);
    grid.show();
    openCases();
    EXPECT_EQ(grid.currentIndex().row(), 0);

    grid.selectRow(2);
    EXPECT_EQ(query->RecNo(), 2);
    EXPECT_EQ(query->FieldByName("CodProcesso").AsString(), "103");

    query->SetRecNo(1);
    EXPECT_EQ(grid.currentIndex().row(), 1);

    // A click on a row is a selection too.
    const QRect row0 = grid.visualRect(model.index(0, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, row0.center());
    EXPECT_EQ(query->RecNo(), 0);
}

TEST_F(QueryTableModelTest, DoubleClickFiresEvenBelowTheLastRow) {
    TQueryTableModel model(*query);
    TDBGrid grid;
    grid.SetDataSource(&model);
    grid.resize(500, 300);
    grid.show();
    openCases("where 1=0");
    QSignalSpy dblClicks(&grid, &TDBGrid::DblClick);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, QPoint(50, 200));
    EXPECT_EQ(dblClicks.count(), 1);
}

TEST_F(QueryTableModelTest, GridSurvivesItsSourceGoingFirst) {
    TDBGrid grid;
    {
        TQueryTableModel model(*query);
        grid.SetDataSource(&model);
        openCases();
    }
    grid.show();
    EXPECT_EQ(grid.DataSource(), nullptr);
    EXPECT_EQ(grid.model(), nullptr);
}

}  // namespace
