#pragma once

#include <string>

#include "pdf/PdfType1Font.h"

// The twelve standard fonts, each a TPdfType1Font with its BaseFont and width table,
// created by the document through the class registry under the names in the comments.

// "FixedWidth": Courier.
class TPdfFixedWidth final : public TPdfType1Font {
  public:
    TPdfFixedWidth(TPdfObjectMgr& objectMgr, const std::string& name);
};

// "FixedWidth-Bold": Courier-Bold.
class TPdfFixedWidthBold final : public TPdfType1Font {
  public:
    TPdfFixedWidthBold(TPdfObjectMgr& objectMgr, const std::string& name);
};

// "FixedWidth-Italic": Courier-Oblique.
class TPdfFixedWidthItalic final : public TPdfType1Font {
  public:
    TPdfFixedWidthItalic(TPdfObjectMgr& objectMgr, const std::string& name);
};

// "FixedWidth-BoldItalic": Courier-BoldOblique.
class TPdfFixedWidthBoldItalic final : public TPdfType1Font {
  public:
    TPdfFixedWidthBoldItalic(TPdfObjectMgr& objectMgr, const std::string& name);
};

// "Arial": Helvetica.
class TPdfArial final : public TPdfType1Font {
  public:
    TPdfArial(TPdfObjectMgr& objectMgr, const std::string& name);
};

// "Arial-Bold": Helvetica-Bold.
class TPdfArialBold final : public TPdfType1Font {
  public:
    TPdfArialBold(TPdfObjectMgr& objectMgr, const std::string& name);
};

// "Arial-Italic": Helvetica-Oblique.
class TPdfArialItalic final : public TPdfType1Font {
  public:
    TPdfArialItalic(TPdfObjectMgr& objectMgr, const std::string& name);
};

// "Arial-BoldItalic": Helvetica-BoldOblique.
class TPdfArialBoldItalic final : public TPdfType1Font {
  public:
    TPdfArialBoldItalic(TPdfObjectMgr& objectMgr, const std::string& name);
};

// "Times-Roman": Times-Roman.
class TPdfTimesRoman final : public TPdfType1Font {
  public:
    TPdfTimesRoman(TPdfObjectMgr& objectMgr, const std::string& name);
};

// "Times-Bold": Times-Bold.
class TPdfTimesBold final : public TPdfType1Font {
  public:
    TPdfTimesBold(TPdfObjectMgr& objectMgr, const std::string& name);
};

// "Times-Italic": Times-Italic.
class TPdfTimesItalic final : public TPdfType1Font {
  public:
    TPdfTimesItalic(TPdfObjectMgr& objectMgr, const std::string& name);
};

// "Times-BoldItalic": Times-BoldItalic.
class TPdfTimesBoldItalic final : public TPdfType1Font {
  public:
    TPdfTimesBoldItalic(TPdfObjectMgr& objectMgr, const std::string& name);
};

// Registers the twelve fonts under their names. Called at program start (and by every
// TPdfDoc, so a document always finds them); running it again changes nothing.
void RegisterStandardFonts();
