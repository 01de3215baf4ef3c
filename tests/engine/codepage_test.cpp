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

// Characters that code page 932 writes under another Unicode mapping: each is written as
// its code and reads back as that code's own character. These are all that glibc has.
TEST(CodePage, WritesCharactersOfAnotherMapping)
{
    const struct {
        char32_t written;
        int code;
        char32_t read;
    } family[] = {
        {U'〜', 0x8160, U'～'}, {U'−', 0x817C, U'－'}, {U'‖', 0x8161, U'∥'},
        {U'¢', 0x8191, U'￠'},  {U'£', 0x8192, U'￡'}, {U'¬', 0x81CA, U'￢'},
        {U'—', 0x815C, U'―'},  {U'¥', 0x5C, U'\\'},  {U'‾', 0x7E, U'~'},
    };
    for (const auto &c : family) {
        EXPECT_EQ(cp932::CodeOf(c.written), c.code) << std::hex << unsigned(c.written);
        EXPECT_EQ(cp932::UnicodeOf(c.code), static_cast<int>(c.read)) << std::hex << c.code;
        EXPECT_EQ(cp932::CodeOf(c.read), c.code) << std::hex << unsigned(c.read);
    }
    int others = 0;
    for (char32_t c = 0; c < 0x10000; ++c) {
        const int code = cp932::CodeOf(c);
        if (code >= 0 && cp932::UnicodeOf(static_cast<unsigned>(code)) != static_cast<int>(c))
            ++others;
    }
    EXPECT_EQ(others, 9);
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
