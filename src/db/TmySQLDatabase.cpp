#include "db/TmySQLDatabase.h"

#include <cstdlib>
#include <utility>

#include <mysql.h>

#include "db/EmySQLError.h"

namespace {

// Connector/C waits forever on a silent server by default; a vanished server must give an error
// instead of a frozen window.
constexpr unsigned int kReadWriteTimeoutSeconds = 120;

bool isLocalHost(const std::string& host) { return host.empty() || host == "localhost"; }

}  // namespace

TmySQLDatabase::TmySQLDatabase() = default;

TmySQLDatabase::~TmySQLDatabase() { Close(); }

void TmySQLDatabase::SetHost(std::string host) {
    if (Connected()) throw EmySQLError("Cannot change Host while the connection is open");
    host_ = std::move(host);
}

void TmySQLDatabase::SetDatabaseName(std::string name) {
    if (Connected()) throw EmySQLError("Cannot change DatabaseName while the connection is open");
    databaseName_ = std::move(name);
}

void TmySQLDatabase::Open() {
    if (Connected()) return;
    MYSQL* mysql = mysql_init(nullptr);
    if (mysql == nullptr) throw EmySQLError("Out of memory while connecting to the server");

    unsigned int timeout = connectionTimeout_;
    unsigned int ioTimeout = kReadWriteTimeoutSeconds;
    mysql_options(mysql, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    mysql_options(mysql, MYSQL_OPT_READ_TIMEOUT, &ioTimeout);
    mysql_options(mysql, MYSQL_OPT_WRITE_TIMEOUT, &ioTimeout);
    mysql_options(mysql, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    // Compression only pays across a network: on the local socket it costs time and saves
    // nothing.
    if (compress_ && !isLocalHost(host_)) mysql_options(mysql, MYSQL_OPT_COMPRESS, nullptr);

    const char* socket = nullptr;
    if (isLocalHost(host_)) {
        socket = std::getenv("MYSQL_UNIX_PORT");
        if (socket != nullptr && *socket == '\0') socket = nullptr;
    }
    const char* db = databaseName_.empty() ? nullptr : databaseName_.c_str();
    if (mysql_real_connect(mysql, host_.c_str(), userName_.c_str(), userPassword_.c_str(), db,
                           port_, socket, 0) == nullptr) {
        EmySQLError error(mysql_error(mysql), mysql_errno(mysql));
        mysql_close(mysql);
        throw error;
    }
    handle_ = mysql;
}

void TmySQLDatabase::Close() {
    if (handle_ == nullptr) return;
    mysql_close(handle_);
    handle_ = nullptr;
}

void TmySQLDatabase::SetConnected(bool connected) {
    if (connected)
        Open();
    else
        Close();
}

MYSQL* TmySQLDatabase::Handle() {
    Open();
    return handle_;
}

std::string TmySQLDatabase::EscapeString(std::string_view text) {
    MYSQL* mysql = Handle();
    std::string escaped(text.size() * 2 + 1, '\0');
    const unsigned long length =
        mysql_real_escape_string(mysql, escaped.data(), text.data(), text.size());
    if (length == static_cast<unsigned long>(-1))
        throw EmySQLError(mysql_error(mysql), mysql_errno(mysql));
    escaped.resize(length);
    return escaped;
}
