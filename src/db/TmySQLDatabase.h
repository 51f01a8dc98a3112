#pragma once

#include <memory>
#include <string>
#include <string_view>

typedef struct st_mysql MYSQL;

// What it takes to connect, copied out of a connection component so that a connection can be
// made on another thread.
struct TConnectionSettings {
    std::string Host;
    std::string DatabaseName;
    std::string UserName;
    std::string UserPassword;
    unsigned int Port = 3306;
    unsigned int ConnectionTimeout = 30;
    bool Compress = true;
};

// The program's connection to the office's MySQL/MariaDB server. One instance lives for the whole
// run and every query uses it. Host and database name may change only while it is closed; the
// other settings are the program's fixed design values.
//
// Host "localhost" (and the empty host) reach the server through its Unix socket; the socket path
// comes from MYSQL_UNIX_PORT when that is set, which is how tests and the demo point the program
// at a private server.
class TmySQLDatabase {
  public:
    TmySQLDatabase();
    ~TmySQLDatabase();
    TmySQLDatabase(const TmySQLDatabase&) = delete;
    TmySQLDatabase& operator=(const TmySQLDatabase&) = delete;

    const std::string& Host() const { return host_; }
    void SetHost(std::string host);
    const std::string& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(std::string name);

    const std::string& UserName() const { return userName_; }
    const std::string& UserPassword() const { return userPassword_; }
    unsigned int Port() const { return port_; }
    unsigned int ConnectionTimeout() const { return connectionTimeout_; }
    bool Compress() const { return compress_; }
    bool LoginPrompt() const { return false; }
    bool KeepConnection() const { return true; }

    // Opening an open connection does nothing; closing a closed one does nothing.
    void Open();

    // A connection of its own, made with the settings: what Open does, safe on any thread.
    // Connector/C's handle, closed when the owner goes.
    struct CloseHandle {
        void operator()(MYSQL* mysql) const;
    };
    using THandle = std::unique_ptr<MYSQL, CloseHandle>;
    TConnectionSettings Settings() const;
    static THandle Connect(const TConnectionSettings& settings);
    // Takes a connection made by Connect as this one's; ignored when already open.
    void Adopt(THandle handle);
    // The host as messages name it.
    static std::string ShownHost(const std::string& host);
    void Close();
    bool Connected() const { return handle_ != nullptr; }
    void SetConnected(bool connected);

    // The text as the body of a quoted string literal, escaped by the connection itself, so it
    // follows the connection's character set and the server's NO_BACKSLASH_ESCAPES mode. Opens
    // the connection when it is closed.
    std::string EscapeString(std::string_view text);

    // The open connection, opened first when closed; for queries.
    MYSQL* Handle();

  private:
    std::string host_ = "localhost";
    std::string databaseName_ = "beleza";
    std::string userName_ = "root";
    std::string userPassword_ = "4061385";
    unsigned int port_ = 3306;
    unsigned int connectionTimeout_ = 30;
    bool compress_ = true;
    MYSQL* handle_ = nullptr;
};
