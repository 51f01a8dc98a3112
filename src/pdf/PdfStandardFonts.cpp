#include "pdf/PdfStandardFonts.h"

#include <mutex>

#include "pdf/ClassRegistry.h"
#include "pdf/PdfFontWidths.h"

TPdfFixedWidth::TPdfFixedWidth(TPdfObjectMgr& objectMgr, const std::string& name)
    : TPdfType1Font(objectMgr, name, "Courier", kCourierWidths) {}

TPdfFixedWidthBold::TPdfFixedWidthBold(TPdfObjectMgr& objectMgr, const std::string& name)
    : TPdfType1Font(objectMgr, name, "Courier-Bold", kCourierBoldWidths) {}

TPdfFixedWidthItalic::TPdfFixedWidthItalic(TPdfObjectMgr& objectMgr, const std::string& name)
    : TPdfType1Font(objectMgr, name, "Courier-Oblique", kCourierObliqueWidths) {}

TPdfFixedWidthBoldItalic::TPdfFixedWidthBoldItalic(TPdfObjectMgr& objectMgr,
                                                   const std::string& name)
    : TPdfType1Font(objectMgr, name, "Courier-BoldOblique", kCourierBoldObliqueWidths) {}

TPdfArial::TPdfArial(TPdfObjectMgr& objectMgr, const std::string& name)
    : TPdfType1Font(objectMgr, name, "Helvetica", kHelveticaWidths) {}

TPdfArialBold::TPdfArialBold(TPdfObjectMgr& objectMgr, const std::string& name)
    : TPdfType1Font(objectMgr, name, "Helvetica-Bold", kHelveticaBoldWidths) {}

TPdfArialItalic::TPdfArialItalic(TPdfObjectMgr& objectMgr, const std::string& name)
    : TPdfType1Font(objectMgr, name, "Helvetica-Oblique", kHelveticaObliqueWidths) {}

TPdfArialBoldItalic::TPdfArialBoldItalic(TPdfObjectMgr& objectMgr, const std::string& name)
    : TPdfType1Font(objectMgr, name, "Helvetica-BoldOblique", kHelveticaBoldObliqueWidths) {}

TPdfTimesRoman::TPdfTimesRoman(TPdfObjectMgr& objectMgr, const std::string& name)
    : TPdfType1Font(objectMgr, name, "Times-Roman", kTimesRomanWidths) {}

TPdfTimesBold::TPdfTimesBold(TPdfObjectMgr& objectMgr, const std::string& name)
    : TPdfType1Font(objectMgr, name, "Times-Bold", kTimesBoldWidths) {}

TPdfTimesItalic::TPdfTimesItalic(TPdfObjectMgr& objectMgr, const std::string& name)
    : TPdfType1Font(objectMgr, name, "Times-Italic", kTimesItalicWidths) {}

TPdfTimesBoldItalic::TPdfTimesBoldItalic(TPdfObjectMgr& objectMgr, const std::string& name)
    : TPdfType1Font(objectMgr, name, "Times-BoldItalic", kTimesBoldItalicWidths) {}

void RegisterStandardFonts() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        RegisterNamedClass(TPdfFontClass::Of<TPdfFixedWidth>(), "FixedWidth");
        RegisterNamedClass(TPdfFontClass::Of<TPdfFixedWidthBold>(), "FixedWidth-Bold");
        RegisterNamedClass(TPdfFontClass::Of<TPdfFixedWidthItalic>(), "FixedWidth-Italic");
        RegisterNamedClass(TPdfFontClass::Of<TPdfFixedWidthBoldItalic>(), "FixedWidth-BoldItalic");
        RegisterNamedClass(TPdfFontClass::Of<TPdfArial>(), "Arial");
        RegisterNamedClass(TPdfFontClass::Of<TPdfArialBold>(), "Arial-Bold");
        RegisterNamedClass(TPdfFontClass::Of<TPdfArialItalic>(), "Arial-Italic");
        RegisterNamedClass(TPdfFontClass::Of<TPdfArialBoldItalic>(), "Arial-BoldItalic");
        RegisterNamedClass(TPdfFontClass::Of<TPdfTimesRoman>(), "Times-Roman");
        RegisterNamedClass(TPdfFontClass::Of<TPdfTimesBold>(), "Times-Bold");
        RegisterNamedClass(TPdfFontClass::Of<TPdfTimesItalic>(), "Times-Italic");
        RegisterNamedClass(TPdfFontClass::Of<TPdfTimesBoldItalic>(), "Times-BoldItalic");
    });
}
