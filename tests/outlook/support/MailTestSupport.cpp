#include "MailTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <gmime/gmime.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/outlook/GObjectPtr.h"

extern char** environ;

namespace fs = std::filesystem;
using outlook::GObjectPtr;

TTempFolder::TTempFolder() {
    std::string pattern = (fs::temp_directory_path() / "brevanto-mail-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TTempFolder::~TTempFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
}

std::string TTempFolder::Write(const std::string& name, const std::string& bytes) const {
    const fs::path path = fs::path(path_) / name;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
    return path.string();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TScopedEnv::TScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    if (value != nullptr)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

TScopedEnv::~TScopedEnv() {
    if (had_)
        ::setenv(name_.c_str(), old_.c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

namespace {

// A self-signed certificate for 127.0.0.1, made by openssl in a folder of its own.
struct TCertificate {
    TCertificate() {
        const std::string command =
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
            "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1,DNS:localhost -keyout '" +
            key + "' -out '" + cert + "' >'" + folder.Path() + "/openssl.log' 2>&1";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("openssl could not make the test certificate");
    }

    TTempFolder folder;
    std::string cert = folder.Path() + "/cert.pem";
    std::string key = folder.Path() + "/key.pem";
};

// Made once per test process and removed when it ends.
const TCertificate& certificate() {
    static const TCertificate made;
    return made;
}

}  // namespace

const std::string& TSmtpTestServer::Certificate() { return certificate().cert; }

TSmtpTestServer::TSmtpTestServer(std::string security) : security_(std::move(security)) {
    const TCertificate& tls = certificate();
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const std::string log = folder_.Path() + "/server.log";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> args = {BREVANTO_SYSTEM_PYTHON,
                                     BREVANTO_SMTP_TEST_SERVER,
                                     "--folder",
                                     folder_.Path(),
                                     "--cert",
                                     tls.cert,
                                     "--key",
                                     tls.key,
                                     "--user",
                                     kUser,
                                     "--password",
                                     kPassword,
                                     "--security",
                                     security_};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        pid_ = -1;
        throw std::runtime_error("the test SMTP server could not be started");
    }
    // The first line is the port; end of output first means the server failed.
    std::string line;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(out[0]);
    port_ = std::atoi(line.c_str());
    if (port_ <= 0) {
        std::string reason;
        try {
            reason = ReadFile(log);
        } catch (...) {
        }
        stop();
        throw std::runtime_error("the test SMTP server did not start: " + reason);
    }
}

TSmtpTestServer::~TSmtpTestServer() { stop(); }

void TSmtpTestServer::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

std::vector<TReceivedMail> TSmtpTestServer::Received() const {
    std::vector<std::string> envelopes;
    for (const auto& entry : fs::directory_iterator(folder_.Path()))
        if (entry.path().extension() == ".envelope") envelopes.push_back(entry.path().string());
    std::sort(envelopes.begin(), envelopes.end());
    std::vector<TReceivedMail> mails;
    for (const std::string& envelope : envelopes) {
        TReceivedMail mail;
        std::istringstream lines(ReadFile(envelope));
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("from ")) mail.MailFrom = line.substr(5);
            if (line.starts_with("to ")) mail.RcptTo.push_back(line.substr(3));
        }
        mail.Raw = ReadFile(fs::path(envelope).replace_extension(".eml").string());
        mails.push_back(std::move(mail));
    }
    return mails;
}

std::string TSmtpTestServer::WriteProfile(const TTempFolder& folder,
                                          const std::string& extra) const {
    const std::string passwordFile = folder.Write("password", std::string(kPassword) + "\n");
    ::chmod(passwordFile.c_str(), 0600);
    return folder.Write("mail.ini",
                        "[Mail]\n"
                        "From=Escrit\xC3\xB3rio Brevanto <escritorio@example.com>\n"
                        "Delivery=smtp\n"
                        "Host=127.0.0.1\n"
                        "Port=" +
                            std::to_string(port_) + "\n" + "Security=" + security_ + "\n" +
                            "User=" + kUser + "\n" + "PasswordFile=" + passwordFile + "\n" +
                            "CaFile=" + Certificate() + "\n" + extra);
}

namespace {

std::string decoded(GMimePart* part) {
    GObjectPtr<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(g_mime_part_get_content(part), out.get());
    const GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

std::string mimeType(GMimeObject* object) {
    char* type = g_mime_content_type_get_mime_type(g_mime_object_get_content_type(object));
    std::string result = type;
    g_free(type);
    return result;
}

std::string addresses(InternetAddressList* list) {
    char* text = internet_address_list_to_string(list, nullptr, FALSE);
    std::string result = text != nullptr ? text : "";
    g_free(text);
    return result;
}

}  // namespace

TParsedMail ParseMail(const std::string& raw) {
    g_mime_init();
    GObjectPtr<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(raw.data(), raw.size()));
    GObjectPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    GObjectPtr<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!message) throw std::runtime_error("not a message");
    TParsedMail mail;
    mail.From = addresses(g_mime_message_get_from(message.get()));
    mail.To = addresses(g_mime_message_get_to(message.get()));
    const char* subject = g_mime_message_get_subject(message.get());
    mail.Subject = subject != nullptr ? subject : "";
    const char* date = g_mime_object_get_header(GMIME_OBJECT(message.get()), "Date");
    mail.Date = date != nullptr ? date : "";
    const char* id = g_mime_message_get_message_id(message.get());
    mail.MessageId = id != nullptr ? id : "";

    GMimeObject* top = g_mime_message_get_mime_part(message.get());
    std::vector<GMimeObject*> parts;
    if (GMIME_IS_MULTIPART(top)) {
        for (int i = 0; i < g_mime_multipart_get_count(GMIME_MULTIPART(top)); ++i)
            parts.push_back(g_mime_multipart_get_part(GMIME_MULTIPART(top), i));
    } else {
        parts.push_back(top);
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!GMIME_IS_PART(parts[i])) continue;
        GMimePart* part = GMIME_PART(parts[i]);
        if (i == 0) {
            const char* charset = g_mime_object_get_content_type_parameter(parts[i], "charset");
            mail.BodyType = mimeType(parts[i]) + "; charset=" + (charset != nullptr ? charset : "");
            mail.Body = decoded(part);
            continue;
        }
        const char* name = g_mime_part_get_filename(part);
        mail.Attachments.push_back(
            {name != nullptr ? name : "", mimeType(parts[i]), decoded(part)});
    }
    return mail;
}

std::string WithoutDateAndId(const std::string& raw) {
    std::string result;
    std::istringstream lines(raw);
    bool inHeaders = true;
    for (std::string line; std::getline(lines, line);) {
        if (inHeaders && (line == "\r" || line.empty())) inHeaders = false;
        if (inHeaders && (line.starts_with("Date:") || line.starts_with("Message-Id:"))) continue;
        result += line + "\n";
    }
    return result;
}
