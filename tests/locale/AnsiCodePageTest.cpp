#include <stdexcept>

#include <gtest/gtest.h>

#include "platform/locale/AnsiCodePage.h"

TEST(AnsiCodePage, DefaultsToWindows1252SingleByte) {
    EXPECT_EQ(AnsiCodePage::Current(), 1252u);
    EXPECT_FALSE(AnsiCodePage::IsDoubleByte());
    EXPECT_FALSE(AnsiCodePage::HasDoubleByteCharacters("\x82\xA0\xE9"));
}

TEST(AnsiCodePage, ConvertsWindows1252BothWays) {
    // é, the euro sign (0x80) and the right single quote (0x92) are 1252's own.
    EXPECT_EQ(AnsiCodePage::ToUtf8("caf\xE9 \x80 \x92"), "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x99");
    EXPECT_EQ(AnsiCodePage::FromUtf8("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
    EXPECT_EQ(AnsiCodePage::ToUtf16("A\xE9"), std::u16string(u"A\u00E9"));
}

TEST(AnsiCodePage, UnmappableAndBrokenInputIsReplaced) {
    // A CJK character has no 1252 byte; a cut-off UTF-8 sequence decodes to nothing.
    EXPECT_EQ(AnsiCodePage::FromUtf8("a\xE6\x97\xA5z"), "a?z");
    EXPECT_EQ(AnsiCodePage::FromUtf8("a\xE6\x97"), "a?");
    // 0x81 is undefined in 1252.
    EXPECT_EQ(AnsiCodePage::ToUtf8("a\x81z"), "a\xEF\xBF\xBDz");
}

TEST(AnsiCodePage, ShiftJisIsDoubleByte) {
    ScopedAnsiCodePage page(932);
    EXPECT_EQ(AnsiCodePage::Current(), 932u);
    EXPECT_TRUE(AnsiCodePage::IsDoubleByte());
    EXPECT_TRUE(AnsiCodePage::IsLeadByte(0x82));
    EXPECT_TRUE(AnsiCodePage::IsLeadByte(0xE0));
    EXPECT_FALSE(AnsiCodePage::IsLeadByte(0xA0));  // half-width katakana are single bytes
    EXPECT_FALSE(AnsiCodePage::IsLeadByte('A'));
    EXPECT_TRUE(AnsiCodePage::HasDoubleByteCharacters("ab\x82\xA0"));
    EXPECT_FALSE(AnsiCodePage::HasDoubleByteCharacters("ab\xB1"));
    // Hiragana A (0x82 0xA0) and the kanji for "day" (0x93 0xFA).
    EXPECT_EQ(AnsiCodePage::ToUtf16("A\x82\xA0\x93\xFA"), std::u16string(u"A\u3042\u65E5"));
    EXPECT_EQ(AnsiCodePage::ToUtf8("\x82\xA0"), "\xE3\x81\x82");
    EXPECT_EQ(AnsiCodePage::FromUtf8("\xE6\x97\xA5"), "\x93\xFA");
    // A lead byte cut off at the end still counts, and decodes to the replacement character.
    EXPECT_TRUE(AnsiCodePage::HasDoubleByteCharacters("a\x82"));
    EXPECT_EQ(AnsiCodePage::ToUtf16("a\x82"), std::u16string(u"a\uFFFD"));
}

TEST(AnsiCodePage, ScopeRestoresThePreviousPage) {
    {
        ScopedAnsiCodePage page(936);
        EXPECT_EQ(AnsiCodePage::Current(), 936u);
    }
    EXPECT_EQ(AnsiCodePage::Current(), 1252u);
}

TEST(AnsiCodePage, UnknownPageIsRefusedAndNothingChanges) {
    EXPECT_THROW(AnsiCodePage::Set(99999), std::invalid_argument);
    EXPECT_EQ(AnsiCodePage::Current(), 1252u);
}
