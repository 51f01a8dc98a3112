#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/outlook/MailProfile.h"

namespace outlook {

// The mail automation the composer drives, with the members it calls by name on Outlook:
// the application's CreateItem(0) gives a mail item with Recipients.Add, Subject, Body,
// Attachments.Add and Send. Behind it, a message built with GMime goes out through the user's
// mail profile. Every failure raises EOleException.

// The item's recipients as added, one address each; an empty one is kept and left out when the
// message is sent, as Outlook drops an empty entry of its To line.
class TRecipients {
  public:
    void Add(std::string address) { items_.push_back(std::move(address)); }
    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& Item(int index) const { return items_.at(static_cast<std::size_t>(index)); }

  private:
    std::vector<std::string> items_;
};

// The item's attachments. Add reads the whole file at once, so a missing or unreadable file
// fails there, naming the file, before anything is sent; later changes to the file do not
// change the message.
class TAttachments {
  public:
    void Add(const std::string& path);
    int Count() const { return static_cast<int>(files_.size()); }
    const std::string& Path(int index) const {
        return files_.at(static_cast<std::size_t>(index)).Path;
    }

    struct TFile {
        std::string Path;
        std::string Bytes;
    };
    const std::vector<TFile>& Files() const { return files_; }

  private:
    std::vector<TFile> files_;
};

// One mail item, created by the application and sent at most once.
class TMailItem {
  public:
    explicit TMailItem(std::shared_ptr<const TMailProfile> profile);

    TRecipients& Recipients() { return recipients_; }
    TAttachments& Attachments() { return attachments_; }
    const std::string& Subject() const { return subject_; }
    void SetSubject(std::string subject) { subject_ = std::move(subject); }
    const std::string& Body() const { return body_; }
    void SetBody(std::string body) { body_ = std::move(body); }

    // Resolves the recipients, builds the message and delivers it through the profile. Returns
    // only when the message was accepted by the server (or is a complete pickup file).
    void Send();

  private:
    std::shared_ptr<const TMailProfile> profile_;
    TRecipients recipients_;
    TAttachments attachments_;
    std::string subject_;
    std::string body_;
    bool sent_ = false;
};

enum TOlItemType { olMailItem = 0 };

class TOutlookApplication {
  public:
    // The application on the user's mail profile (MailProfilePath()); "Outlook not available"
    // when there is no profile that can be used.
    static std::unique_ptr<TOutlookApplication> Start();

    explicit TOutlookApplication(TMailProfile profile);

    // A new item; only mail items (0) exist here.
    std::unique_ptr<TMailItem> CreateItem(int itemType);

    const TMailProfile& Profile() const { return *profile_; }

  private:
    std::shared_ptr<const TMailProfile> profile_;
};

}  // namespace outlook
