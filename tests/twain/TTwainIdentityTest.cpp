#include <cstring>

#include <gtest/gtest.h>

#include "twain/TTwainIdentity.h"

namespace {

using namespace twain;

TEST(TTwainIdentity, DefaultsAreTheApplicationIdentity) {
    TTwainIdentity identity(nullptr);
    const TW_IDENTITY& r = identity.Structure();
    EXPECT_EQ(r.Id, 0u);
    EXPECT_EQ(r.Version.MajorNum, 1);
    EXPECT_EQ(r.Version.MinorNum, 0);
    EXPECT_EQ(r.Version.Language, 0xFFFF);
    EXPECT_EQ(r.Version.Country, 1);
    EXPECT_EQ(r.ProtocolMajor, 1);
    EXPECT_EQ(r.ProtocolMinor, 9);
    EXPECT_EQ(r.SupportedGroups, 3u);
    EXPECT_EQ(identity.VersionInfo(), "Application name");
    EXPECT_EQ(identity.Manufacturer(), "Application manufacturer");
    EXPECT_EQ(identity.ProductFamily(), "App product family");
    EXPECT_EQ(identity.ProductName(), "App product name");
    EXPECT_EQ(identity.Language(), tlUserLocale);
    // Unused bytes of the text fields are zero.
    EXPECT_EQ(r.ProductName[33], '\0');
    EXPECT_EQ(r.ProductName[16], '\0');
}

TEST(TTwainIdentity, TextFieldsKeepThirtyThreeCharacters) {
    TTwainIdentity identity(nullptr);
    const std::string forty(40, 'v');
    identity.SetVersionInfo(forty);
    EXPECT_EQ(identity.VersionInfo(), forty.substr(0, 33));
    EXPECT_EQ(identity.Structure().Version.Info[33], '\0');
    identity.SetProductName("Short");
    EXPECT_EQ(identity.ProductName(), "Short");
    for (int i = 5; i < 34; ++i) EXPECT_EQ(identity.Structure().ProductName[i], '\0') << i;
    // A field a source filled without a terminating zero reads as its 34 characters.
    std::memset(identity.Structure().Manufacturer, 'm', 34);
    EXPECT_EQ(identity.Manufacturer(), std::string(34, 'm'));
}

TEST(TTwainIdentity, LanguageIsStoredAsOrdinalMinusOne) {
    const std::pair<TTwainLanguage, TW_UINT16> cases[] = {
        {tlUserLocale, 0xFFFF}, {tlDanish, 0}, {tlPortugueseBrazil, 76}, {tlVietnamese, 113}};
    for (const auto& [language, stored] : cases) {
        TTwainIdentity identity(nullptr);
        identity.SetLanguage(language);
        EXPECT_EQ(identity.Structure().Version.Language, stored) << int(language);
        EXPECT_EQ(identity.Language(), language);
    }
    EXPECT_EQ(kTwainLanguageCount, tlVietnamese + 1);
    // A code from a source reads as the low 8 bits of code + 1.
    TTwainIdentity identity(nullptr);
    identity.Structure().Version.Language = 0x0102;
    EXPECT_EQ(static_cast<int>(identity.Language()), 3);
}

TEST(TTwainIdentity, GroupsAlwaysHoldControl) {
    struct Case {
        TTwainGroups written;
        TW_UINT32 stored;
        TTwainGroups read;
    };
    const Case cases[] = {{{}, 1, {tgControl}},
                          {{tgAudio}, 5, {tgControl, tgAudio}},
                          {{tgControl, tgImage}, 3, {tgControl, tgImage}},
                          {{tgImage, tgAudio}, 7, {tgControl, tgImage, tgAudio}}};
    for (const Case& c : cases) {
        TTwainIdentity identity(nullptr);
        identity.SetGroups(c.written);
        EXPECT_EQ(identity.Structure().SupportedGroups, c.stored);
        EXPECT_EQ(identity.Groups(), c.read);
    }
    TTwainIdentity identity(nullptr);
    identity.Structure().SupportedGroups = 0xFFFFFFF8 | DG_IMAGE;
    EXPECT_EQ(identity.Groups(), (TTwainGroups{tgControl, tgImage}));
}

TEST(TTwainIdentity, AssignCopiesTheWholeRecord) {
    TTwainIdentity source(nullptr);
    source.Structure().Id = 77;
    source.SetProductName("Flatbed");
    source.SetCountryCode(55);
    TTwainIdentity target(nullptr);
    target.Assign(source);
    EXPECT_EQ(std::memcmp(&target.Structure(), &source.Structure(), sizeof(TW_IDENTITY)), 0);
    EXPECT_EQ(target.Structure().Id, 77u);
}

}  // namespace
