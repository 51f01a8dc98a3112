#include <gtest/gtest.h>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfTypes.h"
#include "support/PdfFileCheck.h"
#include "support/PdfTestDoc.h"

namespace {

class PdfCanvasTest : public testing::Test {
  protected:
    void SetUp() override {
        doc_.StartDocument();
        doc_.AddPage();
    }
    TPdfCanvas& Canvas() { return doc_.GetCanvas(); }
    std::string Contents() { return std::string(Canvas().Contents()->Data().View()); }
    TPdfDictionary& Resources(const char* kind) {
        return *Canvas().GetPage().DictionaryOf("Resources")->DictionaryOf(kind);
    }

    TPdfDoc doc_;
};

template <class Fn>
void ExpectFailure(Fn fn, const char* message) {
    try {
        fn();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const EPdfError& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

}  // namespace

TEST_F(PdfCanvasTest, ANewPageSelectsArialTen) {
    EXPECT_EQ(Contents(), "/F0 10 Tf\n");
    EXPECT_EQ(Written(Resources("Font")), "<<\r\n/F0 6 0 R\r\n>>");
    EXPECT_EQ(Canvas().Attribute().Font(), &doc_.GetFont("Arial"));
    EXPECT_EQ(Canvas().Attribute().FontSize(), 10);
    EXPECT_EQ(Canvas().Attribute().CharSpace(), 0);
    EXPECT_EQ(Canvas().Attribute().WordSpace(), 0);
    EXPECT_EQ(Canvas().Attribute().Leading(), 0);
    EXPECT_EQ(Canvas().Attribute().HorizontalScaling(), 100);
    TMemoryStream stream;
    Canvas().Contents()->WriteValue(stream);
    EXPECT_EQ(stream.View(),
              "<<\r\n/Length 10\r\n/Filter []\r\n>>\r\nstream\r\n/F0 10 Tf\n\nendstream");
}

TEST_F(PdfCanvasTest, SetFontWritesOnlyChanges) {
    Canvas().SetFont("Arial", 10);
    EXPECT_EQ(Contents(), "/F0 10 Tf\n");
    Canvas().SetFont("Arial", 12);
    EXPECT_EQ(Contents(), "/F0 10 Tf\n/F0 12 Tf\n");
    EXPECT_EQ(Resources("Font").ElementCount(), 1);
    Canvas().SetFont("Times-Roman", 12);
    Canvas().SetFont("Arial", 12.5f);
    EXPECT_EQ(Contents(), "/F0 10 Tf\n/F0 12 Tf\n/F1 12 Tf\n/F0 12.5 Tf\n");
    EXPECT_EQ(Written(Resources("Font")), "<<\r\n/F0 6 0 R\r\n/F1 7 0 R\r\n>>");
}

TEST_F(PdfCanvasTest, SetFontRefusesBadNamesAndSizesBeforeWriting) {
    ExpectFailure([&] { Canvas().SetFont("Wingdings", 10); }, "Class Wingdings not found");
    ExpectFailure([&] { Canvas().SetFont("Times-Bold", 301); }, "SetFontSize --invalid font size");
    EXPECT_THROW(Canvas().SetFont("Times-Bold", -1), EPdfInvalidValue);
    EXPECT_EQ(Contents(), "/F0 10 Tf\n");
    EXPECT_EQ(Resources("Font").ElementCount(), 1);
    EXPECT_EQ(Canvas().Attribute().FontSize(), 10);
}

TEST_F(PdfCanvasTest, SetFontAfterDiscardIsRefused) {
    TPdfCanvas& canvas = Canvas();
    doc_.DiscardDocument();
    ExpectFailure([&] { canvas.SetFont("Arial", 10); }, "GetFont --document is null.");
    ExpectFailure([&] { canvas.GetPage(); }, "GetPage --the Page is nil");
    ExpectFailure([&] { canvas.SetPageWidth(600); }, "GetPage --the Page is nil");
    EXPECT_EQ(canvas.Contents(), nullptr);
    canvas.SaveState();  // without contents nothing is written anywhere
}

TEST_F(PdfCanvasTest, DrawXObjectScalesTheUnitSquare) {
    doc_.AddImage("P1", MakeTestImage());
    Canvas().DrawXObject(32, 32, 532, 778.5f, "P1");
    EXPECT_EQ(Contents(), "/F0 10 Tf\nq\n532 0 0 778.5 32 32 cm\n/P1 Do\nQ\n");
    EXPECT_EQ(Written(Resources("XObject")), "<<\r\n/P1 7 0 R\r\n>>");
}

TEST_F(PdfCanvasTest, DrawXObjectExClipsFirst) {
    doc_.AddImage("P1", MakeTestImage());
    Canvas().DrawXObjectEx(32, -26, 600, 900, 32, 32, 532, 778, "P1");
    EXPECT_EQ(Contents(),
              "/F0 10 Tf\nq\n32 32 532 778 re\nW\nn\n600 0 0 900 32 -26 cm\n/P1 Do\nQ\n");
}

TEST_F(PdfCanvasTest, UnknownXObjectsWriteNothing) {
    ExpectFailure([&] { Canvas().DrawXObject(0, 0, 1, 1, "P9"); },
                  "DrawXObject --XObject not found: P9");
    ExpectFailure([&] { Canvas().DrawXObjectEx(0, 0, 1, 1, 0, 0, 1, 1, "P9"); },
                  "DrawXObjectEx --XObject not found: P9");
    EXPECT_EQ(Contents(), "/F0 10 Tf\n");
    EXPECT_EQ(Resources("XObject").ElementCount(), 0);
}

TEST_F(PdfCanvasTest, AnXObjectIsListedOncePerPageAndWrittenOnce) {
    FixedLocalClock clock(kTestTime);
    doc_.AddImage("P1", MakeTestImage());
    Canvas().DrawXObject(0, 0, 10, 10, "P1");
    Canvas().DrawXObject(5.25f, 0, 10, 10, "P1");
    EXPECT_EQ(Resources("XObject").ElementCount(), 1);
    EXPECT_EQ(Contents(),
              "/F0 10 Tf\nq\n10 0 0 10 0 0 cm\n/P1 Do\nQ\nq\n10 0 0 10 5.25 0 cm\n/P1 Do\nQ\n");
    doc_.AddPage();
    Canvas().DrawXObject(0, 0, 10, 10, "P1");
    EXPECT_EQ(Written(Resources("XObject")), "<<\r\n/P1 7 0 R\r\n>>");
    const std::string file = Saved(doc_);
    size_t images = 0;
    for (size_t at = file.find("/Subtype /Image"); at != std::string::npos;
         at = file.find("/Subtype /Image", at + 1))
        ++images;
    EXPECT_EQ(images, 1u);
    ExpectConsistentXref(file);
    TempFolder folder;
    ExpectAcceptedByTools(folder.Write("Drawn.pdf", file));
}

TEST_F(PdfCanvasTest, PageSizeChangesTheMediaBox) {
    Canvas().SetPageWidth(600);
    EXPECT_EQ(Written(*Canvas().GetPage().ValueOf("MediaBox")), "[0 0 600 842 ]");
    Canvas().SetPageHeight(400);
    EXPECT_EQ(Written(*Canvas().GetPage().ValueOf("MediaBox")), "[0 0 600 400 ]");
    doc_.AddPage();
    EXPECT_EQ(Written(*Canvas().GetPage().ValueOf("MediaBox")), "[0 0 596 842 ]");
}

TEST_F(PdfCanvasTest, OperatorsWriteRoundedOperands) {
    Canvas().SaveState();
    Canvas().Concat(1, 0, 0, 1, 0.005f, -0.125f);
    Canvas().Rectangle(1.234f, 2, 3.456f, 4);
    Canvas().Clip();
    Canvas().EndPath();
    Canvas().SelectFont("/F7", 9.5f);
    Canvas().PaintXObject("Img_1");
    Canvas().RestoreState();
    Canvas().Emit("% raw\n");
    EXPECT_EQ(Contents(),
              "/F0 10 Tf\nq\n1 0 0 1 0 -0.12 cm\n1.23 2 3.46 4 re\nW\nn\n/F7 9.5 Tf\n"
              "/Img_1 Do\nQ\n% raw\n");
}

TEST(PdfCanvasAttribute, RangesIncludeTheirBounds) {
    struct Case {
        const char* setter;
        float value;
        bool accepted;
    };
    const Case cases[] = {
        {"WordSpace", 0, true},
        {"WordSpace", 1000, true},
        {"WordSpace", -0.01f, false},
        {"CharSpace", -30, true},
        {"CharSpace", 300, true},
        {"CharSpace", -31, false},
        {"CharSpace", 300.5f, false},
        {"FontSize", 0, true},
        {"FontSize", 300, true},
        {"FontSize", -1, false},
        {"FontSize", 301, false},
        {"Leading", 0, true},
        {"Leading", 300, true},
        {"Leading", -1, false},
        {"Leading", 301, false},
        {"HorizontalScaling", 10, true},
        {"HorizontalScaling", 300, true},
        {"HorizontalScaling", 9, false},
        {"HorizontalScaling", 301, false},
    };
    for (const Case& c : cases) {
        TPdfCanvasAttribute a;
        const std::string setter = c.setter;
        auto set = [&] {
            if (setter == "WordSpace") a.SetWordSpace(c.value);
            if (setter == "CharSpace") a.SetCharSpace(c.value);
            if (setter == "FontSize") a.SetFontSize(c.value);
            if (setter == "Leading") a.SetLeading(c.value);
            if (setter == "HorizontalScaling")
                a.SetHorizontalScaling(static_cast<std::uint16_t>(c.value));
        };
        if (c.accepted)
            EXPECT_NO_THROW(set()) << setter << " " << c.value;
        else
            EXPECT_THROW(set(), EPdfInvalidValue) << setter << " " << c.value;
    }
}

TEST(PdfCanvasAttribute, RefusalsCarryTheirMessagesAndKeepTheValue) {
    TPdfCanvasAttribute a;
    ExpectFailure([&] { a.SetWordSpace(-1); }, "SetWordSpace --invalid word space");
    ExpectFailure([&] { a.SetCharSpace(-31); }, "SetCharSpace --invalid char space");
    ExpectFailure([&] { a.SetHorizontalScaling(9); }, "SetHorizontalScaling --invalid font size");
    ExpectFailure([&] { a.SetLeading(301); }, "SetLeading --invalid font size");
    ExpectFailure([&] { a.SetFontSize(std::numeric_limits<float>::quiet_NaN()); },
                  "SetFontSize --invalid font size");
    EXPECT_THROW(a.SetCharSpace(std::numeric_limits<float>::quiet_NaN()), EPdfInvalidValue);
    EXPECT_EQ(a.WordSpace(), 0);
    EXPECT_EQ(a.CharSpace(), 0);
    EXPECT_EQ(a.HorizontalScaling(), 100);
    EXPECT_EQ(a.Leading(), 0);
    EXPECT_EQ(a.FontSize(), 10);
}
