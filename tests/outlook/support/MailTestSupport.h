#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

// A folder of its own under the temporary folder, removed with its contents at the end.
class TTempFolder {
  public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return path_; }
    // Writes a file (folders on the way are made) and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const;

  private:
    std::string path_;
};

std::string ReadFile(const std::string& path);

// Sets (or with nullptr removes) an environment variable for the scope.
class TScopedEnv {
  public:
    TScopedEnv(const char* name, const char* value);
    ~TScopedEnv();
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

  private:
    std::string name_;
    std::string old_;
    bool had_;
};

// One message as the test server received it.
struct TReceivedMail {
    std::string MailFrom;
    std::vector<std::string> RcptTo;
    std::string Raw;  // the message bytes, dot-unstuffed
};

// A real SMTP server (Debian's aiosmtpd) for one test, on a free loopback port, with AUTH
// required and, unless told otherwise, STARTTLS required. Its certificate is made once per test
// run. Started in the constructor, stopped in the destructor.
class TSmtpTestServer {
  public:
    static constexpr const char* kUser = "escritorio";
    static constexpr const char* kPassword = "Se;gr3do#Fort\xC3\xA9";

    // security: "starttls", "tls" or "none".
    explicit TSmtpTestServer(std::string security = "starttls");
    ~TSmtpTestServer();
    TSmtpTestServer(const TSmtpTestServer&) = delete;
    TSmtpTestServer& operator=(const TSmtpTestServer&) = delete;

    int Port() const { return port_; }
    // The server's self-signed certificate, to be trusted through the profile's CaFile=.
    static const std::string& Certificate();
    // The messages accepted so far, in order.
    std::vector<TReceivedMail> Received() const;

    // A [Mail] profile for this server written into the folder (password in a private file);
    // extra lines are appended to the section. Returns its path.
    std::string WriteProfile(const TTempFolder& folder, const std::string& extra = {}) const;

  private:
    void stop();

    TTempFolder folder_;
    std::string security_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// A message read back with GMime: decoded headers, the text body and the attachments.
struct TMimeAttachment {
    std::string FileName;
    std::string ContentType;
    std::string Bytes;
};
struct TParsedMail {
    std::string From;
    std::string To;
    std::string Subject;
    std::string Date;
    std::string MessageId;
    std::string BodyType;
    std::string Body;
    std::vector<TMimeAttachment> Attachments;
};
TParsedMail ParseMail(const std::string& raw);

// The message with its Date and Message-Id header lines removed.
std::string WithoutDateAndId(const std::string& raw);
