#include <gtest/gtest.h>

#include "MailTestSupport.h"
#include "platform/outlook/MimeMessage.h"

using namespace outlook;

namespace {

TEST(MimeMessage, ParsesOneAddressOnly) {
    struct Case {
        const char* text;
        bool ok;
        const char* name;
        const char* address;
    };
    const Case cases[] = {
        {"ana@example.com", true, "", "ana@example.com"},
        {"  ana@example.com ", true, "", "ana@example.com"},
        {"Ana Souza <ana@example.com>", true, "Ana Souza", "ana@example.com"},
        {"\"Souza, Ana\" <ana@example.com>", true, "Souza, Ana", "ana@example.com"},
        {"Jos\xC3\xA9 <jose@example.com.br>", true, "Jos\xC3\xA9", "jose@example.com.br"},
        {"", false, "", ""},
        {"ana", false, "", ""},
        {"ana@", false, "", ""},
        {"@example.com", false, "", ""},
        {"ana@example.com bruno@example.com", false, "", ""},
        {"ana@example.com, bruno@example.com", false, "", ""},
        {"ana@example.com\r\nBcc: x@y.com", false, "", ""},
        {"undisclosed:;", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto mailbox = ParseMailbox(c.text);
        ASSERT_EQ(mailbox.has_value(), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(mailbox->Name, c.name);
        EXPECT_EQ(mailbox->Address, c.address);
    }
}

TEST(MimeMessage, ContentTypeFollowsTheExtension) {
    EXPECT_EQ(ContentTypeOf("/pdf/20240310101010.pdf"), "application/pdf");
    EXPECT_EQ(ContentTypeOf("FOTO.JPG"), "image/jpeg");
    EXPECT_EQ(ContentTypeOf("pagina.bmp"), "image/bmp");
    EXPECT_EQ(ContentTypeOf("contrato.docx"),
              "application/vnd.openxmlformats-officedocument.wordprocessingml.document");
    EXPECT_EQ(ContentTypeOf("sem-extensao"), "application/octet-stream");
    EXPECT_EQ(ContentTypeOf("arquivo.pdf.bak"), "application/octet-stream");
}

TMailContent sample() {
    TMailContent content;
    content.From = {"Escrit\xC3\xB3rio", "escritorio@example.com"};
    content.To = {{"", "ana@example.com"}, {"Jos\xC3\xA9 Lima", "jose@example.com"}};
    content.Subject = "Documentos da v\xC3\xADtima: Jo\xC3\xA3o";
    content.Body = "\r\n\r\nSegue em anexo\r\n.\r\nlinha com ponto\r\n";
    std::string binary;
    for (int i = 0; i < 3000; ++i) binary += static_cast<char>((i * 7) % 256);
    content.Attachments = {{"contrato \xC3\xA7.pdf", "application/pdf", binary},
                           {"vazio.txt", "text/plain", ""}};
    return content;
}

TEST(MimeMessage, ReadsBackAsBuilt) {
    const std::string raw = BuildMimeMessage(sample(), {1700000000, "abc.1@example.com"});
    // Every line ends in CR LF.
    for (std::size_t at = raw.find('\n'); at != std::string::npos; at = raw.find('\n', at + 1))
        ASSERT_TRUE(at > 0 && raw[at - 1] == '\r') << at;
    const TParsedMail mail = ParseMail(raw);
    EXPECT_EQ(mail.From, "Escrit\xC3\xB3rio <escritorio@example.com>");
    EXPECT_EQ(mail.To, "ana@example.com, Jos\xC3\xA9 Lima <jose@example.com>");
    EXPECT_EQ(mail.Subject, "Documentos da v\xC3\xADtima: Jo\xC3\xA3o");
    EXPECT_EQ(mail.MessageId, "abc.1@example.com");
    EXPECT_EQ(mail.BodyType, "text/plain; charset=utf-8");
    EXPECT_EQ(mail.Body, sample().Body);
    ASSERT_EQ(mail.Attachments.size(), 2u);
    EXPECT_EQ(mail.Attachments[0].FileName, "contrato \xC3\xA7.pdf");
    EXPECT_EQ(mail.Attachments[0].ContentType, "application/pdf");
    EXPECT_EQ(mail.Attachments[0].Bytes, sample().Attachments[0].Bytes);
    EXPECT_EQ(mail.Attachments[1].FileName, "vazio.txt");
    EXPECT_EQ(mail.Attachments[1].Bytes, "");
    EXPECT_NE(raw.find("Content-Transfer-Encoding: base64"), std::string::npos);
}

TEST(MimeMessage, SameContentGivesTheSameBytesApartFromDateAndId) {
    const std::string first = BuildMimeMessage(sample(), {1700000000, "one@example.com"});
    const std::string second = BuildMimeMessage(sample(), {1700000099, "two@example.com"});
    EXPECT_NE(first, second);
    EXPECT_EQ(WithoutDateAndId(first), WithoutDateAndId(second));
    TMailContent other = sample();
    other.Attachments[0].Bytes[10] ^= 1;
    EXPECT_NE(WithoutDateAndId(BuildMimeMessage(other, {1700000000, "one@example.com"})),
              WithoutDateAndId(first));
}

TEST(MimeMessage, WithoutAttachmentsTheBodyIsTheMessage) {
    TMailContent content = sample();
    content.Attachments.clear();
    content.Body = "ascii only\r\n";
    const TParsedMail mail = ParseMail(BuildMimeMessage(content, NewMessageStamp(content.From)));
    EXPECT_EQ(mail.Body, "ascii only\r\n");
    EXPECT_TRUE(mail.Attachments.empty());
    EXPECT_TRUE(mail.MessageId.ends_with("@example.com")) << mail.MessageId;
}

}  // namespace
