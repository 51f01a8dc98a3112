#include "db/TmySQLDatabase.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include <mysql.h>

#include "db/EmySQLError.h"

namespace {

// Connector/C waits forever on a silent server by default; a vanished server must give an error
// instead of a frozen window.
constexpr unsigned int kReadWriteTimeoutSeconds = 120;
constexpr const char* kCharacterSet = "utf8mb4";

bool isLocalHost(const std::string& host) { return host.empty() || host == "localhost"; }

// The escaping of text values is only sound when the server reads statements in the character
// set the client escapes them in. Asking for it in the handshake is not enough: a server may
// skip the client's handshake and read another set (one where a backslash can end a
// multi-byte character), so the set is applied and then checked.
void requireCharacterSet(MYSQL* mysql, const std::string& host) {
    if (mysql_set_character_set(mysql, kCharacterSet) != 0)
        throw EmySQLError::Connect(host, mysql_error(mysql), mysql_errno(mysql));
    const char* check = "select @@character_set_client, @@character_set_connection";
    if (mysql_real_query(mysql, check, std::strlen(check)) != 0)
        throw EmySQLError::Connect(host, mysql_error(mysql), mysql_errno(mysql));
    MYSQL_RES* result = mysql_store_result(mysql);
    if (result == nullptr) throw EmySQLError::Connect(host, mysql_error(mysql), mysql_errno(mysql));
    const MYSQL_ROW row = mysql_fetch_row(result);
    const bool agreed = row != nullptr && mysql_num_fields(result) == 2 && row[0] != nullptr &&
                        row[1] != nullptr && std::strcmp(row[0], kCharacterSet) == 0 &&
                        std::strcmp(row[1], kCharacterSet) == 0;
    const std::string seen = row != nullptr && row[0] != nullptr ? row[0] : "?";
    mysql_free_result(result);
    if (!agreed)
        throw EmySQLError("O servidor de banco de dados em " + host +
                          " não aceitou o conjunto de caracteres " + kCharacterSet + " (usa " +
                          seen +
                          "). Por segurança o programa não trabalha assim: avise o responsável "
                          "pelo servidor.");
}

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

TConnectionSettings TmySQLDatabase::Settings() const {
    return {host_, databaseName_, userName_, userPassword_, port_, connectionTimeout_, compress_};
}

void TmySQLDatabase::CloseHandle::operator()(MYSQL* mysql) const { mysql_close(mysql); }

TmySQLDatabase::THandle TmySQLDatabase::Connect(const TConnectionSettings& settings) {
    THandle mysql(mysql_init(nullptr));
    if (mysql == nullptr) throw EmySQLError("Out of memory while connecting to the server");

    unsigned int timeout = settings.ConnectionTimeout;
    unsigned int ioTimeout = kReadWriteTimeoutSeconds;
    mysql_options(mysql.get(), MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    mysql_options(mysql.get(), MYSQL_OPT_READ_TIMEOUT, &ioTimeout);
    mysql_options(mysql.get(), MYSQL_OPT_WRITE_TIMEOUT, &ioTimeout);
    mysql_options(mysql.get(), MYSQL_SET_CHARSET_NAME, kCharacterSet);
    // Compression only pays across a network: on the local socket it costs time and saves
    // nothing.
    if (settings.Compress && !isLocalHost(settings.Host))
        mysql_options(mysql.get(), MYSQL_OPT_COMPRESS, nullptr);

    const char* socket = nullptr;
    if (isLocalHost(settings.Host)) {
        socket = std::getenv("MYSQL_UNIX_PORT");
        if (socket != nullptr && *socket == '\0') socket = nullptr;
    }
    const char* db = settings.DatabaseName.empty() ? nullptr : settings.DatabaseName.c_str();
    const std::string shownHost = ShownHost(settings.Host);
    if (mysql_real_connect(mysql.get(), settings.Host.c_str(), settings.UserName.c_str(),
                           settings.UserPassword.c_str(), db, settings.Port, socket, 0) == nullptr)
        throw EmySQLError::Connect(shownHost, mysql_error(mysql.get()), mysql_errno(mysql.get()));
    requireCharacterSet(mysql.get(), shownHost);
    return mysql;
}

std::string TmySQLDatabase::ShownHost(const std::string& host) {
    return host.empty() ? "localhost" : host;
}

void TmySQLDatabase::Open() {
    if (Connected()) return;
    handle_ = Connect(Settings()).release();
}

void TmySQLDatabase::Adopt(THandle handle) {
    if (Connected() || handle == nullptr) return;
    handle_ = handle.release();
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
        throw EmySQLError::Statement(mysql_error(mysql), mysql_errno(mysql));
    escaped.resize(length);
    return escaped;
}
