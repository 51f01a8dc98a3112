#pragma once

#include <string>

// A MariaDB server of one test's own (scripts/test-db in a temporary folder), for tests that
// stop, restart or configure a server: the shared test server is left alone. The office tables
// are loaded into database "beleza". Stopped and removed with the object.
class PrivateServer {
  public:
    // Extra server options, e.g. "--character-set-server=gbk".
    explicit PrivateServer(std::string options = {});
    ~PrivateServer();
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    const std::string& Socket() const { return socket_; }
    // Both answer whether the script succeeded. Starting again reloads "beleza" only.
    bool Stop();
    bool Start();

    // Points MYSQL_UNIX_PORT at this server until the object goes.
    void UseForConnections();

  private:
    bool run(const char* verb, const char* database) const;

    std::string folder_;
    std::string options_;
    std::string socket_;
    std::string previousSocket_;
    bool redirected_ = false;
};
