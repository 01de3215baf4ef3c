// skip, nskip, labels, repeat and page lines inside their ranges.
#include "support/pagerun.h"

#include <gtest/gtest.h>

namespace {

// Lines "line 0 0 N N" draw a mark whose end tells which line ran: N page units
// become N × 5.669 logical units.
std::string marks(const PageRun &run)
{
    std::string out;
    std::istringstream in(run.trace());
    for (std::string l; std::getline(in, l);) {
        std::istringstream f(l);
        std::string op;
        int x1, y1, x2;
        f >> op >> x1 >> y1 >> x2;
        out += std::to_string(static_cast<int>(x2 / 5.669291338582677 + 0.5));
    }
    return out;
}

// Which marks each text draws, in order: skips with and without conditions, labels and
// repeated ranges.
TEST(Flow, LinesThatRun)
{
    for (const auto &[text, drawn] : {
             std::pair{"skip 2\nline 0 0 1 1\nline 0 0 2 2\nline 0 0 3 3", "3"},
             {"skip 0\nline 0 0 1 1", "1"},
             {"skip 9\nline 0 0 1 1", ""},
             {"skip 1 $aa == 0\nline 0 0 1 1\nline 0 0 2 2", "2"},
             {"nskip 1 $aa == 0\nline 0 0 1 1\nline 0 0 2 2", "12"},
             {"$aa 1\nskip 1 $aa and $bb\nline 0 0 1 1", "1"},
             {"$aa 1\n$bb 2\nskip 1 $aa AND $bb\nline 0 0 1 1", ""},
             {"skip 1 3 >= 3\nline 0 0 1 1", ""},
             {"skip 1 2 <> 2\nline 0 0 1 1", "1"},
             {"skip 1 0 || 5\nline 0 0 1 1", ""},
             {"skip 1 1 < 0\nline 0 0 1 1", "1"},
             {"skip a\nline 0 0 1 1\nline 0 0 2 2\nline 0 0 3 3\n##A\nline 0 0 4 4", "4"},
             // The earlier of ##c and ##C wins.
             {"skip c\nline 0 0 1 1\n##C\nline 0 0 2 2\n##c\nline 0 0 3 3", "23"},
             {"repeat 2 3\nline 0 0 1 1\nline 0 0 2 2\nline 0 0 3 3", "1212123"},
             {"repeat 2 1\nline 0 0 1 1\nline 0 0 2 2", "12"},
             {"repeat 1 3\nline 0 0 1 1", "111"},
             {"repeat a 2\nline 0 0 1 1\nline 0 0 2 2\n##a\nline 0 0 3 3", "12123"},
             // A skip over the range's last line drops the rest of the repeat.
             {"repeat 2 3\nskip 1\nline 0 0 1 1\nline 0 0 2 2", "2"},
         })
        EXPECT_EQ(marks(PageRun(text)), drawn) << text;

    // Skipped and repeated lines keep their numbers; a skipped line is not expanded.
    EXPECT_EQ(PageRun("skip 2\nline 0 0 1 1\nline 0 0 2 2\nbad").errors(),
              "(4) bad\n      定義されていないコマンドです\n");
    EXPECT_EQ(PageRun("{ab}bad\nskip 1\n{{ab}}").errors(), "");
    EXPECT_EQ(PageRun("repeat 2 2\n$aa $aa+1\nbad").errors(),
              "(3) bad\n      定義されていないコマンドです\n");
    EXPECT_EQ(PageRun("repeat 1 500\n$aa $aa+1").var("aa"), 500);
    // A label on the very next line is not found.
    EXPECT_EQ(PageRun("skip b\n##b\nline 0 0 1 1").errors(),
              "(1) skip b\n      数値が範囲外です\n");
}

TEST(Skip, Errors)
{
    const std::string fmt = "\n      コマンドのフォーマットが間違っています\n";
    PageRun run("skip 1 $aa xor $bb\nline 0 0 1 1\nskip 1 5\nnskip 3\nskip -1\nskip 1 1 = 1 x\n"
                "skip z\nskip 1 1/0 = 1");
    EXPECT_EQ(marks(run), "1");
    EXPECT_EQ(run.errors(), "(1) skip 1 $aa xor $bb" + fmt + "(3) skip 1 5" + fmt +
                                "(4) nskip 3" + fmt +
                                "(5) skip -1\n      数値が範囲外です\n"
                                "(6) skip 1 1 = 1 x" + fmt +
                                "(7) skip z\n      数値が範囲外です\n"
                                "(8) skip 1 1/0 = 1\n      数式内でゼロ除算がありました\n");
}

// A page line inside a skipped or repeated range ends the page there.
TEST(SkipAndRepeat, PageLineInsideTheRange)
{
    for (const auto &[text, error] :
         {std::pair{"skip 3 1 == 2\nline 0 0 1 1\nPAGE\nline 0 0 2 2",
                    "(3) PAGE\n      スキップ範囲内に改ページがあります\n"},
          {"repeat 3 2\nline 0 0 1 1\npage\nline 0 0 2 2",
           "(3) page\n      繰返し範囲内に改ページがあります\n"}}) {
        PageRun run(text);
        EXPECT_EQ(marks(run), "1") << text;
        EXPECT_EQ(run.errors(), error);
    }
}

TEST(Repeat, Errors)
{
    const std::string range = "\n      数値が範囲外です\n";
    PageRun run("repeat 2 501\nrepeat 0 2\nrepeat 1 0\nrepeat 1 2 3\nrepeat q 2\n"
                "line 0 0 1 1\nrepeat 5 2\nline 0 0 1 1");
    EXPECT_EQ(run.errors(), "(1) repeat 2 501" + range + "(2) repeat 0 2" + range +
                                "(3) repeat 1 0" + range +
                                "(4) repeat 1 2 3\n      コマンドのフォーマットが間違っています\n"
                                "(5) repeat q 2" + range + "(7) repeat 5 2" + range);
    PageRun nested("repeat 3 2\nline 0 0 1 1\nrepeat 1 2\nline 0 0 2 2\nline 0 0 3 3");
    EXPECT_EQ(marks(nested), "12123");
    EXPECT_EQ(nested.errors(), "(3) repeat 1 2\n      繰返しが入れ子になっています\n");
}

} // namespace
