// Code page 932 walking, conversion and the full-width map.
#include "engine/codepage.h"

#include <gtest/gtest.h>

namespace {

std::string sjis(const char *utf8)
{
    return cp932::FromUtf8(utf8);
}

TEST(CodePage, ConvertsBothWaysAndMarksBadBytes)
{
    EXPECT_EQ(sjis("ＭＳ 明朝"), "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9");
    EXPECT_EQ(cp932::ToUtf8(sjis("あいう漢字ｱｲｳ")), "あいう漢字ｱｲｳ");
    // A lone lead byte at the end and an undefined byte do not vanish.
    EXPECT_EQ(cp932::ToUtf8("A\x82"), "A\xEF\xBF\xBD");
    EXPECT_EQ(cp932::ToUtf8(std::string("\x00", 1)), std::string("\x00", 1));
}

TEST(CodePage, WalksCharactersAndLowersOnlySingleBytes)
{
    const std::string s = sjis("AあB") + "\x82";
    EXPECT_EQ(cp932::CharCount(s), 4u); // A, あ, B and the lone lead byte
    // 0x82 0x60 is "Ａ": its trail byte 0x60 is not a letter, but 0x83 0x41 ("ア") has the
    // trail byte "A", which must stay.
    EXPECT_EQ(cp932::ToLower("AB\x83\x41Z"), "ab\x83\x41z");
}

TEST(CodePage, FullWidthMapping)
{
    EXPECT_EQ(cp932::ToFullWidth("-5"), "\x81\x7C\x82\x54");
    EXPECT_EQ(cp932::ToFullWidth("+0 9"), "\x81\x7B\x82\x4F\x81\x40\x82\x58");
    EXPECT_EQ(cp932::ToUtf8(cp932::ToFullWidth("No.12")), "Ｎｏ．１２");
    EXPECT_EQ(cp932::ToUtf8(cp932::ToFullWidth(sjis("ｶﾞﾊﾟｱﾞｳﾞ"))), "ガパア゛ヴ");
    // Two-byte characters stay as they are.
    EXPECT_EQ(cp932::ToFullWidth(sjis("漢")), sjis("漢"));
}

} // namespace
