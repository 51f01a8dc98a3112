#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TestDatabase.h"
#include "db/EmySQLError.h"
#include "db/TmySQLDatabase.h"
#include "db/TmySQLQuery.h"

using testing::HasSubstr;

namespace {

class TmySQLQueryTest : public testing::Test {
  protected:
    void SetUp() override {
        fixture_.Exec(
            "insert into cadcliente (codcli, cliente) values (1, 'Ana'), (2, NULL), (3, 'Bia');");
        db_ = fixture_.NewConnection();
    }

    void setStatement(TmySQLQuery& q, const std::string& sql) {
        q.Close();
        q.SQL().Clear();
        q.SQL().Add(sql);
    }

    TestDatabase fixture_;
    std::unique_ptr<TmySQLDatabase> db_;
};

}  // namespace

TEST_F(TmySQLQueryTest, OpenFetchesAllRowsAndStandsOnTheFirst) {
    TmySQLQuery q(*db_, "qry");
    setStatement(q, "select codcli, cliente from cadcliente order by codcli");
    EXPECT_FALSE(db_->Connected());
    q.Open();  // opens the connection first
    EXPECT_TRUE(db_->Connected());
    EXPECT_EQ(q.RecordCount(), 3);
    EXPECT_EQ(q.RecNo(), 0);
    EXPECT_TRUE(q.Bof());

    std::vector<std::string> seen;
    for (q.First(); !q.Eof(); q.Next())
        seen.push_back(q.FieldByName("codcli").AsString() + ":" +
                       q.FieldByName("CLIENTE").AsString());
    EXPECT_EQ(seen, (std::vector<std::string>{"1:Ana", "2:", "3:Bia"}));

    q.SetRecNo(1);
    EXPECT_TRUE(q.FieldByName("cliente").IsNull());
    EXPECT_EQ(q.FieldByName("cliente").AsString(), "");
    EXPECT_EQ(q.FieldByName("codcli").AsLargeInt(), 2);

    q.Close();
    EXPECT_EQ(q.RecordCount(), 0);
    EXPECT_TRUE(q.Eof());
}

TEST_F(TmySQLQueryTest, EmptyResultIsAtEnd) {
    TmySQLQuery q(*db_);
    setStatement(q, "select * from cadusuario");
    q.Open();
    EXPECT_TRUE(q.Active());
    EXPECT_EQ(q.RecordCount(), 0);
    EXPECT_TRUE(q.Eof());
    EXPECT_EQ(q.FieldByName("login").AsString(), "");
}

TEST_F(TmySQLQueryTest, DeclaredFieldsAreBoundByNameInDeclarationOrder) {
    TmySQLQuery q(*db_, "qryClientes");
    q.DeclareField({"cliente", ftString, 80, "Cliente"});
    q.DeclareField({"CODCLI", ftInteger, 0, ""});
    setStatement(q, "select codcli, cliente, cpfcnpj from cadcliente order by codcli");
    q.Open();
    ASSERT_EQ(q.FieldCount(), 2);
    EXPECT_EQ(q.Fields(0).FieldName(), "cliente");
    EXPECT_EQ(q.Fields(0).DisplayLabel(), "Cliente");
    EXPECT_EQ(q.Fields(0).Size(), 80);
    EXPECT_EQ(q.Fields(1).DisplayLabel(), "CODCLI");  // no label: the field name
    EXPECT_EQ(q.Fields(1).AsString(), "1");
    EXPECT_EQ(q.Fields(0).AsString(), "Ana");
    EXPECT_EQ(q.Value(2, 0), std::optional<std::string>("Bia"));
    EXPECT_EQ(q.FindField("cpfcnpj"), nullptr);

    setStatement(q, "select codcli from cadcliente");
    try {
        q.Open();
        FAIL() << "opened without a declared field";
    } catch (const EmySQLError& e) {
        EXPECT_STREQ(e.what(), "qryClientes: Field 'cliente' not found");
    }
    EXPECT_FALSE(q.Active());
}

