#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TmySQLQuery;
class TPReport;
struct TProgramPageLayout;

// The two-letter code stored for the document type at that position of the type list
// ("Contrato" is "CO", ...); empty outside the list.
std::string DocumentTypeCode(int index);

// The case number a document can be filed under: an integer that fits the register's 32-bit
// column; nothing otherwise.
std::optional<std::int32_t> FilingCaseNumber(std::string_view text);

// What one "Salvar PDF" files.
struct TFilingRequest {
    std::int32_t CaseNumber = 0;
    // The listed pages' BMP paths in list order; each page's JPEG lies beside its BMP.
    std::vector<std::string> Pages;
    // Pages deleted from the list: not in the document, but their JPEGs go with the others.
    std::vector<std::string> DroppedPages;
    // The PDF folder as stored (dirpdf).
    std::string Folder;
    std::string TypeCode;
};

// Files one document: prints every page with the program's page layout into a new PDF named
// after the current time in the folder, records it against the case (through the scratch query
// qryEu), and only then removes the pages' JPEG files. A name that is taken is never replaced:
// the next of name-2, name-3, ... is used.
//
// On any failure the error passes on and nothing is lost: no PDF of this attempt stays in the
// folder, no row is recorded, and every page file is where it was, so the same request can
// simply be filed again. Borrows the report, the layout and the query.
class TDocumentFiler {
  public:
    TDocumentFiler(TPReport& report, TProgramPageLayout& layout, TmySQLQuery& qryEu);

    // The path of the filed PDF.
    std::string File(const TFilingRequest& request);

  private:
    std::string writeDocument(const TFilingRequest& request);
    void record(const TFilingRequest& request, const std::string& pdfPath);

    TPReport& report_;
    TProgramPageLayout& layout_;
    TmySQLQuery& qryEu_;
};
