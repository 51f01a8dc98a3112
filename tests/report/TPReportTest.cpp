#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ReportFixtures.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/locale/LocalClock.h"
#include "report/ReportErrors.h"
#include "report/TPROutline.h"
#include "report/TPReport.h"

using testing::HasSubstr;

namespace {

class TPReportTest : public testing::Test {
  protected:
    void SetUp() override {
        RegisterPdfClasses();
        WriteTestJpeg(folder_.Path() / "page.jpg", 24, 32);
        layout_.PRJpegImage1.Picture().loadFromFile(folder_.Path() / "page.jpg");
        report_.SetFileName((folder_.Path() / "doc.pdf").string());
    }

    std::vector<std::string> filesInFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder folder_;
    TProgramPageLayout layout_;
    TPReport report_;
};

}  // namespace

TEST_F(TPReportTest, SettingsAreFrozenWhileADocumentIsOpen) {
    report_.SetTitle("Before");
    report_.OpenDoc();
    struct Case {
        std::function<void()> set;
        const char* message;
    } cases[] = {
        {[&] { report_.SetAuthor("x"); }, "SetAuthor --invalid operation."},
        {[&] { report_.SetCreationDate(1); }, "SetCreationDate --invalid operation."},
        {[&] { report_.SetCreator("x"); }, "SetCreator --invalid operation."},
        {[&] { report_.SetKeywords("x"); }, "SetKeyWords --invalid operation."},
        {[&] { report_.SetModDate(1); }, "SetModDate --invalid operation."},
        {[&] { report_.SetSubject("x"); }, "SetSubject --invalid operation."},
        {[&] { report_.SetTitle("x"); }, "SetTitle --invalid operation."},
        {[&] { report_.SetPageLayout(plOneColumn); }, "SetPageLayout --invalid operation."},
        {[&] { report_.SetPageMode(pmUseThumbs); }, "SetPageMode --invalid operation."},
        {[&] { report_.SetNonFullScreenPageMode(pmUseThumbs); },
         "SetNonFullScreenPageMode --invalid operation."},
        {[&] { report_.SetUseOutlines(true); }, "SetUseOutlines --invalid operation."},
        {[&] { report_.SetViewerPreference({vpFitWindow}); },
         "SetViewerPreference --invalid operation."},
    };
    for (const Case& c : cases) {
        try {
            c.set();
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const EPdfInvalidOperation& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    EXPECT_EQ(report_.Title(), "Before");
    EXPECT_FALSE(report_.UseOutlines());

    // The file name may change: it decides where the file goes.
    report_.SetFileName((folder_.Path() / "moved.pdf").string());
    report_.PrintPage(layout_.pagina);
    report_.CloseDoc();
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"moved.pdf", "page.jpg"}));
    EXPECT_THAT(ReadFile(folder_.Path() / "moved.pdf"), HasSubstr("(Before)"));
}

TEST_F(TPReportTest, FullScreenIsNoNonFullScreenMode) {
    report_.SetNonFullScreenPageMode(pmFullScreen);
    EXPECT_EQ(report_.NonFullScreenPageMode(), pmUseNone);
    report_.OpenDoc();
    report_.PrintPage(layout_.pagina);
    report_.CloseDoc();
    EXPECT_EQ(ReadFile(folder_.Path() / "doc.pdf").find("NonFullScreenPageMode"),
              std::string::npos);
}

TEST_F(TPReportTest, CloseWithoutDocumentOrPageFailsAndLeavesNoFile) {
    try {
        report_.CloseDoc();
        FAIL() << "closed";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "document is null..");
    }
    EXPECT_THROW(report_.PrintPage(layout_.pagina), EInvalidOperation);

    report_.OpenDoc();
    try {
        report_.CloseDoc();
        FAIL() << "wrote a document without pages";
    } catch (const EPdfInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "GetPage --the Page is nil");
    }
    EXPECT_TRUE(report_.HasDocument());
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"page.jpg"});  // no empty PDF
    report_.CancelDoc();
    EXPECT_FALSE(report_.HasDocument());
    EXPECT_THROW(report_.CloseDoc(), EInvalidOperation);
}

