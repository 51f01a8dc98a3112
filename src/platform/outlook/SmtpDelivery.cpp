#include "platform/outlook/SmtpDelivery.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

#include <curl/curl.h>

#include "platform/outlook/MailProfile.h"
#include "platform/outlook/OleException.h"

namespace outlook {
namespace {

constexpr long kConnectSeconds = 30;
// A server that stops answering gives an error instead of a frozen window.
constexpr long kStalledSeconds = 60;

struct TCurlCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct TListCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// The server's last refusal (4xx, 5xx): one reply, continuation lines joined. What comes after
// it (the reply to QUIT) does not hide it.
class TReplyLog {
  public:
    void Line(std::string line) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (replyDone_) {
            reply_.clear();
            replyDone_ = false;
        }
        if (!reply_.empty()) reply_ += ' ';
        reply_ += line;
        // "250-..." continues, "250 ..." ends the reply.
        replyDone_ = line.size() < 4 || line[3] != '-';
        if (replyDone_ && (reply_[0] == '4' || reply_[0] == '5')) refusal_ = reply_;
    }
    const std::string& Refusal() const { return refusal_; }

  private:
    std::string reply_;
    std::string refusal_;
    bool replyDone_ = false;
};

int onDebug(CURL*, curl_infotype type, char* data, size_t size, void* log) {
    // Only what the server sends is kept: what we send holds the credentials.
    if (type == CURLINFO_HEADER_IN)
        static_cast<TReplyLog*>(log)->Line(std::string(data, data + size));
    return 0;
}

struct TUpload {
    const std::string* message;
    std::size_t position = 0;
};

size_t onRead(char* buffer, size_t size, size_t count, void* data) {
    auto* upload = static_cast<TUpload*>(data);
    const std::size_t n = std::min(size * count, upload->message->size() - upload->position);
    std::memcpy(buffer, upload->message->data() + upload->position, n);
    upload->position += n;
    return n;
}

std::string serverUrl(const TMailProfile& profile) {
    const bool ipv6 = profile.Host.find(':') != std::string::npos;
    const std::string host = ipv6 ? "[" + profile.Host + "]" : profile.Host;
    return (profile.Security == TSmtpSecurity::ssTls ? "smtps://" : "smtp://") + host + ":" +
           std::to_string(profile.Port);
}

void initCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

std::string WithoutSecret(std::string text, const std::string& secret) {
    if (secret.empty()) return text;
    for (auto at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 4))
        text.replace(at, secret.size(), "****");
    return text;
}

void DeliverBySmtp(const TMailProfile& profile, const std::string& mailFrom,
                   const std::vector<std::string>& recipients, const std::string& message) {
    initCurl();
    std::unique_ptr<CURL, TCurlCleanup> curl(curl_easy_init());
    if (!curl) throw EOleException("The mail transfer could not be started.");
    CURL* c = curl.get();

    std::unique_ptr<curl_slist, TListCleanup> rcpt;
    for (const std::string& recipient : recipients) {
        curl_slist* next = curl_slist_append(rcpt.get(), ("<" + recipient + ">").c_str());
        if (next == nullptr) throw EOleException("The mail transfer could not be started.");
        // Appending returns the head, which is new only for the first item.
        if (!rcpt) rcpt.reset(next);
    }

    const std::string url = serverUrl(profile);
    const std::string from = "<" + mailFrom + ">";
    TReplyLog replies;
    TUpload upload{&message};
    char error[CURL_ERROR_SIZE] = "";

    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_USE_SSL,
                     profile.Security == TSmtpSecurity::ssNone ? static_cast<long>(CURLUSESSL_NONE)
                                                               : static_cast<long>(CURLUSESSL_ALL));
    if (!profile.CaFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, profile.CaFile.c_str());
    if (!profile.User.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, profile.User.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, profile.Password.c_str());
    }
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt.get());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, onRead);
    curl_easy_setopt(c, CURLOPT_READDATA, &upload);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, onDebug);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &replies);

    const CURLcode result = curl_easy_perform(c);
    if (result == CURLE_OK) return;

    std::string text = "The message was not sent (" + url + "): ";
    text += error[0] != '\0' ? error : curl_easy_strerror(result);
    if (const std::string refusal = replies.Refusal(); !refusal.empty())
        text += ". The server replied: " + refusal;
    throw EOleException(WithoutSecret(text, profile.Password));
}

}  // namespace outlook
