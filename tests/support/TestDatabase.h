#pragma once

#include <memory>
#include <string>
#include <string_view>

class TmySQLDatabase;

// A database of its own for one test, on the private test server: the office tables, empty,
// under a unique name, dropped again when the test ends. Tests seed the rows they need with
// Exec. Tests in parallel never see each other's rows.
class TestDatabase {
  public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const std::string& Name() const { return name_; }
    // Runs one statement (or several separated by ";" at line ends) on the test database.
    void Exec(std::string_view sql);
    // A first-column read, for checks.
    std::string Scalar(std::string_view sql);
    // A connection of the program's kind pointed at this database, closed.
    std::unique_ptr<TmySQLDatabase> NewConnection() const;

  private:
    std::string name_;
    std::unique_ptr<TmySQLDatabase> admin_;
};

// True when the private test server is reachable (MYSQL_UNIX_PORT set by scripts/test).
bool TestServerConfigured();
