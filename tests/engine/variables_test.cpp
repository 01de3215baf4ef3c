// Variables, abbreviations, store and restore, and the dispatcher's line forms.
#include "support/pagerun.h"

#include "engine/bounds.h"
#include "engine/expression.h"

#include <gtest/gtest.h>

namespace {

std::string abbr(const PageRun &run, const char *name)
{
    return run.engine->abbreviations[VariableIndex(name)];
}

const char *kFormat = "コマンドのフォーマットが間違っています";

TEST(Variables, AssignmentForms)
{
    PageRun run("$aa 5\n$bb $aa*2\n$CC=$bb+1\n$dd==3\n"
                "position 120 -30\n$ex x\n$ey y\n$ep p\n$ed d\n$ew w\n$eh h\n"
                ":.AB\n:+C\n$sa *\n$sb :+\n$sc :&\n{ab}hello\n$sd {ab}\n$se {zz}\n"
                ":.あい\n$ta *\n$tb :&\n:.\n$tc :+\n$td *");
    // The registered string's bytes (*), lines (:+) and characters (:&).
    for (const auto &[name, value] :
         {std::pair{"aa", 5}, {"bb", 10}, {"cc", 11}, {"dd", 3}, {"ex", 120}, {"ey", -30},
          {"ep", 1}, {"ed", 0}, {"ew", 2100}, {"eh", 2970}, {"sa", 2}, {"sb", 2}, {"sc", 2},
          {"sd", 5}, {"se", 0}, {"ta", 4}, {"tb", 2}, {"tc", 1}, {"td", 0}})
        EXPECT_EQ(run.var(name), value) << name;
    EXPECT_EQ(run.errors(), "");
}

TEST(Variables, BadAssignmentsKeepTheValue)
{
    PageRun run("$aa 4\n$aa\n$aa 1 2\n$aa 1/0\n$aa q");
    EXPECT_EQ(run.var("aa"), 4);
    EXPECT_EQ(run.errors(), std::string("(2) $aa\n      ") + kFormat + "\n" +
                                "(3) $aa 1 2\n      " + kFormat + "\n" +
                                "(4) $aa 1/0\n      数式内でゼロ除算がありました\n"
                                "(5) $aa q\n      数式に対象外の文字が含まれています\n");
}

TEST(Abbreviations, DefinitionExpansionAndTheSelfReference)
{
    PageRun run("{ab}hello\n:.{{ab}} world\n{cd}{{ab}}\n{ef}{{ef}}\n{Gh}x{{AB}}y");
    EXPECT_EQ(run.engine->text.view(), "hello world");
    EXPECT_EQ(abbr(run, "cd"), "hello");
    EXPECT_EQ(abbr(run, "ef"), "{{ef}}");
    EXPECT_EQ(abbr(run, "gh"), "xhelloy");

    // An abbreviation holding a command runs it; a self reference expands only once.
    PageRun draws("{ab}line 0 0 10 10\n{{ab}}");
    EXPECT_EQ(draws.trace(), "line 0 0 56 56 pen=0,0,000000\n");
    PageRun once("{ab}{{ab}}\n{{ab}}");
    EXPECT_EQ(once.errors(), "(2) {{ab}}\n      定義されていないコマンドです\n");
}

TEST(Abbreviations, GrowthStopsAtTheBound)
{
    // Each definition doubles the value; the bound stops it with error 22 and keeps the
    // last value that fitted.
    std::string text = "{ab}0123456789abcdef\n";
    for (int i = 0; i < 40; ++i)
        text += "{ab}{{ab}}{{ab}}\n";
    PageRun run(text);
    EXPECT_LE(abbr(run, "ab").size(), kMaxTextBytes);
    EXPECT_GE(abbr(run, "ab").size(), kMaxTextBytes / 2);
    EXPECT_NE(run.errors().find("数値が範囲外です"), std::string::npos);
}

TEST(Abbreviations, TogetherTheyStayWithinTheirBound)
{
    // Half the largest value, copied into other slots: all slots together, and each save
    // area, hold at most eight of it; the line that would pass that fails and changes nothing.
    std::string text = "{aa}0123456789abcdef\n";
    for (int i = 0; i < 15; ++i)
        text += "{aa}{{aa}}{{aa}}\n";
    for (const char *slot : {"ab", "ac", "ad", "ae", "af", "ag", "ah", "ai"})
        text += "{" + std::string(slot) + "}{{aa}}\n";
    text += "cstore\n{aa}\n{ai}{{ab}}\ncstore ai ai\ncrestore aa aa\n";
    PageRun run(text);
    ASSERT_EQ(abbr(run, "ab").size(), kMaxTextBytes / 2);
    ASSERT_EQ(kMaxAbbreviationBytes, 4 * kMaxTextBytes);
    const std::string range = "\n      数値が範囲外です\n";
    EXPECT_EQ(run.errors(), "(24) {ai}{{aa}}" + range + "(28) cstore ai ai" + range +
                                "(29) crestore aa aa" + range);
    EXPECT_EQ(abbr(run, "aa"), "");
    EXPECT_EQ(abbr(run, "ai").size(), kMaxTextBytes / 2);
}

TEST(Store, RangesWrapAndLevelsKeepTheirOwn)
{
    PageRun run("$aa 1\n$bb 2\n$zz 26\nstore aa bb\nstore zz aa\n$aa 9\n$bb 9\n$zz 9\n"
                "restore aa bb\n# keep numbering\n$zz 8\nrestore zz aa\nstore aa\nstore aa bb cc");
    EXPECT_EQ(run.var("aa"), 1);
    EXPECT_EQ(run.var("bb"), 2);
    EXPECT_EQ(run.var("zz"), 26);
    EXPECT_NE(run.errors().find("(13) store aa"), std::string::npos);
    EXPECT_NE(run.errors().find("(14) store aa bb cc"), std::string::npos);

    PageRun strings("{ab}one\ncstore\n{ab}two\n{cd}x\ncrestore ab ab");
    EXPECT_EQ(abbr(strings, "ab"), "one");
    EXPECT_EQ(abbr(strings, "cd"), "x");
    PageRun all("$aa 3\n$mm 4\nstore\n$aa 0\n$mm 0\nrestore");
    EXPECT_EQ(all.var("aa"), 3);
    EXPECT_EQ(all.var("mm"), 4);
}

TEST(Dispatcher, KeywordsByTheirFirstThreeLetters)
{
    for (const auto &[line, color] :
         {std::pair{"colour 255 0 0", 255u}, {"colx 0 255 0", 0xFF00u}, {"COLOR 0 0 255", 0xFF0000u}})
        EXPECT_EQ(PageRun(line).engine->color, color) << line;
    // Indented commands are malformed; indented comments are fine.
    PageRun indented("  line 0 0 10 10\n\t# fine\n\n   \n#");
    EXPECT_EQ(indented.trace(), "");
    EXPECT_EQ(indented.errors(), std::string("(1)   line 0 0 10 10\n      ") + kFormat + "\n");
    EXPECT_EQ(PageRun(":x\n** 1 2\nli 1\n$$\n$a 1").errors(),
              "(1) :x\n      定義されていないコマンドです\n"
              "(2) ** 1 2\n      定義されていないコマンドです\n"
              "(3) li 1\n      定義されていないコマンドです\n"
              "(4) $$\n      定義されていないコマンドです\n"
              "(5) $a 1\n      定義されていないコマンドです\n");
}

TEST(Dispatcher, EndMarkerAndAnyBytes)
{
    PageRun stops(std::string("line 0 0 1 1\r\n\x1A\r\nline 0 0 2 2\r\n"), 1, nullptr, true);
    EXPECT_EQ(stops.trace(), "line 0 0 5 5 pen=0,0,000000\n");
    // NUL bytes, lone lead bytes and control bytes are reported, never read past.
    std::string odd("li\0ne 0\r\n\x82\r\n\x01\x02\r\n$aa \x82", 21);
    PageRun run(odd, 1, nullptr, true);
    EXPECT_EQ(run.errors().substr(0, 4), "(1) ");
    EXPECT_NE(run.errors().find("(4) "), std::string::npos);
}

} // namespace
