#include "report/TPReport.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "platform/graphics/FileBytes.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/locale/LocalClock.h"
#include "report/ReportErrors.h"
#include "report/TFileStream.h"
#include "report/TPROutline.h"
#include "report/TPRPage.h"

namespace {

// A name beside the target, so the final rename stays on one file system.
std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path tmp = target;
    tmp += ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    return tmp;
}

}  // namespace

TPReport::TPReport() : creationDate_(LocalClock::NowAsDateTime()) {}

TPReport::~TPReport() { freeDoc(); }

void TPReport::refuseWhileOpen(const char* operation) const {
    if (doc_ != nullptr)
        throw EPdfInvalidOperation(std::string(operation) + " --invalid operation.");
}

void TPReport::SetAuthor(std::string value) {
    refuseWhileOpen("SetAuthor");
    author_ = std::move(value);
}

void TPReport::SetCreationDate(double value) {
    refuseWhileOpen("SetCreationDate");
    creationDate_ = value;
}

void TPReport::SetCreator(std::string value) {
    refuseWhileOpen("SetCreator");
    creator_ = std::move(value);
}

void TPReport::SetKeywords(std::string value) {
    refuseWhileOpen("SetKeyWords");
    keywords_ = std::move(value);
}

void TPReport::SetModDate(double value) {
    refuseWhileOpen("SetModDate");
    modDate_ = value;
}

void TPReport::SetSubject(std::string value) {
    refuseWhileOpen("SetSubject");
    subject_ = std::move(value);
}

void TPReport::SetTitle(std::string value) {
    refuseWhileOpen("SetTitle");
    title_ = std::move(value);
}

void TPReport::SetPageLayout(TPdfPageLayout value) {
    refuseWhileOpen("SetPageLayout");
    pageLayout_ = value;
}

void TPReport::SetPageMode(TPdfPageMode value) {
    refuseWhileOpen("SetPageMode");
    pageMode_ = value;
}

void TPReport::SetNonFullScreenPageMode(TPdfPageMode value) {
    refuseWhileOpen("SetNonFullScreenPageMode");
    nonFullScreenPageMode_ = value == pmFullScreen ? pmUseNone : value;
}

void TPReport::SetUseOutlines(bool value) {
    refuseWhileOpen("SetUseOutlines");
    useOutlines_ = value;
}

void TPReport::SetViewerPreference(TPdfViewerPreferences value) {
    refuseWhileOpen("SetViewerPreference");
    viewerPreference_ = std::move(value);
}

void TPReport::freeDoc() {
    canvas_.SetPageCanvas(nullptr);
    outlineRoot_ = nullptr;
    doc_.reset();
}

void TPReport::OpenDoc() {
    freeDoc();
    auto doc = std::make_unique<TPdfDoc>();
    doc->SetUseOutlines(useOutlines_);
    doc->SetCompressionMethod(compressionMethod_);
    doc->StartDocument();
    TPROutlineRoot* outlineRoot =
        useOutlines_ ? &TPROutlineRoot::AttachTo(doc->GetOutlineRoot()) : nullptr;

    TPdfCatalog& root = doc->GetRoot();
    root.SetPageMode(pageMode_);
    root.SetPageLayout(pageLayout_);
    if (nonFullScreenPageMode_ != pmUseNone) root.SetNonFullScreenPageMode(nonFullScreenPageMode_);
    if (!viewerPreference_.empty()) root.SetViewerPreference(viewerPreference_);

    TPdfInfo& info = doc->GetInfo();
    info.SetAuthor(author_);
    info.SetCreationDate(creationDate_);
    info.SetCreator(creator_);
    info.SetKeywords(keywords_);
    info.SetModDate(modDate_);
    info.SetSubject(subject_);
    info.SetTitle(title_);

    doc_ = std::move(doc);
    outlineRoot_ = outlineRoot;
}

void TPReport::PrintPage(TPRPage& page) {
    if (doc_ == nullptr) throw EInvalidOperation("document is null..");
    doc_->AddPage();
    canvas_.SetPageCanvas(&doc_->GetCanvas());
    page.Print(canvas_);
}

void TPReport::CloseDoc() {
    if (doc_ == nullptr) throw EInvalidOperation("document is null..");
    const std::filesystem::path target(fileName_);
    const std::filesystem::path tmp = temporaryBeside(target);
    try {
        TFileStream stream(tmp, target);
        doc_->SaveToStream(stream);
        stream.Close();
        if (replaceExisting_) {
            std::error_code error;
            std::filesystem::rename(tmp, target, error);
            if (error)
                throw brevanto::graphics::EFCreateError("Cannot create file \"" +
                                                        std::filesystem::absolute(target).string() +
                                                        "\". " + error.message());
        } else if (!brevanto::graphics::renameNoReplace(tmp, target)) {
            throw brevanto::graphics::EFileExists("Cannot create file \"" +
                                                  std::filesystem::absolute(target).string() +
                                                  "\". " + std::strerror(EEXIST));
        }
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(tmp, ignored);
        throw;
    }
    freeDoc();
}

void TPReport::CancelDoc() { freeDoc(); }
