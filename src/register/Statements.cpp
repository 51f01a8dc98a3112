#include "register/Statements.h"

#include "db/TmySQLDatabase.h"

namespace {

const std::string kFiledDocumentsSelect =
    "select cadprocessospdf.*, cadprocessos.cliente as cliente from cadprocessospdf left join "
    "cadprocessos on cadprocessos.CodProcesso=cadprocessospdf.codprocesso";

std::string number(std::optional<std::int64_t> value) {
    return value ? std::to_string(*value) : std::string();
}

}  // namespace

std::string Statements::text(std::string_view value) const {
    return database_->EscapeString(value);
}

std::string Statements::AllFiledDocuments() {
    return "select cadprocessospdf.*, cadprocessos.cliente as cliente\n"
           "from cadprocessospdf left join cadprocessos on "
           "cadprocessos.CodProcesso=cadprocessospdf.codprocesso;";
}

std::string Statements::FiledDocumentsByClient(std::string_view search) const {
    return kFiledDocumentsSelect + " where cadprocessos.cliente like '%" + text(search) + "%" + "'";
}

std::string Statements::FiledDocumentsOfCase(std::optional<std::int64_t> caseNumber) {
    return kFiledDocumentsSelect + " where cadprocessospdf.codprocesso=" + number(caseNumber);
}

std::string Statements::PdfFolder() { return "select dirpdf from cadparametos"; }

std::string Statements::SetPdfFolder(std::string_view folder) const {
    return "update cadparametos set dirpdf='" + text(folder) + "'";
}

std::string Statements::CaseByNumber(std::int64_t caseNumber) {
    return "select * from cadprocessos where codprocesso=" + std::to_string(caseNumber);
}

std::string Statements::CasesByClient(std::string_view search) const {
    return "select cadprocessos.*,ifnull(cadprocessos.cliente, cadcliente.cliente) as nome from "
           "cadprocessos left join cadcliente on cadcliente.codcli = cadprocessos.codcliente  "
           "where ifnull(cadprocessos.cliente, cadcliente.cliente) like '%" +
           text(search) + "%" + "'";
}

std::string Statements::LoginEncrypted(std::string_view user, std::string_view password) const {
    return "select * from cadusuario where login='" + text(user) + "'" + " and senha=AES_ENCRYPT(" +
           "'" + text(password) + "'" + ",5302) limit 1";
}

std::string Statements::LoginPlain(std::string_view user, std::string_view password) const {
    return "select * from cadusuario where login='" + text(user) + "'" + " and senha=" + "'" +
           text(password) + "'" + " limit 1";
}

std::string Statements::InsertFiledDocument(std::int64_t caseNumber, std::string_view pdfPath,
                                            std::string_view typeCode) const {
    return "insert into cadprocessospdf (codprocesso, caminho, tipo) values(" +
           std::to_string(caseNumber) + "," + "'" + text(pdfPath) + "'" + "," + "'" +
           text(typeCode) + "'" + ")";
}

std::string Statements::InsertMailedFile(std::optional<std::int64_t> caseNumber,
                                         std::string_view filePath) const {
    return "insert into cadprocessospdf (codprocesso, caminho)  values(" + number(caseNumber) +
           ", " + "'" + text(filePath) + "'" + ")";
}

std::string Statements::DeleteFiledDocument(std::int64_t codpdf) {
    return "delete from cadprocessospdf where codpdf=" + std::to_string(codpdf);
}

std::string Statements::Office() { return "select * from cadempresa"; }
