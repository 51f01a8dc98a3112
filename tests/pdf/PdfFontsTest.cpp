#include <gtest/gtest.h>

#include "pdf/PdfDoc.h"
#include "pdf/PdfFonts.h"
#include "pdf/PdfTypes.h"
#include "support/PdfFileCheck.h"
#include "support/PdfTestDoc.h"

namespace {

const char* const kFonts[] = {"Arial",      "Arial-Bold",   "Times-Roman",
                              "Times-Bold", "Times-Italic", "Times-BoldItalic"};

// Widths of the telling codes: Helvetica, Helvetica-Bold, the four Times, then Courier.
struct WidthRow {
    int code;
    int widths[7];
};

const WidthRow kRows[] = {
    {32, {278, 278, 250, 250, 250, 250, 600}},
    {39, {191, 238, 180, 278, 214, 278, 600}},
    {65, {667, 722, 722, 722, 611, 667, 600}},
    {87, {944, 944, 944, 1000, 833, 889, 600}},
    {105, {222, 278, 278, 278, 278, 278, 600}},
    {109, {833, 889, 778, 833, 722, 778, 600}},
    {128, {556, 556, 500, 500, 500, 500, 600}},
    {149, {350, 350, 350, 350, 350, 350, 600}},
    {160, {0, 0, 0, 0, 0, 0, 600}},
    {173, {0, 0, 0, 0, 0, 0, 600}},
    {198, {1000, 1000, 889, 1000, 889, 944, 600}},
    {255, {500, 556, 500, 500, 444, 444, 600}},
};

int WidthOf(TPdfFont& font, int code) {
    const std::string text(1, static_cast<char>(code));
    return font.CharWidth(text, 1);
}

class PdfFontsTest : public testing::Test {
  protected:
    void SetUp() override { doc_.StartDocument(); }
    TPdfDoc doc_;
};

}  // namespace

TEST_F(PdfFontsTest, TellingRowsOfTheWidthTables) {
    for (const WidthRow& row : kRows) {
        for (int f = 0; f < 6; ++f)
            EXPECT_EQ(WidthOf(doc_.GetFont(kFonts[f]), row.code), row.widths[f])
                << kFonts[f] << " code " << row.code;
        for (const char* courier :
             {"FixedWidth", "FixedWidth-Bold", "FixedWidth-Italic", "FixedWidth-BoldItalic"})
            EXPECT_EQ(WidthOf(doc_.GetFont(courier), row.code), 600) << courier;
    }
}

TEST_F(PdfFontsTest, CharWidthMeasuresTheCharacterAtAPosition) {
    EXPECT_EQ(doc_.GetFont("Arial").CharWidth("A", 1), 667);
    EXPECT_EQ(doc_.GetFont("Times-Roman").CharWidth("A", 1), 722);
    EXPECT_EQ(doc_.GetFont("FixedWidth").CharWidth("A", 1), 600);
    EXPECT_EQ(doc_.GetFont("Arial").CharWidth("WAi", 3), 222);
    // Outside the text there is no character to measure.
    EXPECT_EQ(doc_.GetFont("Arial").CharWidth("A", 0), 0);
    EXPECT_EQ(doc_.GetFont("Arial").CharWidth("A", 2), 0);
    EXPECT_EQ(doc_.GetFont("Arial").CharWidth("", 1), 0);
}

TEST_F(PdfFontsTest, CodesWithoutCharacterMeasureZero) {
    for (const char* name : {"Arial", "Arial-BoldItalic", "Times-Roman", "Times-BoldItalic"}) {
        TPdfFont& font = doc_.GetFont(name);
        for (int code = 0; code < 32; ++code) EXPECT_EQ(WidthOf(font, code), 0) << name << code;
        for (int code : {127, 129, 141, 143, 144, 157, 160, 173})
            EXPECT_EQ(WidthOf(font, code), 0) << name << " code " << code;
    }
    for (int code = 0; code < 32; ++code) EXPECT_EQ(WidthOf(doc_.GetFont("FixedWidth"), code), 0);
    for (int code = 32; code < 256; ++code)
        EXPECT_EQ(WidthOf(doc_.GetFont("FixedWidth-Bold"), code), 600);
}

