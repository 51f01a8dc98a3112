#include "TestDatabase.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

#include "db/TmySQLDatabase.h"
#include "db/TmySQLQuery.h"

namespace {

std::string uniqueName() {
    static std::atomic<int> counter{0};
    return "t" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void execOn(TmySQLDatabase& db, std::string_view sql) {
    // Statements end with ";" at a line end; comments are whole lines.
    std::string statement;
    std::istringstream lines{std::string(sql)};
    std::string line;
    auto flush = [&] {
        if (statement.find_first_not_of(" \t\r\n") == std::string::npos) return;
        TmySQLQuery q(db, "seed");
        q.SQL().Add(statement);
        q.ExecSQL();
        statement.clear();
    };
    while (std::getline(lines, line)) {
        if (line.rfind("--", 0) == 0) continue;
        const auto end = line.find_last_not_of(" \t\r");
        if (end != std::string::npos && line[end] == ';') {
            statement += line.substr(0, end);
            flush();
        } else {
            statement += line + "\n";
        }
    }
    flush();
}

}  // namespace

bool TestServerConfigured() {
    const char* socket = std::getenv("MYSQL_UNIX_PORT");
    return socket != nullptr && *socket != '\0';
}

TestDatabase::TestDatabase() : name_(uniqueName()), admin_(std::make_unique<TmySQLDatabase>()) {
    if (!TestServerConfigured())
        throw std::runtime_error(
            "the private test server is not running: use scripts/test, or "
            "scripts/test-db start && export $(scripts/test-db env)");
    admin_->SetDatabaseName("");
    execOn(*admin_, "drop database if exists " + name_ + ";\ncreate database " + name_ + ";");
    admin_->Close();
    admin_->SetDatabaseName(name_);
    execOn(*admin_, readFile(BREVANTO_FIXTURES_DIR "/office.sql"));
}

TestDatabase::~TestDatabase() {
    try {
        execOn(*admin_, "drop database if exists " + name_ + ";");
    } catch (...) {
        // A test that broke the connection leaves its database behind; the server is private.
    }
}

void TestDatabase::Exec(std::string_view sql) { execOn(*admin_, sql); }

std::string TestDatabase::Scalar(std::string_view sql) {
    TmySQLQuery q(*admin_, "scalar");
    q.SQL().Add(std::string(sql));
    q.Open();
    return q.RecordCount() > 0 ? q.Fields(0).AsString() : std::string();
}

std::unique_ptr<TmySQLDatabase> TestDatabase::NewConnection() const {
    auto db = std::make_unique<TmySQLDatabase>();
    db->SetDatabaseName(name_);
    return db;
}
