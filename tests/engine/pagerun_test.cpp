// The page run of the interpreter alone: page count, sections, initialisation passes and
// the error list.
#include "support/enginerun.h"

#include "engine/expression.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(PageRun, CountsPagesAndCutsSections)
{
    EXPECT_EQ(CountPages(""), 1);
    EXPECT_EQ(CountPages(CommandFile("x1\npage\nx3")), 2);
    EXPECT_EQ(CountPages(CommandFile("page\nx2")), 2);
    EXPECT_EQ(CountPages(CommandFile("a\nPAGE\nb\nPaGe 2\nc")), 3);
    EXPECT_EQ(CountPages(CommandFile("a\n pag\npagx")), 2);

    // The error of the line each page runs; a text that begins with a page line has an
    // empty first page, and a page beyond the last runs nothing.
    const std::string undefined = "\n      定義されていないコマンドです\n";
    for (const auto &[text, page, error] :
         {std::tuple{"", 1, ""}, {"x1\npage\nx3", 1, "(1) x1"}, {"x1\npage\nx3", 2, "(3) x3"},
          {"page\nx2", 1, ""}, {"page\nx2", 2, "(2) x2"}, {"page\nx2\npage\nx4", 3, "(4) x4"},
          {"a1\nPAGE\nb3\npage\nc5", 3, "(5) c5"}, {"a1\npage\nb3", 5, ""},
          {"a1\npage\nb3", 0, "(1) a1"}})
        EXPECT_EQ(EngineRun(text, page).errors(), *error ? error + undefined : "")
            << text << page;
}

TEST(PageRun, InitialisationLinesRunBeforeEveryPage)
{
    const char *text = "$bb 7\n"
                       "skip 1\n"
                       "$$aa 3\n"
                       "page\n"
                       "$cc $aa+1\n"
                       "page\n"
                       "$$dd p\n"
                       "}{ab}Hello\n"
                       "}{AB}x\n";
    EngineRun p1(text, 1);
    EXPECT_EQ(p1.var("aa"), 3);
    EXPECT_EQ(p1.var("bb"), 7);
    EXPECT_EQ(p1.var("dd"), 1);
    EXPECT_EQ(p1.engine->abbreviations[VariableIndex("ab")], "Hello");
    EXPECT_EQ(p1.errors(), "");
    EngineRun p2(text, 2);
    EXPECT_EQ(p2.var("bb"), 0); // a $ line of page 1 does not reach page 2
    EXPECT_EQ(p2.var("cc"), 4);
    EXPECT_EQ(p2.var("dd"), 2);
    // An upper-case }{AB} line is not an initialisation and does nothing on its page.
    EngineRun p3(text, 3);
    EXPECT_EQ(p3.errors(), "");
    // Their errors carry their own lines, also on a page beyond the last.
    EngineRun run("# form\n$$aa 1 2\n$$bb (1\n$$cc 1+1\n}{ab}x\n", 1);
    EXPECT_EQ(run.errors(), "(2) $$aa 1 2\n      コマンドのフォーマットが間違っています\n"
                            "(3) $$bb (1\n      数式の括弧が合っていません\n");
    EXPECT_EQ(run.var("cc"), 2);
    EXPECT_EQ(EngineRun("page\n$$aa (", 9).errors(), "(2) $$aa (\n      数式の括弧が合っていません\n");
}

TEST(PageRun, AdjustmentIsClampedAndStartsTheOffset)
{
    for (const auto &[stored, offset] :
         {std::pair{std::pair{-250, 30}, std::pair{-100, 0}}, {{-30, -15}, {-30, -15}}}) {
        const FixedProfile profile(stored.first, stored.second);
        EngineRun run("", 1, &profile);
        EXPECT_EQ(run.engine->offsetX, offset.first);
        EXPECT_EQ(run.engine->offsetY, offset.second);
    }
}

TEST(ErrorList, EntryFormatAndOneEntryPerLine)
{
    // Tabs become blanks to the next multiple of four columns.
    EXPECT_EQ(EngineRun("a\tb\nab\tc\nabcd\te").errors(),
              "(1) a   b\n      定義されていないコマンドです\n"
              "(2) ab  c\n      定義されていないコマンドです\n"
              "(3) abcd    e\n      定義されていないコマンドです\n");
    // A repeated range reports its failing line once.
    EXPECT_EQ(EngineRun("repeat 1 3\n$aa 1/0").errors(),
              "(2) $aa 1/0\n      数式内でゼロ除算がありました\n");
    // The line is shown as written, before abbreviation expansion.
    EXPECT_EQ(EngineRun("{ab}bad\n{{ab}} 1").errors(),
              "(2) {{ab}} 1\n      定義されていないコマンドです\n");
}

} // namespace
