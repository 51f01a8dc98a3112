#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TestDatabase.h"
#include "db/EmySQLError.h"
#include "db/TmySQLDatabase.h"
#include "db/TmySQLQuery.h"

using testing::HasSubstr;

TEST(TmySQLDatabase, HasTheDesignValues) {
    TmySQLDatabase db;
    EXPECT_EQ(db.Host(), "localhost");
    EXPECT_EQ(db.DatabaseName(), "beleza");
    EXPECT_EQ(db.UserName(), "root");
    EXPECT_EQ(db.UserPassword(), "4061385");
    EXPECT_EQ(db.Port(), 3306u);
    EXPECT_EQ(db.ConnectionTimeout(), 30u);
    EXPECT_TRUE(db.Compress());
    EXPECT_FALSE(db.LoginPrompt());
    EXPECT_FALSE(db.Connected());
}

TEST(TmySQLDatabase, OpensWithDesignValuesOnThePrivateServer) {
    TestDatabase fixture;  // makes sure the server runs and "beleza" is there
    TmySQLDatabase db;
    db.Open();
    db.Open();  // opening an open connection does nothing
    EXPECT_TRUE(db.Connected());
    TmySQLQuery q(db);
    q.SQL().Add("select database(), @@character_set_client, @@character_set_results");
    q.Open();
    EXPECT_EQ(q.Fields(0).AsString(), "beleza");
    EXPECT_EQ(q.Fields(1).AsString(), "utf8mb4");
    EXPECT_EQ(q.Fields(2).AsString(), "utf8mb4");
    db.Close();
    EXPECT_FALSE(db.Connected());
}

TEST(TmySQLDatabase, HostAndDatabaseChangeOnlyWhileClosed) {
    TestDatabase fixture;
    auto db = fixture.NewConnection();
    db->Open();
    EXPECT_THROW(db->SetHost("elsewhere"), EmySQLError);
    EXPECT_THROW(db->SetDatabaseName("other"), EmySQLError);
    db->Close();
    db->SetDatabaseName("beleza");
    db->Open();
    EXPECT_TRUE(db->Connected());
}

TEST(TmySQLDatabase, RefusedConnectionRaisesTheClientText) {
    TestDatabase fixture;
    TmySQLDatabase db;
    db.SetDatabaseName("no_such_database");
    try {
        db.Open();
        FAIL() << "open succeeded";
    } catch (const EmySQLError& e) {
        EXPECT_THAT(e.what(), HasSubstr("Unknown database 'no_such_database'"));
        EXPECT_EQ(e.Code(), 1049u);
    }
    EXPECT_FALSE(db.Connected());

    TmySQLDatabase nowhere;
    nowhere.SetHost("host.invalid");
    EXPECT_THROW(nowhere.Open(), EmySQLError);
}

TEST(TmySQLDatabase, EscapingFollowsTheServerMode) {
    TestDatabase fixture;
    auto db = fixture.NewConnection();
    EXPECT_EQ(db->EscapeString("it's a \\ test"), "it\\'s a \\\\ test");
    TmySQLQuery q(*db);
    q.SQL().Add("set session sql_mode = concat(@@sql_mode, ',NO_BACKSLASH_ESCAPES')");
    q.ExecSQL();
    EXPECT_EQ(db->EscapeString("it's a \\ test"), "it''s a \\ test");
}
