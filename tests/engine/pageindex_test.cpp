// The page index against the scans that every page run used to make over the whole text,
// on generated texts.
#include "engine/pageindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <utility>
#include <vector>

namespace {

using Found = std::pair<std::size_t, int>; // byte offset, line number

// The scans as a page run made them, kept as the reference.
namespace reference {

std::size_t lineFeeds(std::string_view s)
{
    return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n'));
}

// Drops the first line and its LF (everything when there is no LF).
void dropLine(std::string_view &s)
{
    const std::size_t lf = s.find('\n');
    s.remove_prefix(lf == std::string_view::npos ? s.size() : lf + 1);
}

bool isPageLine(std::string_view s)
{
    return s.size() >= 3 && (s[0] | 0x20) == 'p' && (s[1] | 0x20) == 'a' && (s[2] | 0x20) == 'g';
}

std::size_t pageLineAfter(std::string_view s, std::size_t from)
{
    for (std::size_t i = from; i + 3 < s.size(); ++i)
        if (s[i] == '\n' && isPageLine(s.substr(i + 1)))
            return i + 1;
    return std::string_view::npos;
}

// One initialisation pass: the lines that begin with `prefix`, each with the line number
// the pass counted for it.
std::vector<Found> passLines(std::string_view whole, std::string_view prefix)
{
    std::vector<Found> found;
    std::string_view rest = whole;
    int lineNo = 1;
    for (;;) {
        std::size_t pos = 0;
        if (!rest.starts_with(prefix)) {
            pos = rest.find("\n" + std::string(prefix));
            if (pos == std::string_view::npos)
                break;
            ++pos;
        }
        lineNo += static_cast<int>(lineFeeds(rest.substr(0, pos)));
        rest.remove_prefix(pos);
        found.emplace_back(whole.size() - rest.size(), lineNo);
        dropLine(rest);
        ++lineNo;
    }
    return found;
}

// The section cut: where page `page` runs from and the number of that line.
std::optional<Found> section(std::string_view whole, int page)
{
    std::string_view s = whole;
    int lineNo = 1;
    if (page > 1) {
        const int n = isPageLine(s) ? page - 2 : page - 1;
        std::size_t pos = 0;
        for (int i = 0; i < n; ++i)
            if ((pos = pageLineAfter(s, pos)) == std::string_view::npos)
                return std::nullopt;
        lineNo += static_cast<int>(lineFeeds(s.substr(0, pos)));
        s.remove_prefix(pos);
        dropLine(s);
        ++lineNo;
    }
    return Found{whole.size() - s.size(), lineNo};
}

int pageCount(std::string_view whole)
{
    int pages = isPageLine(whole) ? 2 : 1;
    for (std::size_t pos = 0; (pos = pageLineAfter(whole, pos)) != std::string_view::npos;)
        ++pages;
    return pages;
}

} // namespace reference

std::vector<Found> listed(const LineList &lines)
{
    std::vector<Found> out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        out.emplace_back(lines[i].offset, lines[i].lineNo);
    return out;
}

// Texts of page lines in every spelling, near misses, initialisation lines of both kinds
// (also inside skipped ranges, before the first page line and in the last section), CR
// inside lines, and LF or CR LF line ends; sometimes the text begins with a page line, or
// its last line has no line end.
std::string generatedText(std::mt19937 &random)
{
    static const char *const kLines[] = {
        "page", "PAGE", "Pag 2", "pAgE", "pa", "pag", " page", "xpage", "skip 2",
        "$$aa 1", "$$", "$", "$$ab p", "}{ab}x", "}{", "}", "}{AB}y", "line 0 0 1 1",
        "", "#", "pag\rx", "$$aa\r5", "\x1a", "あ"};
    const bool crlf = random() % 2 == 0;
    const int lines = static_cast<int>(random() % 40);
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += kLines[random() % std::size(kLines)];
        if (i + 1 < lines || random() % 2)
            text += crlf || random() % 8 == 0 ? "\r\n" : "\n";
    }
    return text;
}

TEST(PageIndex, AgreesWithTheScansOfEveryPageRun)
{
    std::mt19937 random(1106);
    for (int round = 0; round < 2000; ++round) {
        const std::string text = generatedText(random);
        const PageIndex index(text);
        ASSERT_EQ(index.text(), text);
        ASSERT_EQ(index.pageCount(), reference::pageCount(text)) << text;
        ASSERT_EQ(CountPages(text), reference::pageCount(text)) << text;
        for (int page = -1; page <= index.pageCount() + 2; ++page) {
            const std::optional<LineList::Line> got = index.Section(page);
            const std::optional<Found> expected = reference::section(text, page);
            ASSERT_EQ(got.has_value(), expected.has_value()) << text << page;
            if (got) {
                ASSERT_EQ(Found(got->offset, got->lineNo), *expected) << text << page;
            }
        }
        // Every line belongs to the last page whose section starts at or above it.
        const int lines = static_cast<int>(reference::lineFeeds(text)) + 1;
        for (int lineNo = 1, page = 1; lineNo <= lines; ++lineNo) {
            while (page < index.pageCount() && index.Section(page + 1)->lineNo <= lineNo)
                ++page;
            ASSERT_EQ(index.PageOfLine(lineNo), page) << text << lineNo;
        }
        ASSERT_EQ(listed(index.variableLines()), reference::passLines(text, "$$")) << text;
        ASSERT_EQ(listed(index.abbreviationLines()), reference::passLines(text, "}{")) << text;
    }
}

TEST(PageIndex, QuirksOfTheFirstLine)
{
    // A text that begins with a page line has an empty first page; the first line of the
    // text counts as a page line only for that rule, in any case.
    const PageIndex first("PAGE\r\nx\r\npage\r\ny");
    EXPECT_EQ(first.pageCount(), 3);
    EXPECT_EQ(first.Section(2)->offset, 6u);
    EXPECT_EQ(first.Section(2)->lineNo, 2);
    EXPECT_EQ(first.Section(3)->lineNo, 4);
    EXPECT_FALSE(first.Section(4));
    // A last page line without a line end starts an empty page.
    const PageIndex last("x\npage");
    EXPECT_EQ(last.Section(2)->offset, 6u);
    EXPECT_EQ(PageIndex().pageCount(), 1);
}

TEST(PageIndex, OffsetsBeyondFourGibibytes)
{
    LineList lines;
    const std::size_t gib4 = std::size_t{1} << 32;
    const std::vector<std::size_t> offsets = {0, 7, gib4 - 1, gib4, gib4 + 5, 3 * gib4 + 1,
                                              3 * gib4 + 1, 5 * gib4};
    for (std::size_t i = 0; i < offsets.size(); ++i)
        lines.push_back(offsets[i], static_cast<int>(i));
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        EXPECT_EQ(lines[i].offset, offsets[i]);
        EXPECT_EQ(lines[i].lineNo, static_cast<int>(i));
    }
}

} // namespace
