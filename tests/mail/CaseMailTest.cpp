#include <gtest/gtest.h>

#include "mail/CaseMailSender.h"
#include "mail/CaseMailText.h"

namespace {

TEST(CaseMail, ContractPathsUseSingleSeparators) {
    struct Case {
        const char* stored;
        const char* attached;
    };
    const Case cases[] = {
        {"/home/escritorio//pdf//20240310101010.pdf", "/home/escritorio/pdf/20240310101010.pdf"},
        {"/srv/pdf/a.pdf", "/srv/pdf/a.pdf"},
        {"//srv//pdf", "/srv/pdf"},
        {"/a///b", "/a//b"},
        {"/a////b", "/a//b"},
        {"", ""},
        {"sem separador", "sem separador"},
    };
    for (const Case& c : cases) EXPECT_EQ(ContractPath(c.stored), c.attached) << c.stored;
}

TEST(CaseMail, BodyLinesCarryTheCaseTheUserAndTheOffice) {
    TOfficeRecord office{"Brevanto", "Rua A", "10", "Centro", "Recife", "e@x.com", "1", ""};
    const auto lines = CaseMailBodyLines("Ana", "CARLA", office, "10/03/2024", "14:05:09");
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "",
                         "Segue em anexo documentos da v\xC3\xADtima: Ana",
                         "",
                         "",
                         "Atensiosamente, CARLA",
                         "Empresa:",
                         "Brevanto",
                         "Endere\xC3\xA7o: Rua A, 10",
                         "Bairro: Centro",
                         "Cidade: Recife",
                         "e@x.com",
                         "1",
                         "",
                         "Enviado em 10/03/2024 \xC3\xA0s 14:05:09",
                     }));
    EXPECT_EQ(CaseMailSubject("Ana"), "Documentos da v\xC3\xADtima: Ana");
    EXPECT_EQ(CaseMailBody({"", "a", ""}), "\r\na\r\n\r\n");
}

}  // namespace
