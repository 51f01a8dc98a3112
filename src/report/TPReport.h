#pragma once

#include <memory>
#include <string>

#include "pdf/AbstractPReport.h"
#include "pdf/PdfViewerSettings.h"
#include "report/TPRCanvas.h"

class TPdfDoc;
class TPRPage;
class TPROutlineRoot;

// Runs one PDF print run at a time: OpenDoc makes an empty document in memory, PrintPage adds a
// page and lets a page layout draw on it, CloseDoc writes the file named by FileName, CancelDoc
// throws the document away. Nothing reaches the disk before CloseDoc, and CloseDoc replaces the
// file only once the whole document is written.
//
// Owns the print canvas and the open document. Document settings are frozen while a document is
// open: their setters then refuse with EPdfInvalidOperation.
class TPReport : public TAbstractPReport {
  public:
    TPReport();
    ~TPReport() override;
    TPReport(const TPReport&) = delete;
    TPReport& operator=(const TPReport&) = delete;

    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }
    const std::string& Author() const { return author_; }
    void SetAuthor(std::string value);
    // Date-times: days since 1899-12-30, the fraction being the time of day.
    double CreationDate() const { return creationDate_; }
    void SetCreationDate(double value);
    const std::string& Creator() const { return creator_; }
    void SetCreator(std::string value);
    const std::string& Keywords() const { return keywords_; }
    void SetKeywords(std::string value);
    double ModDate() const { return modDate_; }
    void SetModDate(double value);
    const std::string& Subject() const { return subject_; }
    void SetSubject(std::string value);
    const std::string& Title() const { return title_; }
    void SetTitle(std::string value);
    TPdfPageLayout PageLayout() const { return pageLayout_; }
    void SetPageLayout(TPdfPageLayout value);
    TPdfPageMode PageMode() const { return pageMode_; }
    void SetPageMode(TPdfPageMode value);
    // pmFullScreen is kept as pmUseNone.
    TPdfPageMode NonFullScreenPageMode() const { return nonFullScreenPageMode_; }
    void SetNonFullScreenPageMode(TPdfPageMode value);
    TPdfCompressionMethod CompressionMethod() const { return compressionMethod_; }
    void SetCompressionMethod(TPdfCompressionMethod value) { compressionMethod_ = value; }
    bool UseOutlines() const { return useOutlines_; }
    void SetUseOutlines(bool value);
    const TPdfViewerPreferences& ViewerPreference() const { return viewerPreference_; }
    void SetViewerPreference(TPdfViewerPreferences value);
    // When false, CloseDoc never replaces a file: a name that is taken, even by a file created
    // while the document was being written, fails with EFileExists and the document stays
    // open for another name.
    bool ReplaceExisting() const { return replaceExisting_; }
    void SetReplaceExisting(bool value) { replaceExisting_ = value; }

    void OpenDoc();
    // Adds a page and prints the layout on it. EInvalidOperation without an open document.
    void PrintPage(TPRPage& page);
    // EInvalidOperation "document is null.." without an open document. When the file cannot
    // be written the error passes on, nothing is left on the disk and the document stays open.
    void CloseDoc();
    void CancelDoc();

    bool HasDocument() const { return doc_ != nullptr; }
    TPRCanvas& Canvas() { return canvas_; }
    // The open document; null between runs.
    TPdfDoc* Doc() const { return doc_.get(); }
    TPROutlineRoot* OutlineRoot() const { return outlineRoot_; }

  private:
    void refuseWhileOpen(const char* operation) const;
    void freeDoc();

    std::string fileName_ = "default.pdf";
    std::string author_;
    double creationDate_;
    std::string creator_;
    std::string keywords_;
    double modDate_ = 0;
    std::string subject_;
    std::string title_;
    TPdfPageLayout pageLayout_ = plSinglePage;
    TPdfPageMode pageMode_ = pmUseNone;
    TPdfPageMode nonFullScreenPageMode_ = pmUseNone;
    TPdfCompressionMethod compressionMethod_ = cmNone;
    bool useOutlines_ = false;
    bool replaceExisting_ = true;
    TPdfViewerPreferences viewerPreference_;

    TPRCanvas canvas_;
    std::unique_ptr<TPdfDoc> doc_;
    TPROutlineRoot* outlineRoot_ = nullptr;  // owned by the document's outline root
};
