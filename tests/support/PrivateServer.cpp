#include "PrivateServer.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

PrivateServer::PrivateServer(std::string options) : options_(std::move(options)) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brevanto-server-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a folder for a private server");
    folder_ = pattern;
    socket_ = folder_ + "/mysqld.sock";
    if (!run("start", "beleza")) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        throw std::runtime_error("the private server did not start");
    }
}

PrivateServer::~PrivateServer() {
    run("stop", "beleza");
    if (redirected_) ::setenv("MYSQL_UNIX_PORT", previousSocket_.c_str(), 1);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool PrivateServer::Stop() { return run("stop", "beleza"); }

// test-db recreates the database it is told to load: a scratch one keeps "beleza" as it was.
bool PrivateServer::Start() { return run("start", "restart_scratch"); }

void PrivateServer::UseForConnections() {
    if (!redirected_) {
        if (const char* socket = std::getenv("MYSQL_UNIX_PORT")) previousSocket_ = socket;
        redirected_ = true;
    }
    ::setenv("MYSQL_UNIX_PORT", socket_.c_str(), 1);
}

bool PrivateServer::run(const char* verb, const char* database) const {
    const std::string command = "BREVANTO_DB_DIR='" + folder_ + "' BREVANTO_DB_NAME=" + database +
                                " BREVANTO_DB_SERVER_OPTIONS='" + options_ +
                                "' '" BREVANTO_SCRIPTS_DIR "/test-db' " + verb + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}
