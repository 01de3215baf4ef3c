// Line taking, line-feed counts and the scans of the text.
#include "engine/textlines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

TEST(TextLines, TakeLineCutsAtCarriageReturnAndEndsWithTheMarker)
{
    std::string_view text = "one\r\ntwo\rgone\nthree";
    EXPECT_EQ(TakeLine(text), "one");
    EXPECT_EQ(TakeLine(text), "two");
    EXPECT_EQ(TakeLine(text), "three");
    EXPECT_EQ(TakeLine(text), kEndMarker);
    EXPECT_EQ(FirstLine(""), "");
}

TEST(TextLines, RemainingTextTakesPrependsAndGrows)
{
    RemainingText rest("a\r\nb\r\nc");
    EXPECT_EQ(rest.TakeLine(), "a");
    EXPECT_EQ(rest.TakeLine(), "b");
    rest.Prepend("x\r\ny\r\n"); // fits in the room of the taken lines
    EXPECT_EQ(rest.view(), "x\r\ny\r\nc");
    rest.Prepend("a much longer body than the room there is\r\n");
    EXPECT_EQ(rest.TakeLine(), "a much longer body than the room there is");
    EXPECT_EQ(rest.TakeLine(), "x");
}

TEST(TextLines, CountsAndScansAgreeWithPlainLoops)
{
    std::mt19937 random(7);
    const char alphabet[] = {'\n', '\r', 'p', 'P', 'a', 'A', 'g', 'G', '\x0B', '\x8A', '\xFF', ' '};
    for (int round = 0; round < 200; ++round) {
        // Some texts are long enough for the line-feed count to add up in several batches.
        std::string text(random() % (round % 10 == 0 ? 5000 : 100), ' ');
        for (char &c : text)
            c = alphabet[random() % sizeof alphabet];
        EXPECT_EQ(CountLineFeeds(text),
                  static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
        std::size_t expected = std::string_view::npos;
        for (std::size_t i = 0; i + 3 < text.size(); ++i)
            if (text[i] == '\n' && (text[i + 1] | 0x20) == 'p' && (text[i + 2] | 0x20) == 'a' &&
                (text[i + 3] | 0x20) == 'g') {
                expected = i + 1;
                break;
            }
        EXPECT_EQ(FindPageLineAfter(text, 0), expected);
    }
    EXPECT_EQ(CountLineFeeds(std::string(5000, '\n')), 5000u); // every byte of a batch
    EXPECT_EQ(FindPageLine("PAGE\r\n"), 0u);
    EXPECT_EQ(FindPageLine("x\r\npa"), std::string_view::npos);
    EXPECT_EQ(CountLines("a\nb\n", 10), 2);
    EXPECT_EQ(CountLines("a\nb", 10), 2);
    EXPECT_EQ(CountLines("a\nb\nc", 2), 2);
    EXPECT_EQ(LinesLength("a\r\nb\r\nc", 2), 6u);
    EXPECT_EQ(NormalizeLineEnds("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(NormalizeLineEnds("\n\r\n\rx"), "\r\n\r\n\rx");
}

} // namespace
