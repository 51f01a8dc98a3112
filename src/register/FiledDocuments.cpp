#include "register/FiledDocuments.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "db/TmySQLQuery.h"
#include "register/Statements.h"

void ExecuteStatement(TmySQLQuery& qryEu, const std::string& statement) {
    qryEu.Close();
    qryEu.SQL().Clear();
    qryEu.SQL().Add(statement);
    qryEu.ExecSQL();
}

void DeleteFiledDocument(TmySQLQuery& qryEu, std::int64_t codpdf, const std::string& path) {
    ExecuteStatement(qryEu, Statements::DeleteFiledDocument(codpdf));
    if (std::remove(path.c_str()) == 0) return;
    const int error = errno;
    if (error == ENOENT) return;
    throw std::runtime_error("O registro foi excluído, mas o arquivo \"" + path +
                             "\" não pôde ser apagado: " + std::strerror(error));
}

std::string StoredFolderText(std::string_view typed) {
    std::string stored;
    stored.reserve(typed.size());
    for (const char c : typed) {
        if (c == '\\')
            stored += "//";
        else
            stored += c;
    }
    return stored;
}

void StorePdfFolder(TmySQLQuery& qryEu, std::string_view folder) {
    ExecuteStatement(qryEu, Statements(qryEu.Database()).SetPdfFolder(folder));
}
