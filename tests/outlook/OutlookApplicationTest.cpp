#include <filesystem>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "MailTestSupport.h"
#include "platform/outlook/OleException.h"
#include "platform/outlook/OutlookApplication.h"
#include "platform/outlook/SmtpDelivery.h"

using namespace outlook;
namespace fs = std::filesystem;

namespace {

std::string binaryFile(int size, int seed) {
    std::string bytes;
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((i * seed + i / 7) % 256);
    return bytes;
}

// Runs the send and returns its error, or "" when it was accepted.
template <class Step>
std::string errorOf(Step step) {
    try {
        step();
        return {};
    } catch (const EOleException& error) {
        return error.what();
    }
}

class OutlookSmtp : public ::testing::TestWithParam<const char*> {};

TEST_P(OutlookSmtp, DeliversRecipientsSubjectBodyAndAttachments) {
    TSmtpTestServer server(GetParam());
    TTempFolder folder;
    const std::string pdf = folder.Write("pdf/2024 03 10.pdf", binaryFile(70000, 13));
    const std::string jpg = folder.Write("pdf/p\xC3\xA1gina.jpg", binaryFile(1234, 31));
    TScopedEnv profile("BREVANTO_MAIL_INI", server.WriteProfile(folder).c_str());

    auto application = TOutlookApplication::Start();
    auto item = application->CreateItem(olMailItem);
    item->Recipients().Add("ana@example.com");
    item->Recipients().Add("Jos\xC3\xA9 <jose@example.com.br>");
    item->Recipients().Add("");
    item->SetSubject("Documentos da v\xC3\xADtima: Ana");
    item->SetBody("\r\n\r\nSegue em anexo\r\n.\r\n..dois pontos\r\n");
    item->Attachments().Add(pdf);
    item->Attachments().Add(jpg);
    item->Send();

    const auto received = server.Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].MailFrom, "escritorio@example.com");
    EXPECT_EQ(received[0].RcptTo,
              (std::vector<std::string>{"ana@example.com", "jose@example.com.br"}));
    const TParsedMail mail = ParseMail(received[0].Raw);
    EXPECT_EQ(mail.From, "Escrit\xC3\xB3rio Brevanto <escritorio@example.com>");
    EXPECT_EQ(mail.To, "ana@example.com, Jos\xC3\xA9 <jose@example.com.br>");
    EXPECT_EQ(mail.Subject, "Documentos da v\xC3\xADtima: Ana");
    EXPECT_EQ(mail.Body, "\r\n\r\nSegue em anexo\r\n.\r\n..dois pontos\r\n");
    ASSERT_EQ(mail.Attachments.size(), 2u);
    EXPECT_EQ(mail.Attachments[0].FileName, "2024 03 10.pdf");
    EXPECT_EQ(mail.Attachments[0].ContentType, "application/pdf");
    EXPECT_EQ(mail.Attachments[0].Bytes, ReadFile(pdf));
    EXPECT_EQ(mail.Attachments[1].FileName, "p\xC3\xA1gina.jpg");
    EXPECT_EQ(mail.Attachments[1].ContentType, "image/jpeg");
    EXPECT_EQ(mail.Attachments[1].Bytes, ReadFile(jpg));
}

INSTANTIATE_TEST_SUITE_P(Security, OutlookSmtp, ::testing::Values("starttls", "tls", "none"));

TEST(OutlookApplication, WithoutProfileOutlookIsNotAvailable) {
    TTempFolder folder;
    TScopedEnv profile("BREVANTO_MAIL_INI", (folder.Path() + "/mail.ini").c_str());
    const std::string error = errorOf([] { TOutlookApplication::Start(); });
    EXPECT_TRUE(error.starts_with("Outlook not available")) << error;
}

