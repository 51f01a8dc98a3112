#include <gtest/gtest.h>

#include "pdf/PdfCatalog.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfTypes.h"
#include "support/PdfTestDoc.h"

namespace {

class PdfCatalogTest : public testing::Test {
  protected:
    void SetUp() override { doc_.StartDocument(); }
    TPdfCatalog& Catalog() { return doc_.GetRoot(); }
    // The catalog's value syntax (it is registered, so WriteTo would give a reference).
    std::string Text() {
        TMemoryStream stream;
        Catalog().Dictionary()->WriteValue(stream);
        return std::string(stream.View());
    }

    TPdfDoc doc_;
};

}  // namespace

TEST_F(PdfCatalogTest, PageLayoutAndModeChangeInPlace) {
    Catalog().SetPageMode(pmUseThumbs);
    Catalog().SetPageLayout(plOneColumn);
    Catalog().SetPageMode(pmFullScreen);
    Catalog().SetPageLayout(plTwoColumnRight);
    EXPECT_EQ(Text(),
              "<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n/PageMode /FullScreen\r\n"
              "/PageLayout /TwoColumnRight\r\n>>");
}

TEST_F(PdfCatalogTest, NamesOfTheViewerSettings) {
    const std::pair<TPdfPageLayout, const char*> layouts[] = {{plSinglePage, "SinglePage"},
                                                              {plOneColumn, "OneColumn"},
                                                              {plTwoColumnLeft, "TwoColumnLeft"},
                                                              {plTwoColumnRight, "TwoColumnRight"}};
    for (const auto& [layout, name] : layouts) {
        Catalog().SetPageLayout(layout);
        EXPECT_EQ(Catalog().Dictionary()->NameOf("PageLayout")->Value(), name);
    }
    const std::pair<TPdfPageMode, const char*> modes[] = {{pmUseNone, "UseNone"},
                                                          {pmUseOutlines, "UseOutlines"},
                                                          {pmUseThumbs, "UseThumbs"},
                                                          {pmFullScreen, "FullScreen"}};
    for (const auto& [mode, name] : modes) {
        Catalog().SetPageMode(mode);
        EXPECT_EQ(Catalog().Dictionary()->NameOf("PageMode")->Value(), name);
    }
}

TEST_F(PdfCatalogTest, FullScreenLeavesAnEmptyViewerPreferences) {
    Catalog().SetNonFullScreenPageMode(pmFullScreen);
    EXPECT_EQ(Text(), "<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n/ViewerPreferences <<\r\n>>\r\n>>");
}

TEST_F(PdfCatalogTest, NonFullScreenModeIsSetInPlaceAndRemoved) {
    Catalog().SetNonFullScreenPageMode(pmUseOutlines);
    Catalog().SetViewerPreference({vpFitWindow});
    Catalog().SetNonFullScreenPageMode(pmUseThumbs);
    TPdfDictionary* preferences = Catalog().Dictionary()->DictionaryOf("ViewerPreferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(Written(*preferences),
              "<<\r\n/NonFullScreenPageMode /UseThumbs\r\n/FitWindow true\r\n>>");
    Catalog().SetNonFullScreenPageMode(pmUseNone);
    EXPECT_EQ(Written(*preferences), "<<\r\n/FitWindow true\r\n>>");
}

TEST_F(PdfCatalogTest, ViewerPreferencesFollowTheSet) {
    Catalog().SetViewerPreference({});
    EXPECT_EQ(Catalog().Dictionary()->ValueOf("ViewerPreferences"), nullptr);
    Catalog().SetViewerPreference({vpCenterWindow, vpHideToolbar, vpHideWindowUI});
    TPdfDictionary* preferences = Catalog().Dictionary()->DictionaryOf("ViewerPreferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(Written(*preferences),
              "<<\r\n/HideToolbar true\r\n/HideWindowUI true\r\n/CenterWindow true\r\n>>");
    Catalog().SetViewerPreference({vpHideMenubar});
    EXPECT_EQ(Written(*preferences), "<<\r\n/HideMenubar true\r\n>>");
    Catalog().SetViewerPreference({});
    EXPECT_EQ(Written(*preferences), "<<\r\n>>");
}

TEST_F(PdfCatalogTest, OnlyAPagesNodeBecomesThePages) {
    TPdfDictionary other(nullptr);
    Catalog().SetPages(&other);
    Catalog().SetPages(nullptr);
    EXPECT_EQ(Catalog().Dictionary()->DictionaryOf("Pages"), doc_.CurrentPages());
}
