#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "pdf/PdfCanvasAttribute.h"

class TPdfDictionary;
class TPdfDoc;
class TPdfStream;

// Writes the content stream of the document's newest page and adds what it names (fonts,
// XObjects) to the page's resources. Owned by its document, which binds it to every new page;
// the canvas owns only its attribute object. Operator lines end in LF; numbers are written
// with FormatPdfNumber.
class TPdfCanvas {
  public:
    explicit TPdfCanvas(TPdfDoc& doc);
    ~TPdfCanvas();
    TPdfCanvas(const TPdfCanvas&) = delete;
    TPdfCanvas& operator=(const TPdfCanvas&) = delete;

    // Binds the page and its "Contents" stream and resets the text state, selecting "Arial"
    // 10. Called by TPdfDoc::AddPage.
    void SetPage(TPdfDictionary* page);
    // Forgets page and contents without touching them (the document is being discarded).
    void DetachPage();
    // The bound page; EPdfInvalidOperation "GetPage --the Page is nil" without one.
    TPdfDictionary& GetPage() const;
    TPdfDoc& GetDoc() const { return doc_; }
    TPdfStream* Contents() const { return contents_; }
    TPdfCanvasAttribute& Attribute() const { return *attribute_; }

    // The third (width) or fourth (height) number of the page's MediaBox.
    void SetPageWidth(std::int32_t width);
    void SetPageHeight(std::int32_t height);

    // Selects a font by registry name; writes nothing when font and size are already current.
    // A size outside 0 to 300 is refused before anything is written.
    void SetFont(const std::string& name, float size);
    // Paints the named XObject's unit square into the rectangle; EPdfInvalidValue
    // "DrawXObject --XObject not found: <name>" (nothing written) for an unknown name.
    void DrawXObject(float x, float y, float width, float height, const std::string& name);
    // The same, clipped to the second rectangle ("DrawXObjectEx --XObject not found: ...").
    void DrawXObjectEx(float x, float y, float width, float height, float clipX, float clipY,
                       float clipWidth, float clipHeight, const std::string& name);

    // Operator writers.
    void SaveState();
    void RestoreState();
    void Concat(float a, float b, float c, float d, float e, float f);
    void Rectangle(float x, float y, float width, float height);
    void Clip();
    void EndPath();
    // resourceName already starts with "/".
    void SelectFont(std::string_view resourceName, float size);
    // name without the slash.
    void PaintXObject(std::string_view name);
    // Appends the bytes to the contents; nothing without contents.
    void Emit(std::string_view text);

  private:
    TPdfStream& AddXObjectResource(const std::string& name, const char* operation);
    void SetMediaBoxNumber(int index, std::int32_t value);

    TPdfDoc& doc_;
    TPdfDictionary* page_ = nullptr;
    TPdfStream* contents_ = nullptr;
    std::unique_ptr<TPdfCanvasAttribute> attribute_;
};
