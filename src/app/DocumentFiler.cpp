#include "app/DocumentFiler.h"

#include <array>
#include <filesystem>
#include <limits>
#include <system_error>

#include "app/FileStamps.h"
#include "app/PageFiles.h"
#include "db/TmySQLQuery.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/locale/LocalClock.h"
#include "register/CaseNumber.h"
#include "register/FiledDocuments.h"
#include "register/Statements.h"
#include "report/ProgramPageLayout.h"
#include "report/TPReport.h"

namespace {

constexpr std::array<const char*, 8> kTypeCodes = {"CO", "BO", "PR", "CT", "RG", "CE", "DU", "OU"};

void removeQuietly(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

}  // namespace

std::string DocumentTypeCode(int index) {
    if (index < 0 || index >= static_cast<int>(kTypeCodes.size())) return {};
    return kTypeCodes[static_cast<std::size_t>(index)];
}

std::optional<std::int32_t> FilingCaseNumber(std::string_view text) {
    const auto value = ParseCaseNumber(text);
    if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

TDocumentFiler::TDocumentFiler(TPReport& report, TProgramPageLayout& layout, TmySQLQuery& qryEu)
    : report_(report), layout_(layout), qryEu_(qryEu) {}

std::string TDocumentFiler::File(const TFilingRequest& request) {
    const std::string pdfPath = writeDocument(request);
    try {
        record(request, pdfPath);
    } catch (...) {
        // A file without its row would be filed nowhere; the save can be repeated instead.
        removeQuietly(pdfPath);
        throw;
    }
    for (const auto* pages : {&request.Pages, &request.DroppedPages})
        for (const std::string& bmp : *pages) removeQuietly(PageJpegPath(bmp));
    return pdfPath;
}

std::string TDocumentFiler::writeDocument(const TFilingRequest& request) {
    const std::string base = request.Folder + "//" + DocumentFileStamp(LocalClock::Now());
    int n = 1;
    report_.SetReplaceExisting(false);
    report_.SetFileName(NumberedFileName(base, n, ".pdf"));
    report_.OpenDoc();
    try {
        for (const std::string& bmp : request.Pages) {
            layout_.PRJpegImage1.SetSharedImage(false);
            layout_.PRJpegImage1.Picture().loadFromFile(PageJpegPath(bmp));
            report_.PrintPage(layout_.pagina);
        }
        for (;;) {
            try {
                report_.CloseDoc();
                return report_.FileName();
            } catch (const brevanto::graphics::EFileExists&) {
                report_.SetFileName(NumberedFileName(base, ++n, ".pdf"));
            }
        }
    } catch (...) {
        report_.CancelDoc();
        throw;
    }
}

void TDocumentFiler::record(const TFilingRequest& request, const std::string& pdfPath) {
    ExecuteStatement(qryEu_,
                     Statements(qryEu_.Database())
                         .InsertFiledDocument(request.CaseNumber, pdfPath, request.TypeCode));
}
