// Splitting lines into tokens.
#include "engine/codepage.h"
#include "engine/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
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

} // namespace
