#include "report/TPReport.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "platform/graphics/FileBytes.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/TemporaryFile.h"
#include "platform/locale/LocalClock.h"
#include "report/ReportErrors.h"
#include "report/TFileStream.h"
#include "report/TPROutline.h"
#include "report/TPRPage.h"

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
    const std::string shown = std::filesystem::absolute(target).string();
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    {
        // Beside the target, so the final rename stays on one file system.
        brevanto::graphics::TemporaryFile tmp(folder.string(), "pdf", shown);
        TFileStream stream(tmp.duplicate(shown), shown);
        doc_->SaveToStream(stream);
        stream.Close();
        if (replaceExisting_) {
            tmp.replace(target.string());
        } else if (!tmp.moveTo(target.string())) {
            throw brevanto::graphics::EFileExists("Cannot create file \"" + shown + "\". " +
                                                  std::strerror(EEXIST));
        }
        tmp.keep();
    }
    // The new name must survive a power loss as the database row that records it does.
    brevanto::graphics::syncFolderOf(target.string());
    freeDoc();
}

void TPReport::CancelDoc() { freeDoc(); }
