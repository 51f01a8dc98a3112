#include "platform/outlook/OutlookApplication.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/outlook/MimeMessage.h"
#include "platform/outlook/OleException.h"
#include "platform/outlook/PickupDelivery.h"
#include "platform/outlook/SmtpDelivery.h"

namespace outlook {
namespace {

[[noreturn]] void cannotAttach(const std::string& path, const std::string& reason) {
    throw EOleException("The file \"" + path + "\" cannot be attached: " + reason);
}

std::string readWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) cannotAttach(path, std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0) cannotAttach(path, std::strerror(errno));
    if (!S_ISREG(status.st_mode)) cannotAttach(path, "it is not a file");
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) cannotAttach(path, std::strerror(errno));
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

void TAttachments::Add(const std::string& path) { files_.push_back({path, readWholeFile(path)}); }

TMailItem::TMailItem(std::shared_ptr<const TMailProfile> profile) : profile_(std::move(profile)) {}

void TMailItem::Send() {
    if (sent_) throw EOleException("The item has been moved or deleted.");

    TMailContent content;
    for (int i = 0; i < recipients_.Count(); ++i) {
        const std::string& recipient = recipients_.Item(i);
        if (blank(recipient)) continue;
        const auto mailbox = ParseMailbox(recipient);
        if (!mailbox)
            throw EOleException("Outlook does not recognize \"" + recipient +
                                "\" as an e-mail address.");
        content.To.push_back(*mailbox);
    }
    if (content.To.empty())
        throw EOleException(
            "There must be at least one name or contact group in the To, Cc, or Bcc box.");
    const auto from = ParseMailbox(profile_->From);
    if (!from) throw EOleException("Outlook not available: the sender is not an e-mail address");
    content.From = *from;
    content.Subject = subject_;
    content.Body = body_;
    for (const TAttachments::TFile& file : attachments_.Files()) {
        const std::string name = std::filesystem::path(file.Path).filename().string();
        content.Attachments.push_back({name, ContentTypeOf(name), file.Bytes});
    }

    const std::string message = BuildMimeMessage(content, NewMessageStamp(content.From));
    if (profile_->Delivery == TDelivery::dlPickup) {
        DeliverToPickupFolder(profile_->PickupFolder, message);
    } else {
        std::vector<std::string> recipients;
        for (const TMailbox& to : content.To) recipients.push_back(to.Address);
        DeliverBySmtp(*profile_, content.From.Address, recipients, message);
    }
    sent_ = true;
}

std::unique_ptr<TOutlookApplication> TOutlookApplication::Start() {
    return std::make_unique<TOutlookApplication>(LoadMailProfile(MailProfilePath()));
}

TOutlookApplication::TOutlookApplication(TMailProfile profile)
    : profile_(std::make_shared<const TMailProfile>(std::move(profile))) {}

std::unique_ptr<TMailItem> TOutlookApplication::CreateItem(int itemType) {
    if (itemType != olMailItem)
        throw EOleException("Only mail items (0) can be created, not " + std::to_string(itemType) +
                            ".");
    return std::make_unique<TMailItem>(profile_);
}

}  // namespace outlook
