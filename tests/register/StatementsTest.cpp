#include <gtest/gtest.h>

#include "TestDatabase.h"
#include "db/TmySQLDatabase.h"
#include "db/TmySQLQuery.h"
#include "register/CaseNumber.h"
#include "register/Statements.h"

namespace {

class StatementsTest : public testing::Test {
  protected:
    // The program's way: close, clear, add, open or execute.
    TmySQLQuery& run(const std::string& sql, bool rows = true) {
        query_.Close();
        query_.SQL().Clear();
        query_.SQL().Add(sql);
        if (rows)
            query_.Open();
        else
            query_.ExecSQL();
        return query_;
    }

    std::vector<std::string> column(const std::string& sql, const std::string& field) {
        std::vector<std::string> values;
        auto& q = run(sql);
        for (q.First(); !q.Eof(); q.Next()) values.push_back(q.FieldByName(field).AsString());
        return values;
    }

    void seedCases() {
        fixture_.Exec(
            "insert into cadcliente (codcli, cliente) values (1, 'Carla Dias'), (2, 'Rui "
            "Lima');\n"
            "insert into cadprocessos (CodProcesso, cliente, CodCliente) values\n"
            "  (10, 'Ana Souza', 1), (11, NULL, 2), (12, NULL, 99), (13, 'Ana_Maria 50%', NULL);\n"
            "insert into cadprocessospdf (codpdf, codprocesso, caminho, tipo) values\n"
            "  (1, 10, '/pdf/a.pdf', 'CO'), (2, 11, '/pdf/b.pdf', 'BO'), (3, 77, '/pdf/c.pdf', "
            "'RG'),\n"
            "  (4, 13, '/pdf/d.pdf', 'OU');");
    }

    TestDatabase fixture_;
    std::unique_ptr<TmySQLDatabase> db_ = fixture_.NewConnection();
    std::unique_ptr<Statements> statements_ = std::make_unique<Statements>(*db_);
    TmySQLQuery query_{*db_, "qry"};
};

}  // namespace

