#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TmySQLDatabase;

// Every SQL text the program sends, built in one place. Text values are escaped by the
// connection (so they reach the server unchanged whatever its SQL mode); numbers are integers,
// never text typed by the user.
//
// The connection is borrowed; escaping opens it when it is closed.
class Statements {
  public:
    explicit Statements(TmySQLDatabase& database) : database_(&database) {}

    // Every filed document with the client name of its case; two lines.
    static std::string AllFiledDocuments();
    // Filed documents whose case's client name is like %search%; "%" and "_" stay wildcards.
    std::string FiledDocumentsByClient(std::string_view search) const;
    // Without a case (no current row) the number is left out and the server refuses the text.
    static std::string FiledDocumentsOfCase(std::optional<std::int64_t> caseNumber);

    static std::string PdfFolder();
    std::string SetPdfFolder(std::string_view folder) const;

    static std::string CaseByNumber(std::int64_t caseNumber);
    // Cases whose own client name, or else their client's name, is like %search%.
    std::string CasesByClient(std::string_view search) const;

    std::string LoginEncrypted(std::string_view user, std::string_view password) const;
    std::string LoginPlain(std::string_view user, std::string_view password) const;

    std::string InsertFiledDocument(std::int64_t caseNumber, std::string_view pdfPath,
                                    std::string_view typeCode) const;
    std::string InsertMailedFile(std::optional<std::int64_t> caseNumber,
                                 std::string_view filePath) const;
    static std::string DeleteFiledDocument(std::int64_t codpdf);

    static std::string Office();

  private:
    // The value as the body of a quoted literal.
    std::string text(std::string_view value) const;

    TmySQLDatabase* database_;
};
