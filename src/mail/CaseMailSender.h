#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One of the case's filed files as the composer lists it.
struct TCaseFile {
    std::string tipo;
    std::string caminho;
};

// A contract's stored path with every "//" made the native "/" (the folder setting stores its
// separators doubled).
std::string ContractPath(std::string_view caminho);

// What the composer hands to the mail automation: the recipient field, subject and body as they
// stand, and the case's files in list order.
struct TCaseMail {
    std::string para;
    std::string assunto;
    std::string body;  // CR LF line ends
    std::vector<TCaseFile> files;
};

// Sends the case's mail through the mail automation: the application, a new mail item, the
// recipients (split as RecipientList does), subject and body, then the files: a contract ("CO")
// only if askContract says yes (asked once per contract row), every other file as stored. Every
// file is read before anything goes out. Returns once the message was accepted; any failure
// raises the automation's error and nothing is sent.
void SendCaseMail(const TCaseMail& mail, const std::function<bool()>& askContract);
