#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace outlook {

struct TMailbox {
    std::string Name;     // display name, may be empty
    std::string Address;  // local@domain
};

// One address ("Name <local@domain>", "local@domain"); nothing when the text is not exactly one
// address with a local part and a domain.
std::optional<TMailbox> ParseMailbox(std::string_view text);

// The MIME type sent for a file, from its extension; application/octet-stream when unknown.
std::string ContentTypeOf(std::string_view fileName);

struct TMailAttachment {
    std::string FileName;  // the name the receiver sees, without folders
    std::string ContentType;
    std::string Bytes;
};

struct TMailContent {
    TMailbox From;
    std::vector<TMailbox> To;
    std::string Subject;  // UTF-8
    std::string Body;     // UTF-8 text; line ends are sent as CR LF
    std::vector<TMailAttachment> Attachments;
};

// What makes one message unique; everything else follows from the content, so the same content
// gives the same bytes apart from the Date and Message-Id headers.
struct TMessageStamp {
    std::time_t Date = 0;
    std::string MessageId;  // without angle brackets
};

// A fresh stamp: now, and a message id at the sender's domain.
TMessageStamp NewMessageStamp(const TMailbox& from);

// The whole message (RFC 5322 / MIME) with CR LF line ends, ready for SMTP or a .eml file:
// UTF-8 headers and body, attachments in base64 with their names and types.
std::string BuildMimeMessage(const TMailContent& content, const TMessageStamp& stamp);

}  // namespace outlook