TEST(OutlookApplication, FailuresShowTheReasonDeliverNothingAndHideThePassword) {
    TSmtpTestServer server;
    TTempFolder folder;
    const std::string pdf = folder.Write("a.pdf", binaryFile(500, 3));
    const std::string good = std::string("Password=") + TSmtpTestServer::kPassword + "\n";
    const std::string trusted = "CaFile=" + TSmtpTestServer::Certificate() + "\n";
    struct Case {
        const char* name;
        std::string password;
        std::string ca;
        std::vector<std::string> recipients;
        std::string expected;
    };
    const Case cases[] = {
        {"refused recipient",
         good,
         trusted,
         {"ana@example.com", "refuse@example.com"},
         "550 5.1.1 <refuse@example.com>: Recipient address rejected"},
        {"refused message",
         good,
         trusted,
         {"bounce@example.com"},
         "554 5.7.1 Message refused by policy"},
        {"wrong password", "Password=wrong-Se;gr3do\n", trusted, {"ana@example.com"}, "535"},
        {"certificate not trusted", good, "", {"ana@example.com"}, "certificate"},
        {"not an address",
         good,
         trusted,
         {"ana@example.com bruno@example.com"},
         "Outlook does not recognize \"ana@example.com bruno@example.com\""},
        {"no recipient", good, trusted, {"", " "}, "There must be at least one name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string profileText =
            "[Mail]\nFrom=escritorio@example.com\nDelivery=smtp\n"
            "Host=127.0.0.1\nPort=" +
            std::to_string(server.Port()) + "\nUser=" + TSmtpTestServer::kUser + "\n" + c.password +
            c.ca;
        TScopedEnv profile("BREVANTO_MAIL_INI", folder.Write("case.ini", profileText).c_str());
        const std::string error = errorOf([&] {
            auto item = TOutlookApplication::Start()->CreateItem(olMailItem);
            for (const std::string& r : c.recipients) item->Recipients().Add(r);
            item->SetSubject("assunto");
            item->Attachments().Add(pdf);
            item->Send();
        });
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_EQ(error.find(TSmtpTestServer::kPassword), std::string::npos) << error;
        EXPECT_EQ(error.find("Se;gr3do"), std::string::npos) << error;
        EXPECT_TRUE(server.Received().empty());
    }
}

TEST(OutlookApplication, AttachingAMissingOrUnreadableFileNamesIt) {
    TTempFolder folder;
    folder.Write("sent/.keep", "");
    const std::string locked = folder.Write("locked.pdf", "x");
    ::chmod(locked.c_str(), 0000);
    const bool asRoot = ::geteuid() == 0;  // root reads any file
    const std::string missing = folder.Path() + "/missing.pdf";
    const std::string profile =
        folder.Write("mail.ini", "[Mail]\nFrom=a@b.com\nDelivery=pickup\nPickupFolder=sent\n");
    auto item = TOutlookApplication(LoadMailProfile(profile)).CreateItem(olMailItem);
    for (const std::string& path : {missing, folder.Path() + "/sent", locked}) {
        if (path == locked && asRoot) continue;
        SCOPED_TRACE(path);
        const std::string error = errorOf([&] { item->Attachments().Add(path); });
        EXPECT_NE(error.find("\"" + path + "\" cannot be attached"), std::string::npos) << error;
    }
    EXPECT_EQ(item->Attachments().Count(), 0);
}

TEST(OutlookApplication, OnlyMailItemsExist) {
    TOutlookApplication application(TMailProfile{});
    const std::string error = errorOf([&] { application.CreateItem(1); });
    EXPECT_NE(error.find("Only mail items"), std::string::npos) << error;
}

TEST(OutlookPickup, EachSendIsOneCompleteFileAndRepeatsAreIdentical) {
    TTempFolder folder;
    folder.Write("sent/.keep", "");
    const std::string pdf = folder.Write("a.pdf", binaryFile(4000, 5));
    TScopedEnv profile("BREVANTO_MAIL_INI",
                       folder
                           .Write("mail.ini",
                                  "[Mail]\nFrom=Escrit\xC3\xB3rio <escritorio@example.com>\n"
                                  "Delivery=pickup\nPickupFolder=sent\n")
                           .c_str());
    for (int send = 0; send < 2; ++send) {
        auto item = TOutlookApplication::Start()->CreateItem(olMailItem);
        item->Recipients().Add("ana@example.com");
        item->SetSubject("Documentos");
        item->SetBody("linha\r\n");
        item->Attachments().Add(pdf);
        item->Send();
    }
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder.Path() + "/sent"))
        if (entry.path().filename() != ".keep") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 2u);
    for (const std::string& file : files) EXPECT_TRUE(file.ends_with(".eml")) << file;
    const std::string first = ReadFile(files[0]);
    const std::string second = ReadFile(files[1]);
    const TParsedMail a = ParseMail(first);
    const TParsedMail b = ParseMail(second);
    EXPECT_NE(a.MessageId, b.MessageId);
    EXPECT_EQ(WithoutDateAndId(first), WithoutDateAndId(second));
    EXPECT_EQ(a.To, "ana@example.com");
    EXPECT_EQ(a.Body, "linha\r\n");
    ASSERT_EQ(a.Attachments.size(), 1u);
    EXPECT_EQ(a.Attachments[0].Bytes, ReadFile(pdf));
    EXPECT_TRUE(first.ends_with("--\r\n"));
}

TEST(OutlookPickup, AFolderThatCannotTakeTheMessageLeavesNothing) {
    TTempFolder folder;
    folder.Write("sent/.keep", "");
    const std::string profile =
        folder.Write("mail.ini", "[Mail]\nFrom=a@b.com\nDelivery=pickup\nPickupFolder=sent\n");
    TOutlookApplication application(LoadMailProfile(profile));
    fs::remove_all(folder.Path() + "/sent");
    auto item = application.CreateItem(olMailItem);
    item->Recipients().Add("ana@example.com");
    const std::string error = errorOf([&] { item->Send(); });
    EXPECT_NE(error.find("could not be written into " + folder.Path() + "/sent"), std::string::npos)
        << error;
}

}  // namespace

namespace {

TEST(SmtpDelivery, ErrorTextsNeverCarryThePassword) {
    struct Case {
        const char* text;
        const char* secret;
        const char* shown;
    };
    const Case cases[] = {
        {"login failed for pw abc", "abc", "login failed for pw ****"},
        {"abcabc", "abc", "********"},
        {"aaaa", "aa", "********"},
        {"nothing here", "", "nothing here"},
        {"no secret", "xyz", "no secret"},
    };
    for (const Case& c : cases) EXPECT_EQ(WithoutSecret(c.text, c.secret), c.shown) << c.text;
}

}  // namespace
