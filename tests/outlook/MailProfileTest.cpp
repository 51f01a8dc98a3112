#include <sys/stat.h>

#include <gtest/gtest.h>

#include "MailTestSupport.h"
#include "platform/outlook/MailProfile.h"
#include "platform/outlook/OleException.h"

using namespace outlook;

namespace {

// The error a profile text gives, or "" when it loads.
std::string errorOf(const TTempFolder& folder, const std::string& text) {
    try {
        LoadMailProfile(folder.Write("mail.ini", text));
        return {};
    } catch (const EOleException& error) {
        return error.what();
    }
}

TEST(MailProfile, RefusesProfilesThatCannotBeUsed) {
    TTempFolder folder;
    folder.Write("out/.keep", "");
    struct Case {
        const char* text;
        const char* error;  // after "Outlook not available: "
    };
    const Case cases[] = {
        {"", "From= is missing"},
        {"[Other]\nFrom=a@b.com\nDelivery=pickup\nPickupFolder=out\n", "From= is missing"},
        {"[Mail]\nFrom=nobody\nDelivery=pickup\nPickupFolder=out\n", "is not an e-mail address"},
        {"[Mail]\nFrom=a@b.com\n", "Delivery= must be smtp or pickup"},
        {"[Mail]\nFrom=a@b.com\nDelivery=SMTP\nHost=h\n", "Delivery= must be smtp or pickup"},
        {"[Mail]\nFrom=a@b.com\nDelivery=pickup\n", "PickupFolder= is missing"},
        {"[Mail]\nFrom=a@b.com\nDelivery=pickup\nPickupFolder=missing\n", "does not exist"},
        {"[Mail]\nFrom=a@b.com\nDelivery=smtp\n", "Host= is missing"},
        {"[Mail]\nFrom=a@b.com\nDelivery=smtp\nHost=h\nPort=0\n", "Port=0 is not a port number"},
        {"[Mail]\nFrom=a@b.com\nDelivery=smtp\nHost=h\nPort=25x\n", "is not a port number"},
        {"[Mail]\nFrom=a@b.com\nDelivery=smtp\nHost=h\nPort=65536\n", "is not a port number"},
        {"[Mail]\nFrom=a@b.com\nDelivery=smtp\nHost=h\nSecurity=ssl\n",
         "Security= must be starttls, tls or none"},
        {"[Mail]\nFrom=a@b.com\nDelivery=smtp\nHost=h\nUser=u\n", "neither PasswordFile="},
        {"[Mail]\nFrom=a@b.com\nDelivery=smtp\nHost=h\nUser=u\nPasswordFile=nofile\n",
         "the password file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string error = errorOf(folder, c.text);
        EXPECT_TRUE(error.starts_with("Outlook not available: ")) << error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST(MailProfile, MissingFileIsOutlookNotAvailable) {
    TTempFolder folder;
    try {
        LoadMailProfile(folder.Path() + "/mail.ini");
        FAIL() << "loaded";
    } catch (const EOleException& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Outlook not available: there is no mail profile " + folder.Path() + "/mail.ini");
    }
}

TEST(MailProfile, ReadsSmtpSettingsWithDefaults) {
    TTempFolder folder;
    const std::string secret = folder.Write("secret", "p;a=ss word\r\nsecond line\n");
    ::chmod(secret.c_str(), 0600);
    const std::string path = folder.Write("mail.ini",
                                          "; the office's mail\n"
                                          "[Mail]\n"
                                          "  From = Escrit\xC3\xB3rio <escritorio@example.com>  \n"
                                          "# SMTP through the provider\n"
                                          "Delivery=smtp\n"
                                          "Host=mail.example.com\n"
                                          "User=escritorio\n"
                                          "PasswordFile=secret\n"
                                          "CaFile=ca.pem\n"
                                          "[Other]\n"
                                          "Host=elsewhere\n");
    const TMailProfile profile = LoadMailProfile(path);
    EXPECT_EQ(profile.From, "Escrit\xC3\xB3rio <escritorio@example.com>");
    EXPECT_EQ(profile.Delivery, TDelivery::dlSmtp);
    EXPECT_EQ(profile.Host, "mail.example.com");
    EXPECT_EQ(profile.Port, 587);
    EXPECT_EQ(profile.Security, TSmtpSecurity::ssStartTls);
    EXPECT_EQ(profile.User, "escritorio");
    EXPECT_EQ(profile.Password, "p;a=ss word");
    EXPECT_EQ(profile.CaFile, folder.Path() + "/ca.pem");
}

TEST(MailProfile, PortFollowsTheSecurityUnlessGiven) {
    TTempFolder folder;
    struct Case {
        const char* lines;
        TSmtpSecurity security;
        int port;
    };
    const Case cases[] = {
        {"Security=starttls\n", TSmtpSecurity::ssStartTls, 587},
        {"Security=tls\n", TSmtpSecurity::ssTls, 465},
        {"Security=none\n", TSmtpSecurity::ssNone, 587},
        {"Security=tls\nPort=2465\n", TSmtpSecurity::ssTls, 2465},
        {"Port=25\n", TSmtpSecurity::ssStartTls, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        const TMailProfile profile = LoadMailProfile(folder.Write(
            "mail.ini", std::string("[Mail]\nFrom=a@b.com\nDelivery=smtp\nHost=h\n") + c.lines));
        EXPECT_EQ(profile.Security, c.security);
        EXPECT_EQ(profile.Port, c.port);
    }
}

TEST(MailProfile, PasswordFileOthersCanReadIsRefusedWithoutShowingIt) {
    TTempFolder folder;
    const std::string secret = folder.Write("secret", "hunter22\n");
    ::chmod(secret.c_str(), 0644);
    const std::string error = errorOf(
        folder, "[Mail]\nFrom=a@b.com\nDelivery=smtp\nHost=h\nUser=u\nPasswordFile=secret\n");
    EXPECT_NE(error.find("can be read by other users"), std::string::npos) << error;
    EXPECT_EQ(error.find("hunter22"), std::string::npos) << error;
}

TEST(MailProfile, ReadsPickupFolderBesideTheProfile) {
    TTempFolder folder;
    folder.Write("sent/.keep", "");
    const TMailProfile profile = LoadMailProfile(
        folder.Write("mail.ini", "[Mail]\nFrom=a@b.com\nDelivery=pickup\nPickupFolder=sent\n"));
    EXPECT_EQ(profile.Delivery, TDelivery::dlPickup);
    EXPECT_EQ(profile.PickupFolder, folder.Path() + "/sent");
}

TEST(MailProfile, PathComesFromTheEnvironment) {
    TScopedEnv home("HOME", "/home/clerk");
    {
        TScopedEnv file("BREVANTO_MAIL_INI", "/srv/office/mail.ini");
        TScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(MailProfilePath(), "/srv/office/mail.ini");
    }
    {
        TScopedEnv file("BREVANTO_MAIL_INI", nullptr);
        TScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(MailProfilePath(), "/cfg/brevanto-scanner/mail.ini");
    }
    TScopedEnv file("BREVANTO_MAIL_INI", "");
    TScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(MailProfilePath(), "/home/clerk/.config/brevanto-scanner/mail.ini");
}

}  // namespace
