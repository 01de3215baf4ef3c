// Splitting lines into tokens.
#include "engine/codepage.h"
#include "engine/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> tokens(const std::string &line, std::size_t max = 99, bool eq = false)
{
    TokenList list;
    TokenizeLine(line, list, max, eq);
    std::vector<std::string> out;
    for (const Token &t : list)
        out.emplace_back(t.view());
    while (!out.empty() && out.back().empty())
        out.pop_back();
    return out;
}

using V = std::vector<std::string>;

TEST(Tokenizer, SeparatorsCaseAndComments)
{
    EXPECT_EQ(tokens("line,0,0,10,10"), (V{"line", "0", "0", "10", "10"}));
    EXPECT_EQ(tokens("LINE\t0  0"), (V{"line", "0", "0"}));
    EXPECT_EQ(tokens("line 0 0 10 10 # comment"), (V{"line", "0", "0", "10", "10"}));
    EXPECT_EQ(tokens("line 0 0 10 10#c"), (V{"line", "0", "0", "10", "10#c"}));
    EXPECT_EQ(tokens("$aa==5", 99, true), (V{"$aa", "5"}));
    EXPECT_EQ(tokens("a b c d e f g h i j k l"), (V{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}));
    // A full-width blank separates like two blanks.
    EXPECT_EQ(tokens(cp932::FromUtf8("col　1")), (V{"col", "1"}));
}

TEST(Tokenizer, LongRunsContinueAsNextToken)
{
    std::string run(150, 'x');
    V t = tokens("line " + run);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1].size(), 99u);
    EXPECT_EQ(t[2].size(), 51u);
    EXPECT_EQ(tokens("$$ab " + std::string(40, '1'), 29, true).at(2).size(), 11u);
}

TEST(Tokenizer, TrailBytesAreNotLowered)
{
    // "ア" is 0x83 0x41: its trail byte is an upper-case A in single-byte terms.
    const std::string a = "\x83\x41";
    EXPECT_EQ(tokens("X" + a + "Y"), (V{"x" + a + "y"}));
    // A lead byte at the very end stands alone.
    EXPECT_EQ(tokens("AB\x82"), (V{"ab\x82"}));
}

// The tokenizer's rule read literally: the whole line normalised first, then split.
// The tokenizer itself normalises while it splits and does this only for lines with a
// two-byte character.
std::vector<std::string> literalTokens(std::string_view line, std::size_t max, bool eq,
                                       bool &content)
{
    std::string n(line);
    for (std::size_t i = 0; i < n.size();) {
        const auto b = static_cast<unsigned char>(n[i]);
        if (cp932::IsLeadByte(b)) {
            if (i + 1 < n.size() && b == 0x81 && n[i + 1] == 0x40)
                n[i] = n[i + 1] = ' ';
            i += 2;
            continue;
        }
        if (b == ',' || (eq && b == '='))
            n[i] = ' ';
        else if (b >= 'A' && b <= 'Z')
            n[i] = static_cast<char>(b + 32);
        ++i;
    }
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::vector<std::string> out(10);
    std::size_t pos = 0;
    for (std::string &t : out) {
        std::size_t end = pos;
        while (end < n.size() && !blank(n[end]) && end - pos < max)
            ++end;
        t = n.substr(pos, end - pos);
        pos = end;
        while (pos < n.size() && blank(n[pos]))
            ++pos;
        if (pos >= n.size() || n[pos] == '#')
            break;
    }
    const std::size_t first = n.find_first_not_of(" \t");
    content = first != std::string::npos && n[first] != '#';
    return out;
}

// Every line of up to five bytes from an alphabet of separators, comment signs, letters of
// both cases, lead and trail bytes (the full-width blank among them) and a half-width
// katakana, with tokens of at most 2 bytes and of the usual 99.
TEST(Tokenizer, EveryShortLineReadsAsTheLiteralRule)
{
    const std::string alphabet = " \t,=#Ab\x81\x40\xE0\xB1";
    std::string line;
    std::vector<std::size_t> digits;
    for (;;) {
        line.clear();
        for (std::size_t d : digits)
            line += alphabet[d];
        for (std::size_t max : {std::size_t{2}, Token::kMaxLength}) {
            for (bool eq : {false, true}) {
                TokenList list;
                const bool content = TokenizeLine(line, list, max, eq);
                bool expectedContent = false;
                const std::vector<std::string> expected = literalTokens(line, max, eq, expectedContent);
                ASSERT_EQ(content, expectedContent) << testing::PrintToString(line);
                for (std::size_t i = 0; i < list.size(); ++i)
                    ASSERT_EQ(list[i].view(), expected[i]) << testing::PrintToString(line) << " " << i;
            }
        }
        // The next line: digits counted up in base alphabet.size(), one more when full.
        std::size_t k = 0;
        while (k < digits.size() && ++digits[k] == alphabet.size())
            digits[k++] = 0;
        if (k == digits.size()) {
            if (digits.size() == 5)
                break;
            digits.push_back(0);
        }
    }
}

} // namespace