TEST_F(StatementsTest, TextsAreExact) {
    const Statements& s = *statements_;
    struct Case {
        std::string built, expected;
    } cases[] = {
        {Statements::AllFiledDocuments(),
         "select cadprocessospdf.*, cadprocessos.cliente as cliente\n"
         "from cadprocessospdf left join cadprocessos on "
         "cadprocessos.CodProcesso=cadprocessospdf.codprocesso;"},
        {s.FiledDocumentsByClient("Ana"),
         "select cadprocessospdf.*, cadprocessos.cliente as cliente from cadprocessospdf left "
         "join cadprocessos on cadprocessos.CodProcesso=cadprocessospdf.codprocesso where "
         "cadprocessos.cliente like '%Ana%'"},
        {Statements::FiledDocumentsOfCase(10),
         "select cadprocessospdf.*, cadprocessos.cliente as cliente from cadprocessospdf left "
         "join cadprocessos on cadprocessos.CodProcesso=cadprocessospdf.codprocesso where "
         "cadprocessospdf.codprocesso=10"},
        {Statements::PdfFolder(), "select dirpdf from cadparametos"},
        {s.SetPdfFolder("//srv//pdf"), "update cadparametos set dirpdf='//srv//pdf'"},
        {Statements::CaseByNumber(4711), "select * from cadprocessos where codprocesso=4711"},
        {s.CasesByClient("Rui"),
         "select cadprocessos.*,ifnull(cadprocessos.cliente, cadcliente.cliente) as nome from "
         "cadprocessos left join cadcliente on cadcliente.codcli = cadprocessos.codcliente  where "
         "ifnull(cadprocessos.cliente, cadcliente.cliente) like '%Rui%'"},
        {s.LoginEncrypted("ANA", "abc"),
         "select * from cadusuario where login='ANA' and senha=AES_ENCRYPT('abc',5302) limit 1"},
        {s.LoginPlain("ANA", "abc"),
         "select * from cadusuario where login='ANA' and senha='abc' limit 1"},
        {s.InsertFiledDocument(10, "/pdf//x.pdf", "CO"),
         "insert into cadprocessospdf (codprocesso, caminho, tipo) "
         "values(10,'/pdf//x.pdf','CO')"},
        {s.InsertMailedFile(10, "/home/a.doc"),
         "insert into cadprocessospdf (codprocesso, caminho)  values(10, '/home/a.doc')"},
        // The composer without a current row sends them without a number.
        {Statements::FiledDocumentsOfCase(std::nullopt),
         "select cadprocessospdf.*, cadprocessos.cliente as cliente from cadprocessospdf left "
         "join cadprocessos on cadprocessos.CodProcesso=cadprocessospdf.codprocesso where "
         "cadprocessospdf.codprocesso="},
        {s.InsertMailedFile(std::nullopt, "/home/a.doc"),
         "insert into cadprocessospdf (codprocesso, caminho)  values(, '/home/a.doc')"},
        {Statements::DeleteFiledDocument(3), "delete from cadprocessospdf where codpdf=3"},
        {Statements::Office(), "select * from cadempresa"},
        {s.LoginPlain("O'Neil", "a\\b"),
         "select * from cadusuario where login='O\\'Neil' and senha='a\\\\b' limit 1"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.built, c.expected);
}

TEST_F(StatementsTest, TextValuesReachTheServerUnchanged) {
    const std::string tricky = "/pdf/D'Ávila \\ 100% _x_ \"çã\"\\'.pdf";
    for (const bool noBackslashEscapes : {false, true}) {
        SCOPED_TRACE(noBackslashEscapes ? "NO_BACKSLASH_ESCAPES" : "default sql_mode");
        if (noBackslashEscapes)
            run("set session sql_mode = concat(@@sql_mode, ',NO_BACKSLASH_ESCAPES')", false);
        run("delete from cadprocessospdf", false);
        run(statements_->InsertFiledDocument(5, tricky, "CO"), false);
        run(statements_->InsertMailedFile(5, tricky + "2"), false);
        EXPECT_EQ(column("select caminho from cadprocessospdf order by codpdf", "caminho"),
                  (std::vector<std::string>{tricky, tricky + "2"}));
        run(statements_->SetPdfFolder(tricky), false);
    }
}

TEST_F(StatementsTest, InjectedCaseNumberIsRefusedBeforeSending) {
    seedCases();
    // The builders take numbers only; the field's text must become one first.
    for (const char* typed : {"1 or 1=1", "0 union select 1", "10; delete from cadprocessospdf"})
        EXPECT_THROW(Statements::CaseByNumber(RequireCaseNumber(typed)), EInvalidCaseNumber);
    EXPECT_EQ(run(Statements::CaseByNumber(RequireCaseNumber(" 10 "))).RecordCount(), 1);
    EXPECT_EQ(run(Statements::CaseByNumber(99)).RecordCount(), 0);
    EXPECT_EQ(fixture_.Scalar("select count(*) from cadprocessospdf"), "4");
}

TEST_F(StatementsTest, FiledDocumentsListAndSearch) {
    seedCases();
    EXPECT_EQ(column(Statements::AllFiledDocuments(), "caminho"),
              (std::vector<std::string>{"/pdf/a.pdf", "/pdf/b.pdf", "/pdf/c.pdf", "/pdf/d.pdf"}));
    EXPECT_EQ(column(Statements::AllFiledDocuments(), "cliente"),
              (std::vector<std::string>{"Ana Souza", "", "", "Ana_Maria 50%"}));

    // An empty search keeps only cases with a client name on the case row itself.
    EXPECT_EQ(column(statements_->FiledDocumentsByClient("") + " order by codpdf", "codpdf"),
              (std::vector<std::string>{"1", "4"}));
    EXPECT_EQ(column(statements_->FiledDocumentsByClient("souza"), "codpdf"),
              (std::vector<std::string>{"1"}));
    // "%" and "_" typed by the user stay wildcards.
    EXPECT_EQ(column(statements_->FiledDocumentsByClient("Ana_") + " order by codpdf", "codpdf"),
              (std::vector<std::string>{"1", "4"}));
    EXPECT_EQ(column(statements_->FiledDocumentsByClient("a%a") + " order by codpdf", "codpdf"),
              (std::vector<std::string>{"1", "4"}));

    EXPECT_EQ(column(Statements::FiledDocumentsOfCase(11), "caminho"),
              (std::vector<std::string>{"/pdf/b.pdf"}));
}

TEST_F(StatementsTest, CaseLookupUsesTheClientTableAsFallback) {
    seedCases();
    // Case 12 names a client that does not exist: no name at all, so it drops out.
    EXPECT_EQ(column(statements_->CasesByClient("") + " order by CodProcesso", "nome"),
              (std::vector<std::string>{"Ana Souza", "Rui Lima", "Ana_Maria 50%"}));
    EXPECT_EQ(column(statements_->CasesByClient("rui"), "CodProcesso"),
              (std::vector<std::string>{"11"}));
    EXPECT_EQ(column(statements_->CasesByClient("Carla"), "CodProcesso"),
              std::vector<std::string>{});  // case 10 has a name of its own
}

TEST_F(StatementsTest, LoginsMatchEncryptedThenPlainPasswords) {
    fixture_.Exec(
        "insert into cadusuario (login, senha) values ('Maria', AES_ENCRYPT('seg1', 5302)),\n"
        "  ('JOAO', 'plain7'), ('O''Brien', 'it''s');");
    struct Case {
        const char *user, *password;
        int encrypted, plain;
        const char* login;
    } cases[] = {
        {"MARIA", "seg1", 1, 0, "Maria"},  // the stored spelling comes back
        {"JOAO", "plain7", 0, 1, "JOAO"}, {"O'Brien", "it's", 0, 1, "O'Brien"},
        {"MARIA", "SEG1", 0, 0, ""},      {"JOAO", "plain", 0, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        auto& q = run(statements_->LoginEncrypted(c.user, c.password));
        EXPECT_EQ(q.RecordCount(), c.encrypted);
        if (c.encrypted) {
            EXPECT_EQ(q.FieldByName("login").AsString(), c.login);
        }
        auto& p = run(statements_->LoginPlain(c.user, c.password));
        EXPECT_EQ(p.RecordCount(), c.plain);
        if (c.plain) {
            EXPECT_EQ(p.FieldByName("login").AsString(), c.login);
        }
    }
}

TEST_F(StatementsTest, FolderUpdateOnAnEmptyTableChangesNothing) {
    run(statements_->SetPdfFolder("/srv/pdf"), false);
    EXPECT_EQ(query_.RowsAffected(), 0u);
    EXPECT_EQ(run(Statements::PdfFolder()).RecordCount(), 0);

    fixture_.Exec("insert into cadparametos (dirpdf) values ('   ');");
    run(statements_->SetPdfFolder("//srv//pdf"), false);
    EXPECT_EQ(column(Statements::PdfFolder(), "dirpdf"), std::vector<std::string>{"//srv//pdf"});
}

TEST_F(StatementsTest, DeleteRemovesOneRow) {
    seedCases();
    run(Statements::DeleteFiledDocument(2), false);
    EXPECT_EQ(column("select codpdf from cadprocessospdf order by codpdf", "codpdf"),
              (std::vector<std::string>{"1", "3", "4"}));
}