TEST_F(TPReportTest, TargetThatCannotBeReplacedKeepsTheDocumentAndLeavesNoFile) {
    // A folder where the file should go: the whole document is written, then cannot be put
    // in place.
    std::filesystem::create_directory(folder_.Path() / "doc.pdf");
    report_.OpenDoc();
    report_.PrintPage(layout_.pagina);
    try {
        report_.CloseDoc();
        FAIL() << "replaced a folder";
    } catch (const brevanto::graphics::EFCreateError& e) {
        EXPECT_THAT(e.what(), HasSubstr("Cannot create file \"" +
                                        (folder_.Path() / "doc.pdf").string() + "\". "));
    }
    EXPECT_TRUE(report_.HasDocument());
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"doc.pdf", "page.jpg"}));
    EXPECT_TRUE(std::filesystem::is_directory(folder_.Path() / "doc.pdf"));

    std::filesystem::remove(folder_.Path() / "doc.pdf");
    report_.CloseDoc();  // the kept document is still whole
    ExpectAcceptedByTools(folder_.Path() / "doc.pdf");
}

TEST_F(TPReportTest, MissingFolderIsACreateErrorNamingTheFile) {
    report_.SetFileName((folder_.Path() / "nowhere" / "doc.pdf").string());
    report_.OpenDoc();
    report_.PrintPage(layout_.pagina);
    try {
        report_.CloseDoc();
        FAIL() << "wrote";
    } catch (const brevanto::graphics::EFCreateError& e) {
        EXPECT_THAT(e.what(), HasSubstr("Cannot create file \"" +
                                        (folder_.Path() / "nowhere" / "doc.pdf").string() +
                                        "\". No such file or directory"));
    }
    EXPECT_TRUE(report_.HasDocument());
}

TEST_F(TPReportTest, ReplacesAnExistingFileOnlyWithAWholeDocument) {
    std::ofstream(folder_.Path() / "doc.pdf") << "old contents";
    report_.OpenDoc();
    EXPECT_THROW(report_.CloseDoc(), EPdfInvalidOperation);  // no page
    EXPECT_EQ(ReadFile(folder_.Path() / "doc.pdf"), "old contents");
    report_.OpenDoc();  // the failed document is dropped silently
    report_.PrintPage(layout_.pagina);
    report_.CloseDoc();
    EXPECT_EQ(ReadFile(folder_.Path() / "doc.pdf").substr(0, 8), "%PDF-1.2");
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"doc.pdf", "page.jpg"}));
}

TEST_F(TPReportTest, DestroyingDuringARunWritesNothing) {
    {
        TPReport report;
        report.SetFileName((folder_.Path() / "never.pdf").string());
        report.OpenDoc();
        report.PrintPage(layout_.pagina);
    }
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "never.pdf"));
}

TEST_F(TPReportTest, DatesAreThoseOfOpenAndClose) {
    TPReport report;
    report.SetCreationDate(41829.71127694444);  // as the program's form data hold it
    report.SetFileName((folder_.Path() / "dated.pdf").string());
    {
        FixedLocalClock clock({2026, 12, 11, 9, 30, 5, 0});
        report.OpenDoc();
        report.PrintPage(layout_.pagina);
    }
    {
        FixedLocalClock clock({2026, 12, 11, 9, 31, 0, 0});
        report.CloseDoc();
    }
    const std::string pdf = ReadFile(folder_.Path() / "dated.pdf");
    EXPECT_THAT(pdf, HasSubstr("/CreationDate (D:20261211093005)"));
    EXPECT_THAT(pdf, HasSubstr("/ModDate (D:20261211093100)"));
}

TEST_F(TPReportTest, OutlinesGetTheirWrapper) {
    report_.SetUseOutlines(true);
    report_.OpenDoc();
    ASSERT_NE(report_.OutlineRoot(), nullptr);
    EXPECT_EQ(&report_.OutlineRoot()->Entry(), &report_.Doc()->GetOutlineRoot());
    report_.PrintPage(layout_.pagina);
    report_.CloseDoc();
    EXPECT_EQ(report_.OutlineRoot(), nullptr);
    ExpectAcceptedByTools(folder_.Path() / "doc.pdf");
}

TEST_F(TPReportTest, WithoutReplacingATakenNameFailsAndKeepsTheDocumentOpen) {
    const std::string taken = "somebody else's document";
    folder_.Write("doc.pdf", taken);
    report_.SetReplaceExisting(false);
    report_.OpenDoc();
    report_.PrintPage(layout_.pagina);
    EXPECT_THROW(report_.CloseDoc(), brevanto::graphics::EFileExists);
    EXPECT_EQ(ReadFile(folder_.Path() / "doc.pdf"), taken);
    EXPECT_TRUE(report_.HasDocument());
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"doc.pdf", "page.jpg"}));

    report_.SetFileName((folder_.Path() / "doc-2.pdf").string());
    report_.CloseDoc();
    EXPECT_FALSE(report_.HasDocument());
    ExpectAcceptedByTools(folder_.Path() / "doc-2.pdf");
}
