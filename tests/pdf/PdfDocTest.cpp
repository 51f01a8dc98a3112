#include <gtest/gtest.h>

#include "pdf/PdfDoc.h"
#include "pdf/PdfTypes.h"
#include "platform/locale/AnsiCodePage.h"
#include "support/PdfFileCheck.h"
#include "support/PdfTestDoc.h"

namespace {

std::string Expected(const char* name) {
    return ReadFile(std::filesystem::path(PDF_EXPECTED_DIR) / name);
}

template <class Fn>
void ExpectFailure(Fn fn, const char* message) {
    try {
        fn();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const EPdfError& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

// Keys of a dictionary in written order.
std::vector<std::string> Keys(const TPdfDictionary& d) {
    std::vector<std::string> keys;
    for (int i = 0; i < d.ElementCount(); ++i) keys.push_back(d.Element(i).KeyText());
    return keys;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(PdfDoc, OneEmptyPageEqualsTheExpectedFile) {
    FixedLocalClock clock(kTestTime);
    TPdfDoc doc;
    doc.StartDocument();
    doc.AddPage();
    const std::string file = Saved(doc);
    EXPECT_EQ(file, Expected("OnePage.pdf"));
    ExpectConsistentXref(file);
    TempFolder folder;
    ExpectAcceptedByTools(folder.Write("OnePage.pdf", file));
}

TEST(PdfDoc, OneEmptyPageWithOutlinesEqualsTheExpectedFile) {
    FixedLocalClock clock(kTestTime);
    TPdfDoc doc;
    doc.SetUseOutlines(true);
    doc.StartDocument();
    doc.AddPage();
    const std::string file = Saved(doc);
    EXPECT_EQ(file, Expected("OnePageOutlines.pdf"));
    EXPECT_EQ(IndirectBlock(file, 2),
              "2 0 obj\r\n<<\r\n/Type /Outlines\r\n/Count 0\r\n>>\r\nendobj\r\n");
    EXPECT_EQ(
        IndirectBlock(file, 1),
        "1 0 obj\r\n<<\r\n/Type /Catalog\r\n/Outlines 2 0 R\r\n/Pages 4 0 R\r\n>>\r\nendobj\r\n");
    ExpectConsistentXref(file);
    TempFolder folder;
    ExpectAcceptedByTools(folder.Write("OnePageOutlines.pdf", file));
}

TEST(PdfDoc, ThePrintedLayoutNumbersPagesAndPicturesInTurn) {
    FixedLocalClock clock(kTestTime);
    TPdfDoc doc;
    doc.StartDocument();
    for (int page = 1; page <= 2; ++page) {
        doc.AddPage();
        const std::string name = "P" + std::to_string(page);
        TPdfStream& image = doc.AddImage(name, MakeTestImage());
        doc.GetCanvas().DrawXObject(32, 32, 532, 778.5f, name);
        EXPECT_EQ(image.ObjectNumber(), page == 1 ? 7 : 10);
    }
    const std::string file = Saved(doc);
    EXPECT_NE(file.find("\r\n/Size 11\r\n"), std::string::npos);
    EXPECT_NE(IndirectBlock(file, 8).find("/Type /Page\r\n"), std::string::npos);
    EXPECT_NE(IndirectBlock(file, 8).find("/F0 6 0 R"), std::string::npos);
    EXPECT_NE(IndirectBlock(file, 8).find("/P2 10 0 R"), std::string::npos);
    EXPECT_NE(IndirectBlock(file, 10).find("/Name /P2\r\n"), std::string::npos);
    EXPECT_NE(IndirectBlock(file, 3).find("/Kids [4 0 R 8 0 R ]\r\n/Count 2\r\n"),
              std::string::npos);
    ExpectConsistentXref(file);
    TempFolder folder;
    ExpectAcceptedByTools(folder.Write("TwoPages.pdf", file));
}

TEST(PdfDoc, TheSkeletonHasCatalogInformationAndPages) {
    FixedLocalClock clock(kTestTime);
    TPdfDoc doc;
    EXPECT_FALSE(doc.HasDocument());
    doc.StartDocument();
    EXPECT_TRUE(doc.HasDocument());
    EXPECT_EQ(doc.GetRoot().Dictionary()->ObjectNumber(), 1);
    EXPECT_EQ(doc.GetInfo().Dictionary()->ObjectNumber(), 2);
    EXPECT_EQ(doc.CurrentPages()->ObjectNumber(), 3);
    EXPECT_EQ(Keys(*doc.GetRoot().Dictionary()), (Strings{"Type", "Pages"}));
    EXPECT_EQ(Keys(*doc.GetInfo().Dictionary()), (Strings{"Producer", "CreationDate"}));
    EXPECT_EQ(Keys(*doc.CurrentPages()), (Strings{"Type", "Kids", "Count"}));
    EXPECT_EQ(Keys(doc.Trailer()->Dictionary()), (Strings{"Size", "Root", "Info"}));
}

TEST(PdfDoc, SavingStampsTheModificationDateLast) {
    TPdfDoc doc;
    {
        FixedLocalClock clock(kTestTime);
        doc.StartDocument();
        doc.AddPage();
        doc.GetInfo().SetTitle("Contrato");
        Saved(doc);
    }
    EXPECT_EQ(Keys(*doc.GetInfo().Dictionary()),
              (Strings{"Producer", "CreationDate", "Title", "ModDate"}));
    FixedLocalClock later({2027, 1, 2, 3, 4, 5, 0});
    const std::string second = Saved(doc);
    EXPECT_NE(second.find("/CreationDate (D:20261211090507)\r\n/Title (Contrato)\r\n"
                          "/ModDate (D:20270102030405)\r\n"),
              std::string::npos);
    ExpectConsistentXref(second);
}

TEST(PdfDoc, InformationSettersReplaceAndMoveTheirEntry) {
    FixedLocalClock clock(kTestTime);
    TPdfDoc doc;
    doc.StartDocument();
    TPdfInfo& info = doc.GetInfo();
    info.SetAuthor("Dra. Ana");
    info.SetCreator("Brevanto");
    info.SetKeywords("k");
    info.SetSubject("s");
    info.SetTitle("t");
    info.SetAuthor("Dr. Jo\xE3o (OAB)");
    info.SetCreationDate(0);
    EXPECT_EQ(Keys(*info.Dictionary()), (Strings{"Producer", "Creator", "Keywords", "Subject",
                                                 "Title", "Author", "CreationDate"}));
    EXPECT_EQ(Written(*info.Dictionary()->ValueOf("Author")), "(Dr. Jo\xE3o \\(OAB\\))");
    // The date value passed in never changes the recorded time of the call.
    EXPECT_EQ(Written(*info.Dictionary()->ValueOf("CreationDate")), "(D:20261211090507)");
}

TEST(PdfDoc, DoubleByteTextsBecomeUnicodeStringsInTheFile) {
    ScopedAnsiCodePage page(932);
    FixedLocalClock clock(kTestTime);
    TPdfDoc doc;
    doc.StartDocument();
    doc.AddPage();
    doc.GetInfo().SetTitle("A\x82\xA0\x93\xFA");
    const std::string file = Saved(doc);
    EXPECT_NE(file.find("/Title <FEFF001B656E001B0041304265E5>\r\n"), std::string::npos);
    EXPECT_NE(file.find("/Producer (Tarnolix version 0.9)\r\n"), std::string::npos);
    ExpectConsistentXref(file);
    TempFolder folder;
    ExpectAcceptedByTools(folder.Write("Japanese.pdf", file));
}

TEST(PdfDoc, OperationsWithoutDocumentAreRefused) {
    TPdfDoc doc;
    TMemoryStream stream;
    ExpectFailure([&] { doc.GetCanvas(); }, "GetCanvas --Document is null");
    ExpectFailure([&] { doc.GetInfo(); }, "GetInfo --this method can not use this state..");
    ExpectFailure([&] { doc.GetRoot(); }, "GetRoot --this method can not use this state..");
    ExpectFailure([&] { doc.GetOutlineRoot(); }, "GetOutlineRoot --document is null..");
    ExpectFailure([&] { doc.GetFont("Arial"); }, "GetFont --document is null.");
    ExpectFailure([&] { doc.AddPage(); }, "AddPage --current pages null.");
    ExpectFailure([&] { doc.SaveToStream(stream); },
                  "SaveToStream --there is no document to save.");
    EXPECT_EQ(stream.Size(), 0u);
    EXPECT_THROW(doc.GetOutlineRoot(), EPdfInvalidOperation);
}

TEST(PdfDoc, ADocumentWithoutPagesIsNotWritten) {
    TPdfDoc doc;
    doc.StartDocument();
    TMemoryStream stream;
    ExpectFailure([&] { doc.SaveToStream(stream); }, "GetPage --the Page is nil");
    EXPECT_EQ(stream.Size(), 0u);
    EXPECT_THROW(doc.SaveToStream(stream), EPdfInvalidOperation);
}

TEST(PdfDoc, OutlineRootNeedsOutlineMode) {
    TPdfDoc doc;
    doc.StartDocument();
    ExpectFailure([&] { doc.GetOutlineRoot(); }, "GetOutlineRoot --not use outline mode..");
    EXPECT_EQ(doc.GetRoot().Dictionary()->ValueOf("Outlines"), nullptr);
}

TEST(PdfDoc, OutlineCompanionIsFreedOnceWithTheDocument) {
    struct Companion : TPdfOutlineCompanion {
        explicit Companion(int& frees) : frees_(frees) {}
        ~Companion() override { ++frees_; }
        int& frees_;
    };
    int frees = 0;
    TPdfDoc doc;
    doc.SetUseOutlines(true);
    doc.StartDocument();
    TPdfOutlineRoot& root = doc.GetOutlineRoot();
    EXPECT_TRUE(root.Opened());
    EXPECT_EQ(root.Count(), 0);
    EXPECT_EQ(root.Dictionary()->ObjectNumber(), 2);
    root.SetCompanion(std::make_unique<Companion>(frees));
    doc.AddPage();
    Saved(doc);
    Saved(doc);
    EXPECT_EQ(Keys(*root.Dictionary()), (Strings{"Type", "Count"}));
    EXPECT_EQ(frees, 0);
    doc.DiscardDocument();
    EXPECT_EQ(frees, 1);
    doc.DiscardDocument();
    EXPECT_EQ(frees, 1);
}

TEST(PdfDoc, StartingAgainNumbersFromOneAndForgetsTheOldPage) {
    FixedLocalClock clock(kTestTime);
    TPdfDoc doc;
    doc.StartDocument();
    doc.AddPage();
    doc.AddPage();
    doc.DiscardDocument();
    EXPECT_FALSE(doc.HasDocument());
    EXPECT_THROW(doc.GetCanvas(), EPdfInvalidOperation);
    doc.StartDocument();
    ExpectFailure([&] { doc.GetCanvas().GetPage(); }, "GetPage --the Page is nil");
    EXPECT_EQ(doc.GetRoot().Dictionary()->ObjectNumber(), 1);
    doc.AddPage();
    EXPECT_EQ(doc.GetCanvas().GetPage().ObjectNumber(), 4);
    EXPECT_EQ(Saved(doc), Expected("OnePage.pdf"));
}

TEST(PdfDoc, PagesTakeTheDefaultSizeAtTheirCreation) {
    TPdfDoc doc;
    doc.StartDocument();
    doc.SetDefaultPageWidth(612);
    doc.SetDefaultPageHeight(792);
    doc.AddPage();
    EXPECT_EQ(Written(*doc.GetCanvas().GetPage().ValueOf("MediaBox")), "[0 0 612 792 ]");
}

TEST(PdfDoc, GetFontReusesExactNamesOnly) {
    TPdfDoc doc;
    doc.StartDocument();
    TPdfFont& arial = doc.GetFont("Arial");
    EXPECT_EQ(&doc.GetFont("Arial"), &arial);
    TPdfFont& lower = doc.GetFont("arial");
    EXPECT_NE(&lower, &arial);
    EXPECT_EQ(doc.FontCount(), 2);
    EXPECT_EQ(arial.Dictionary()->NameOf("Name")->Value(), "F0");
    EXPECT_EQ(lower.Dictionary()->NameOf("Name")->Value(), "F1");
    EXPECT_EQ(lower.Dictionary()->NameOf("BaseFont")->Value(), "Helvetica");
    EXPECT_EQ(lower.Name(), "arial");
    ExpectFailure([&] { doc.GetFont("Comic"); }, "Class Comic not found");
    EXPECT_EQ(doc.FontCount(), 2);
}

TEST(PdfDoc, AddImageNamesAndListsTheImage) {
    TPdfDoc doc;
    doc.StartDocument();
    TPdfStream& image = doc.AddImage("P1", MakeTestImage());
    EXPECT_EQ(image.Kind(), okIndirect);
    EXPECT_EQ(image.Dictionary().NameOf("Name")->Value(), "P1");
    EXPECT_EQ(image.Dictionary().Element(image.Dictionary().ElementCount() - 1).KeyText(), "Name");
    EXPECT_EQ(doc.XObjectByName("P1"), &image);
    EXPECT_EQ(doc.XObjectByName("p1"), nullptr);
}

TEST(PdfDoc, AddImageRefusesDuplicatesAndNonImages) {
    TPdfDoc doc;
    doc.StartDocument();
    doc.AddImage("P1", MakeTestImage());
    const int entries = doc.Xref()->EntryCount();
    ExpectFailure([&] { doc.AddImage("P1", MakeTestImage()); },
                  "AddImage --the image named P1 is already exists..");
    ExpectFailure([&] { doc.AddImage("P2", std::make_unique<TPdfStream>()); },
                  "AddImage --the image is not valid TPdfImage..");
    auto form = std::make_unique<TPdfXObject>();
    form->Dictionary().Put("Type", std::make_unique<TPdfName>("XObject"));
    form->Dictionary().Put("Subtype", std::make_unique<TPdfName>("Form"));
    ExpectFailure([&] { doc.AddImage("P3", std::move(form)); },
                  "AddImage --the image is not valid TPdfImage..");
    ExpectFailure([&] { doc.AddImage("P4", nullptr); },
                  "AddImage --the image is not valid TPdfImage..");
    EXPECT_EQ(doc.Xref()->EntryCount(), entries);
}

TEST(PdfDoc, RegisterXObjectChecksAndNames) {
    TPdfDoc doc;
    doc.StartDocument();
    ExpectFailure([&] { doc.RegisterXObject(static_cast<TPdfStream*>(nullptr), "X"); },
                  "RegisterXObject --AObject is null");
    ExpectFailure([&] { doc.RegisterXObject(std::make_unique<TPdfStream>(), "X"); },
                  "RegisterXObject --not XObject");
    EXPECT_THROW(doc.RegisterXObject(std::make_unique<TPdfStream>(), "X"), EPdfInvalidValue);

    doc.RegisterXObject(MakeTestImage(), "X1");
    TPdfStream* first = doc.XObjectByName("X1");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Kind(), okIndirect);
    ExpectFailure([&] { doc.RegisterXObject(MakeTestImage(), "X1"); },
                  "RegisterXObject --dupulicate name: X1");
    EXPECT_THROW(doc.RegisterXObject(MakeTestImage(), "X1"), EPdfInvalidValue);
}

TEST(PdfDoc, RegisterXObjectLeavesANamedObjectAlone) {
    TPdfDoc doc;
    doc.StartDocument();
    auto image = MakeTestImage();
    image->Dictionary().Put("Name", std::make_unique<TPdfName>("Own"));
    auto& registered = doc.Xref()->Register(std::move(image));
    doc.RegisterXObject(&registered, "Other");
    EXPECT_EQ(registered.Dictionary().NameOf("Name")->Value(), "Own");
    EXPECT_EQ(doc.XObjectByName("Other"), nullptr);
    EXPECT_EQ(doc.XObjectByName("Own"), nullptr);
}