TEST_F(TmySQLQueryTest, UndeclaredFieldsComeFromTheResult) {
    TmySQLQuery q(*db_);
    setStatement(q, "select * from cadprocessos");
    q.Open();
    ASSERT_EQ(q.FieldCount(), 8);
    EXPECT_EQ(q.Fields(0).FieldName(), "CodProcesso");
    EXPECT_EQ(q.Fields(0).DataType(), ftLargeint);
    EXPECT_EQ(q.Fields(1).DataType(), ftString);
    EXPECT_EQ(q.Fields(1).Size(), 80);
    EXPECT_EQ(q.Fields(3).DataType(), ftDate);
}

TEST_F(TmySQLQueryTest, FailingStatementRaisesTheServerText) {
    TmySQLQuery q(*db_);
    setStatement(q, "select * from nao_existe");
    try {
        q.Open();
        FAIL() << "opened";
    } catch (const EmySQLError& e) {
        EXPECT_THAT(e.what(), HasSubstr("nao_existe' doesn't exist"));
        EXPECT_EQ(e.Code(), 1146u);
    }
    EXPECT_FALSE(q.Active());
    EXPECT_EQ(q.RecordCount(), -1);

    setStatement(q, "selec 1");
    EXPECT_THROW(q.ExecSQL(), EmySQLError);

    setStatement(q, "update cadcliente set cliente = 'x' where codcli = 99");
    EXPECT_THROW(q.Open(), EmySQLError);  // no result set to stand on
}

TEST_F(TmySQLQueryTest, ExecuteRunsStatementsWithoutRows) {
    TmySQLQuery q(*db_, "qryEu");
    setStatement(q, "update cadcliente set cliente = 'Zé' where codcli <> 2");
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 2u);
    EXPECT_EQ(fixture_.Scalar("select count(*) from cadcliente where cliente = 'Zé'"), "2");
}

TEST_F(TmySQLQueryTest, RefreshSendsTheStatementAgain) {
    TmySQLQuery q(*db_);
    setStatement(q, "select * from cadcliente order by codcli");
    EXPECT_THROW(q.Refresh(), EmySQLError);  // nothing to refresh while closed
    q.Open();
    q.Next();
    fixture_.Exec("insert into cadcliente (codcli, cliente) values (4, 'Caio');");
    EXPECT_EQ(q.RecordCount(), 3);

    std::vector<TDataEvent> events;
    q.AddListener([&](TDataEvent e) { events.push_back(e); });
    q.Refresh();
    EXPECT_EQ(q.RecordCount(), 4);
    EXPECT_EQ(q.RecNo(), 0);
    EXPECT_EQ(events, std::vector<TDataEvent>{TDataEvent::deDataSetChange});
}

TEST_F(TmySQLQueryTest, AccentedTextComesBackRightFromALatin1Column) {
    TmySQLQuery q(*db_);
    setStatement(q, "insert into cadcliente (codcli, cliente) values (9, 'João Conceição Ávila')");
    q.ExecSQL();
    // Stored as latin1 text, one byte per letter, not as UTF-8 bytes taken for latin1.
    EXPECT_EQ(fixture_.Scalar("select length(cliente) from cadcliente where codcli = 9"), "20");
    setStatement(q, "select cliente from cadcliente where codcli = 9");
    q.Open();
    EXPECT_EQ(q.Fields(0).AsString(), "João Conceição Ávila");
}

TEST_F(TmySQLQueryTest, ListenersHearRowMovesAndMayLeave) {
    TmySQLQuery q(*db_);
    setStatement(q, "select * from cadcliente order by codcli");
    q.Open();
    int moves = 0;
    int key = 0;
    key = q.AddListener([&](TDataEvent e) {
        if (e == TDataEvent::deRecordChange && ++moves == 2) q.RemoveListener(key);
    });
    q.SetRecNo(2);
    q.SetRecNo(2);  // already there: no event
    q.Prior();
    q.First();
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(q.RecNo(), 0);
}
