#pragma once

#include <string>
#include <vector>

// The office record's values the mail's signature shows (the first row of cadempresa), as
// stored; NULL reads as empty.
struct TOfficeRecord {
    std::string fantasia;
    std::string endereco;
    std::string numero;
    std::string bairro;
    std::string cidade;
    std::string email;
    std::string telefone;
    std::string telefone2;
};

// The subject prepared for a case's mail.
std::string CaseMailSubject(const std::string& cliente);

// The lines appended to the body, in order: greeting, the user's name, the office's signature
// and when the composer opened (date and time already in the user's formats).
std::vector<std::string> CaseMailBodyLines(const std::string& cliente,
                                           const std::string& usuarioLogado,
                                           const TOfficeRecord& office, const std::string& date,
                                           const std::string& time);

// The body as sent: every line ending in CR LF.
std::string CaseMailBody(const std::vector<std::string>& lines);
