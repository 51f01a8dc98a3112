// The connection under a hostile server configuration, a server that restarts, and a server that
// closes idle connections.
#include <chrono>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PrivateServer.h"
#include "TestDatabase.h"
#include "db/EmySQLError.h"
#include "db/TmySQLDatabase.h"
#include "db/TmySQLQuery.h"
#include "register/Statements.h"

using testing::HasSubstr;
using testing::StartsWith;

namespace {

std::string scalar(TmySQLDatabase& db, const std::string& sql) {
    TmySQLQuery q(db);
    q.SQL().Add(sql);
    q.Open();
    return q.Fields(0).AsString();
}

void exec(TmySQLDatabase& db, const std::string& sql) {
    TmySQLQuery q(db);
    q.SQL().Add(sql);
    q.ExecSQL();
}

}  // namespace

// A server that reads statements as GBK whatever the client asks for, with a lenient SQL mode:
// a text ending in the byte 0xbf before a quote would turn the escaping backslash into half a
// character and end the literal early, so the rest of the text would run as SQL.
TEST(ConnectionFault, AServerReadingAnotherCharacterSetCannotBreakTheEscaping) {
    PrivateServer server(
        "--character-set-server=gbk --collation-server=gbk_chinese_ci "
        "--skip-character-set-client-handshake --sql-mode=");
    server.UseForConnections();
    TmySQLDatabase db;
    db.Open();
    EXPECT_EQ(scalar(db, "select @@character_set_client"), "utf8mb4");
    EXPECT_EQ(scalar(db, "select @@character_set_connection"), "utf8mb4");
    exec(db, "insert into cadusuario (login, senha) values ('ADMIN', 'segredo')");
    exec(db, "insert into cadparametos (dirpdf) values ('/srv/pdf')");

    // The folder setting cannot copy the passwords into the folder.
    const std::string folder = "\xbf', dirpdf=(select group_concat(senha) from cadusuario) -- ";
    try {
        exec(db, Statements(db).SetPdfFolder(folder));
    } catch (const EmySQLError& error) {
        EXPECT_FALSE(error.ConnectionLost()) << error.what();
    }
    EXPECT_THAT(scalar(db, "select dirpdf from cadparametos"), testing::Not(HasSubstr("segredo")));

    // Refused or not found: never a login.
    TmySQLQuery login(db);
    login.SQL().Add(Statements(db).LoginPlain("\xbf' or 1=1 -- ", "wrong"));
    try {
        login.Open();
        EXPECT_EQ(login.RecordCount(), 0);
    } catch (const EmySQLError& error) {
        EXPECT_FALSE(error.ConnectionLost()) << error.what();
    }
}

TEST(ConnectionFault, ReadsGoOnAfterTheServerRestartsAndWritesAreNotRepeated) {
    PrivateServer server;
    server.UseForConnections();
    TmySQLDatabase db;
    exec(db, "insert into cadusuario (login, senha) values ('ANA', 'x')");
    EXPECT_EQ(scalar(db, "select count(*) from cadusuario"), "1");

    ASSERT_TRUE(server.Stop());
    ASSERT_TRUE(server.Start());
    // A read is sent again on a new connection.
    EXPECT_EQ(scalar(db, "select count(*) from cadusuario"), "1");

    ASSERT_TRUE(server.Stop());
    ASSERT_TRUE(server.Start());
    // A write is not: its error says what happened, and the next statement works.
    try {
        exec(db, "insert into cadusuario (login, senha) values ('BIA', 'x')");
        ADD_FAILURE() << "the write was sent again";
    } catch (const EmySQLError& error) {
        EXPECT_TRUE(error.ConnectionLost()) << error.what();
        EXPECT_THAT(error.what(), StartsWith("A conexão com o banco de dados caiu"));
    }
    EXPECT_EQ(scalar(db, "select count(*) from cadusuario"), "1");
    exec(db, "insert into cadusuario (login, senha) values ('BIA', 'x')");
    EXPECT_EQ(scalar(db, "select count(*) from cadusuario"), "2");

    // A server that is down stays an error a clerk can act on.
    ASSERT_TRUE(server.Stop());
    try {
        scalar(db, "select 1");
        ADD_FAILURE() << "no server, yet a result";
    } catch (const EmySQLError& error) {
        EXPECT_THAT(error.what(),
                    StartsWith("Não foi possível conectar ao banco de dados em localhost. "
                               "Verifique se o servidor está ligado e a rede. "));
        EXPECT_FALSE(error.ServerText().empty());
        EXPECT_THAT(error.what(), HasSubstr(error.ServerText()));
    }
}

TEST(ConnectionFault, AConnectionTheServerClosedWhileIdleIsOpenedAgain) {
    TestDatabase fixture;
    auto db = fixture.NewConnection();
    exec(*db, "set session wait_timeout = 1");
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_EQ(scalar(*db, "select count(*) from cadusuario"), "0");
}

TEST(ConnectionFault, AStatementTheServerRefusesKeepsItsTextAfterSayingWhatFailed) {
    TestDatabase fixture;
    auto db = fixture.NewConnection();
    try {
        scalar(*db, "select * from no_such_table");
        ADD_FAILURE();
    } catch (const EmySQLError& error) {
        EXPECT_THAT(error.what(), StartsWith("O banco de dados recusou a operação."));
        EXPECT_THAT(error.ServerText(), HasSubstr("no_such_table"));
        EXPECT_THAT(error.what(), HasSubstr(error.ServerText()));
        EXPECT_EQ(error.Code(), 1146u);
    }
}
