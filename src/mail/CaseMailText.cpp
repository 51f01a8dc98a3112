#include "mail/CaseMailText.h"

std::string CaseMailSubject(const std::string& cliente) {
    return "Documentos da v\xC3\xADtima: " + cliente;
}

std::vector<std::string> CaseMailBodyLines(const std::string& cliente,
                                           const std::string& usuarioLogado,
                                           const TOfficeRecord& office, const std::string& date,
                                           const std::string& time) {
    return {
        "",
        "Segue em anexo documentos da v\xC3\xADtima: " + cliente,
        "",
        "",
        "Atensiosamente, " + usuarioLogado,
        "Empresa:",
        office.fantasia,
        "Endere\xC3\xA7o: " + office.endereco + ", " + office.numero,
        "Bairro: " + office.bairro,
        "Cidade: " + office.cidade,
        office.email,
        office.telefone,
        office.telefone2,
        "Enviado em " + date + " \xC3\xA0s " + time,
    };
}

std::string CaseMailBody(const std::vector<std::string>& lines) {
    std::string body;
    for (const std::string& line : lines) body += line + "\r\n";
    return body;
}
