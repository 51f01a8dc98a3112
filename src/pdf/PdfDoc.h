#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfCatalog.h"
#include "pdf/PdfFont.h"
#include "pdf/PdfHeader.h"
#include "pdf/PdfInfo.h"
#include "pdf/PdfOutlineRoot.h"
#include "pdf/PdfTrailer.h"
#include "pdf/PdfViewerSettings.h"
#include "pdf/PdfXref.h"

class TPdfArray;
class TPdfStream;
class TStream;

// One PDF document under construction: the skeleton (catalog 1, information 2, pages node 3;
// with outlines the outline root is 2 and the rest one higher), its pages, fonts and named
// XObjects, and the one-pass file output. Owns the cross-reference table (and through it every
// indirect object), header, trailer, fonts, wrappers, the XObject list and the canvas.
class TPdfDoc {
  public:
    // No document yet; the canvas exists; default page 596 x 842. Makes sure the standard
    // fonts are registered.
    TPdfDoc();
    ~TPdfDoc();
    TPdfDoc(const TPdfDoc&) = delete;
    TPdfDoc& operator=(const TPdfDoc&) = delete;

    // Discards any current document and builds a new empty one.
    void StartDocument();
    // Appends a page to the pages node and binds the canvas to it.
    void AddPage();
    // Header, every object in number order, cross-reference table, trailer; from position 0.
    void SaveToStream(TStream& stream);
    // Frees the current document, if any; the canvas forgets its page.
    void DiscardDocument();

    bool HasDocument() const { return hasDocument_; }
    TPdfCanvas& GetCanvas() const;
    TPdfCatalog& GetRoot() const;
    TPdfInfo& GetInfo();
    TPdfOutlineRoot& GetOutlineRoot() const;
    TPdfDictionary* CurrentPages() const { return currentPages_; }
    // The document's object manager; nothing without a document.
    TPdfXref* Xref() const { return xref_.get(); }
    TPdfTrailer* Trailer() const { return trailer_.get(); }

    // The font created under exactly this name (case-sensitive), created on first use.
    TPdfFont& GetFont(const std::string& name);
    // A new font of the class registered under the name, with resource name F<n>.
    TPdfFont& CreateFont(const std::string& name);
    int FontCount() const { return static_cast<int>(fonts_.size()); }

    // Registers an image XObject (the document takes it over) and names it; answers it.
    TPdfStream& AddImage(const std::string& name, std::unique_ptr<TPdfStream> image);
    // Names a registered XObject and lists it, unless it already has a "Name".
    void RegisterXObject(TPdfStream* object, const std::string& name);
    // The same for an unregistered one, which the document takes over and registers.
    void RegisterXObject(std::unique_ptr<TPdfStream> object, const std::string& name);
    // The listed XObject whose "Name" is exactly the name, or nothing.
    TPdfStream* XObjectByName(std::string_view name) const;

    std::uint16_t DefaultPageWidth() const { return defaultPageWidth_; }
    void SetDefaultPageWidth(std::uint16_t width) { defaultPageWidth_ = width; }
    std::uint16_t DefaultPageHeight() const { return defaultPageHeight_; }
    void SetDefaultPageHeight(std::uint16_t height) { defaultPageHeight_ = height; }
    // Stored only: nothing is compressed.
    TPdfCompressionMethod CompressionMethod() const { return compressionMethod_; }
    void SetCompressionMethod(TPdfCompressionMethod method) { compressionMethod_ = method; }
    // Read by StartDocument and SaveToStream: set it before StartDocument.
    bool UseOutlines() const { return useOutlines_; }
    void SetUseOutlines(bool use) { useOutlines_ = use; }

  private:
    void CreateInfo();
    void RegisterListedXObject(TPdfStream& object, const std::string& name);

    bool hasDocument_ = false;
    TPdfCatalog* root_ = nullptr;
    TPdfInfo* info_ = nullptr;
    TPdfOutlineRoot* outlineRoot_ = nullptr;
    TPdfDictionary* currentPages_ = nullptr;
    std::unique_ptr<TPdfCanvas> canvas_;
    std::unique_ptr<TPdfHeader> header_;
    std::unique_ptr<TPdfTrailer> trailer_;
    std::unique_ptr<TPdfXref> xref_;
    std::vector<std::unique_ptr<TPdfFont>> fonts_;
    std::vector<std::unique_ptr<TPdfDictionaryWrapper>> wrappers_;
    std::unique_ptr<TPdfArray> xObjects_;
    std::uint16_t defaultPageWidth_ = 596;
    std::uint16_t defaultPageHeight_ = 842;
    TPdfCompressionMethod compressionMethod_ = cmNone;
    bool useOutlines_ = false;
};
