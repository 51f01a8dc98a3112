#pragma once

#include <string>

namespace outlook {

enum class TDelivery { dlSmtp, dlPickup };
enum class TSmtpSecurity { ssStartTls, ssTls, ssNone };

// The user's mail profile, section [Mail] of mail.ini: who sends, and how messages leave the
// machine. Relative paths in it (PasswordFile, CaFile, PickupFolder) are taken relative to the
// profile's own folder.
struct TMailProfile {
    std::string Path;  // the file it was read from, for messages
    std::string From;  // "Name <address>" or a bare address
    TDelivery Delivery = TDelivery::dlSmtp;

    // SMTP delivery.
    std::string Host;
    int Port = 587;
    TSmtpSecurity Security = TSmtpSecurity::ssStartTls;
    std::string User;
    std::string Password;  // never shown, never logged
    std::string CaFile;    // certificates to trust instead of the system's (a private server)

    // Pickup delivery: a folder that receives one .eml file per message.
    std::string PickupFolder;
};

// Where the profile is looked for: $BREVANTO_MAIL_INI, else
// $XDG_CONFIG_HOME/brevanto-scanner/mail.ini, else ~/.config/brevanto-scanner/mail.ini.
std::string MailProfilePath();

// Reads and checks the profile. A missing file or one that cannot be used raises EOleException
// "Outlook not available: " and the reason.
TMailProfile LoadMailProfile(const std::string& path);

}  // namespace outlook