TEST_F(PdfFontsTest, ObliquesMeasureLikeTheirUprights) {
    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(WidthOf(doc_.GetFont("Arial-Italic"), code),
                  WidthOf(doc_.GetFont("Arial"), code));
        EXPECT_EQ(WidthOf(doc_.GetFont("Arial-BoldItalic"), code),
                  WidthOf(doc_.GetFont("Arial-Bold"), code));
    }
}

TEST_F(PdfFontsTest, EachNameBuildsItsBaseFont) {
    const std::pair<const char*, const char*> cases[] = {
        {"FixedWidth", "Courier"},
        {"FixedWidth-Bold", "Courier-Bold"},
        {"FixedWidth-Italic", "Courier-Oblique"},
        {"FixedWidth-BoldItalic", "Courier-BoldOblique"},
        {"Arial", "Helvetica"},
        {"Arial-Bold", "Helvetica-Bold"},
        {"Arial-Italic", "Helvetica-Oblique"},
        {"Arial-BoldItalic", "Helvetica-BoldOblique"},
        {"Times-Roman", "Times-Roman"},
        {"Times-Bold", "Times-Bold"},
        {"Times-Italic", "Times-Italic"},
        {"Times-BoldItalic", "Times-BoldItalic"},
    };
    for (const auto& [name, baseFont] : cases) {
        TPdfFont& font = doc_.GetFont(name);
        EXPECT_NE(dynamic_cast<TPdfType1Font*>(&font), nullptr);
        EXPECT_EQ(font.Dictionary()->NameOf("BaseFont")->Value(), baseFont) << name;
        EXPECT_EQ(font.Dictionary()->Kind(), okIndirect);
    }
}

TEST_F(PdfFontsTest, TheDictionaryHoldsNoWidthsInTheFile) {
    TPdfFont& arial = doc_.GetFont("Arial");
    TMemoryStream stream;
    arial.Dictionary()->WriteValue(stream);
    EXPECT_EQ(stream.View(),
              "<<\r\n/Type /Font\r\n/Subtype /Type1\r\n/Encoding /WinAnsiEncoding\r\n"
              "/FirstChar 32\r\n/LastChar 255\r\n/BaseFont /Helvetica\r\n/Name /F0\r\n>>");
    ASSERT_NE(arial.Dictionary()->ArrayOf("Widths"), nullptr);
    EXPECT_EQ(arial.Dictionary()->ArrayOf("Widths")->Count(), 224);
    auto* type1 = dynamic_cast<TPdfType1Font*>(&arial);
    ASSERT_NE(type1, nullptr);
    EXPECT_EQ(type1->FirstChar(), 32);
    EXPECT_EQ(type1->LastChar(), 255);
}

TEST_F(PdfFontsTest, BindingReadsMissingWidthAndWidths) {
    TPdfType1Font& font = dynamic_cast<TPdfType1Font&>(doc_.GetFont("Times-Roman"));
    TPdfDictionary custom(nullptr);
    custom.Put("MissingWidth", std::make_unique<TPdfNumber>(333));
    custom.Put("FirstChar", std::make_unique<TPdfNumber>(65));
    custom.Put("Widths", TPdfArray::CreateFromNumbers(nullptr, {500, 510}));
    font.SetDictionary(&custom);
    EXPECT_EQ(font.CharWidth("A", 1), 500);
    EXPECT_EQ(font.CharWidth("B", 1), 510);
    EXPECT_EQ(font.CharWidth("C", 1), 333);
    EXPECT_EQ(font.CharWidth(" ", 1), 333);
}

TEST_F(PdfFontsTest, EveryPageSharesOneHelveticaDictionary) {
    FixedLocalClock clock(kTestTime);
    for (int i = 0; i < 3; ++i) doc_.AddPage();
    EXPECT_EQ(doc_.FontCount(), 1);
    const std::string file = Saved(doc_);
    size_t helveticas = 0;
    for (size_t at = file.find("/BaseFont /Helvetica"); at != std::string::npos;
         at = file.find("/BaseFont /Helvetica", at + 1))
        ++helveticas;
    EXPECT_EQ(helveticas, 1u);
    for (int page : {4, 7, 9})
        EXPECT_NE(IndirectBlock(file, page).find("/F0 6 0 R"), std::string::npos) << page;
    ExpectConsistentXref(file);
    TempFolder folder;
    ExpectAcceptedByTools(folder.Write("ThreePages.pdf", file));
}
