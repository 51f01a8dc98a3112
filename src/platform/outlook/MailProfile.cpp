#include "platform/outlook/MailProfile.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <sys/stat.h>

#include "platform/outlook/MimeMessage.h"
#include "platform/outlook/OleException.h"

namespace outlook {
namespace {

using TKeys = std::map<std::string, std::string>;

[[noreturn]] void notAvailable(const std::string& reason) {
    throw EOleException("Outlook not available: " + reason);
}

std::string trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

// The keys of one section. Keys are case-sensitive; a line starting with ";" or "#" is a
// comment. There are no comments after a value: a password may hold any character.
TKeys readSection(std::istream& in, const std::string& section) {
    TKeys keys;
    std::string line;
    bool inSection = false;
    bool first = true;
    while (std::getline(in, line)) {
        if (first && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        first = false;
        const std::string text = trimmed(line);
        if (text.empty() || text[0] == ';' || text[0] == '#') continue;
        if (text.front() == '[' && text.back() == ']') {
            inSection = text.substr(1, text.size() - 2) == section;
            continue;
        }
        const auto equals = text.find('=');
        if (!inSection || equals == std::string::npos) continue;
        keys[trimmed(std::string_view(text).substr(0, equals))] =
            trimmed(std::string_view(text).substr(equals + 1));
    }
    return keys;
}

std::string value(const TKeys& keys, const std::string& key) {
    const auto found = keys.find(key);
    return found == keys.end() ? std::string() : found->second;
}

std::string besideProfile(const std::string& profilePath, const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    return (std::filesystem::path(profilePath).parent_path() / path).string();
}

// The first line of a file only its owner may read.
std::string readPasswordFile(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        notAvailable("the password file " + path + " cannot be read: " + std::strerror(errno));
    if ((status.st_mode & S_IROTH) != 0)
        notAvailable("the password file " + path +
                     " can be read by other users; make it private (chmod 600)");
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!in || (!std::getline(in, line) && !in.eof()))
        notAvailable("the password file " + path + " cannot be read");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

int portNumber(const std::string& path, const std::string& text) {
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535)
        notAvailable(path + ": Port=" + text + " is not a port number");
    return port;
}

}  // namespace

std::string MailProfilePath() {
    if (const char* file = std::getenv("BREVANTO_MAIL_INI"); file != nullptr && *file != '\0')
        return file;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0')
        return std::string(config) + "/brevanto-scanner/mail.ini";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/brevanto-scanner/mail.ini";
}

TMailProfile LoadMailProfile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) notAvailable("there is no mail profile " + path);
    const TKeys keys = readSection(in, "Mail");

    TMailProfile profile;
    profile.Path = path;
    profile.From = value(keys, "From");
    if (profile.From.empty()) notAvailable(path + ": From= is missing");
    if (!ParseMailbox(profile.From))
        notAvailable(path + ": From=" + profile.From + " is not an e-mail address");

    const std::string delivery = value(keys, "Delivery");
    if (delivery == "pickup") {
        profile.Delivery = TDelivery::dlPickup;
        profile.PickupFolder = besideProfile(path, value(keys, "PickupFolder"));
        if (profile.PickupFolder.empty()) notAvailable(path + ": PickupFolder= is missing");
        std::error_code error;
        if (!std::filesystem::is_directory(profile.PickupFolder, error))
            notAvailable("the pickup folder " + profile.PickupFolder + " does not exist");
        return profile;
    }
    if (delivery != "smtp") notAvailable(path + ": Delivery= must be smtp or pickup");

    profile.Delivery = TDelivery::dlSmtp;
    profile.Host = value(keys, "Host");
    if (profile.Host.empty()) notAvailable(path + ": Host= is missing");
    const std::string security = value(keys, "Security");
    if (security.empty() || security == "starttls")
        profile.Security = TSmtpSecurity::ssStartTls;
    else if (security == "tls")
        profile.Security = TSmtpSecurity::ssTls;
    else if (security == "none")
        profile.Security = TSmtpSecurity::ssNone;
    else
        notAvailable(path + ": Security= must be starttls, tls or none");
    const std::string port = value(keys, "Port");
    // Implicit TLS has its own well-known port.
    profile.Port = !port.empty()                              ? portNumber(path, port)
                   : profile.Security == TSmtpSecurity::ssTls ? 465
                                                              : 587;
    profile.CaFile = besideProfile(path, value(keys, "CaFile"));
    profile.User = value(keys, "User");
    const std::string passwordFile = besideProfile(path, value(keys, "PasswordFile"));
    if (!passwordFile.empty())
        profile.Password = readPasswordFile(passwordFile);
    else
        profile.Password = value(keys, "Password");
    if (!profile.User.empty() && profile.Password.empty())
        notAvailable(path +
                     ": User= is set but neither PasswordFile= nor Password= gives a password");
    return profile;
}

}  // namespace outlook
