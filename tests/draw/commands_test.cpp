// The drawing commands, seen through the trace of the fake-metrics surface: a half-width
// character is one em / 2 wide, every line one em high, and the em is 2 × the font
// height (240 logical units for the default 12 pt).
#include "support/pagerun.h"

#include "engine/codepage.h"

#include <gtest/gtest.h>

namespace {

const std::string kFormat = "\n      コマンドのフォーマットが間違っています\n";
const std::string kRange = "\n      数値が範囲外です\n";
const std::string kMincho = "font=\"ＭＳ 明朝\",120,400,0,0 color=000000 ";

TEST(Position, PositionOffsetOriginColour)
{
    PageRun run("position 100 200\nrposition -20 5\norigin 9\nporigin 5\ncolor 255 0 128");
    EXPECT_EQ(run.engine->posX, 80);
    EXPECT_EQ(run.engine->posY, 205);
    EXPECT_EQ(run.engine->textOriginCol, 2);
    EXPECT_EQ(run.engine->textOriginRow, 2);
    EXPECT_EQ(run.engine->imageOriginCol, 1);
    EXPECT_EQ(run.engine->imageOriginRow, 1);
    EXPECT_EQ(run.engine->color, 0x8000FFu);

    // The offset is the adjustment plus the last offset given, not their sum.
    FixedProfile adjusted(-30, -15);
    PageRun once("offset 100 50", 1, &adjusted);
    EXPECT_EQ(once.engine->offsetX, 70);
    EXPECT_EQ(once.engine->offsetY, 35);
    PageRun twice("offset 100 50\noffset 0 0", 1, &adjusted);
    EXPECT_EQ(twice.engine->offsetX, -30);
    EXPECT_EQ(twice.engine->offsetY, -15);

    PageRun bad("origin 2\norigin 0\norigin 10\norigin\ncolor 1 2 3\ncolor 256 0 0\ncolor 1 2\n"
                "position 1 2 3\noffset 5");
    EXPECT_EQ(bad.engine->textOriginCol, 1);
    EXPECT_EQ(bad.engine->color, 0x030201u);
    EXPECT_EQ(bad.errors(), "(2) origin 0" + kRange + "(3) origin 10" + kRange + "(4) origin" +
                                kFormat + "(6) color 256 0 0" + kRange + "(7) color 1 2" +
                                kFormat + "(8) position 1 2 3" + kFormat + "(9) offset 5" +
                                kFormat);
}

TEST(Text, AnchorsPlaceTheBlock)
{
    EXPECT_EQ(PageRun("position 100 100\n:.AB\n*").trace(),
              "text 566 566 806 806 center " + kMincho + "\"AB\"\n");
    EXPECT_EQ(PageRun("position 100 100\norigin 9\n:.AB\n*").trace(),
              "text 326 326 566 566 center " + kMincho + "\"AB\"\n");
    // Italic text gets room for its slant; the offset moves the block.
    EXPECT_EQ(PageRun("offset 100 0\nitalic 1\n:.AB\n*").trace(),
              "text 566 0 926 240 center font=\"ＭＳ 明朝\",120,400,1,0 color=000000 \"AB\"\n");
}

TEST(Text, RegistrationForms)
{
    PageRun run(":.ABC\n*\n*");
    EXPECT_EQ(run.trace(), "text 0 0 360 240 center " + kMincho + "\"ABC\"\n"
                           "text 0 0 360 240 center " + kMincho + "\"ABC\"\n");
    EXPECT_EQ(run.engine->text.view(), "ABC");
    EXPECT_EQ(PageRun(":.A\n:&B\n:+C").engine->text.view(), "AB\nC");
    EXPECT_EQ(PageRun(":.  two\tblanks ").engine->text.view(), "  two blanks ");
    EXPECT_EQ(PageRun(":.x\n:.").engine->text.view(), "");
    EXPECT_EQ(cp932::ToUtf8(std::string(PageRun(":|あいう").engine->text.view())), "あ\nい\nう");
    PageRun both(":.x\n::");
    EXPECT_EQ(both.engine->text.view(), "");
    EXPECT_EQ(both.trace(), "text 0 0 0 240 center " + kMincho + "\"\"\n");
    EXPECT_EQ(PageRun("::Hi").trace(), "text 0 0 240 240 center " + kMincho + "\"Hi\"\n");
}

TEST(Text, RunsTakeSuccessiveLinesAndMove)
{
    PageRun run("position 0 100\n:.A\n:+B\n:+C\n* 0 100 5");
    EXPECT_EQ(run.trace(), "text 0 566 120 806 center " + kMincho + "\"A\"\n"
                           "text 0 1133 120 1373 center " + kMincho + "\"B\"\n"
                           "text 0 1700 120 1940 center " + kMincho + "\"C\"\n"
                           "text 0 2267 120 2507 center " + kMincho + "\"C\"\n"
                           "text 0 2834 120 3074 center " + kMincho + "\"C\"\n");
    EXPECT_EQ(run.engine->text.view(), "C");
    EXPECT_EQ(run.engine->posY, 600);

    PageRun spread("position 100 100\n:.x\n* 200 100 -3");
    EXPECT_EQ(spread.trace(), "text 566 566 686 806 center " + kMincho + "\"x\"\n"
                              "text 850 566 970 806 center " + kMincho + "\"x\"\n"
                              "text 1133 566 1253 806 center " + kMincho + "\"x\"\n");
    EXPECT_EQ(spread.engine->posX, 200);
    PageRun once(":.x\n* 50 0 -1");
    EXPECT_EQ(once.trace(), "text 0 0 120 240 center " + kMincho + "\"x\"\n");
    EXPECT_EQ(once.engine->posX, 50);
    PageRun none(":.x\n* 10 0 0");
    EXPECT_EQ(none.trace(), "");
    EXPECT_EQ(none.engine->posX, 0);
    EXPECT_EQ(PageRun(":.x\n* 10 0").engine->posX, 10);
    EXPECT_EQ(PageRun("* 1 2 3 4\n* 10").errors(), "(1) * 1 2 3 4" + kFormat + "(2) * 10" + kFormat);
}

TEST(Text, MeasuringRecordsSizesWithoutDrawing)
{
    PageRun run(":.ABCD\n:+Z\n**\n$aa sw\n$ab sh");
    EXPECT_EQ(run.trace(), "");
    EXPECT_EQ(run.engine->text.view(), "Z");
    EXPECT_EQ(run.engine->lastTextWidth, 84);  // 480 logical units
    EXPECT_EQ(run.engine->lastTextHeight, 42); // 240 logical units
    // Integers do not change the recorded size.
    PageRun numbers(":.AB\n**\nhnumber 123456");
    EXPECT_EQ(numbers.engine->lastTextWidth, 42);
}

TEST(Text, VerticalStackingAndSidewaysFaces)
{
    PageRun sideways("/@ＭＳ 明朝\nvertical 1\nposition 100 100\n:.ABCD\n*");
    EXPECT_EQ(sideways.trace(), "text 806 566 566 1046 left font=\"@ＭＳ 明朝\",120,400,0,2700 "
                                "color=000000 \"ABCD\"\n");
    EXPECT_EQ(sideways.engine->lastTextWidth, 42);
    EXPECT_EQ(sideways.engine->lastTextHeight, 84);
    EXPECT_EQ(PageRun("/@ＭＳ 明朝\norigin 9\nposition 100 100\n:.ABCD\n*").trace(),
              "text 566 86 326 566 left font=\"@ＭＳ 明朝\",120,400,0,2700 color=000000 "
              "\"ABCD\"\n");
}

TEST(Text, FontCommands)
{
    EXPECT_EQ(PageRun("bold 1\n:.A\n*").trace(),
              "text 0 0 120 240 center font=\"ＭＳ 明朝\",120,700,0,0 color=000000 \"A\"\n");
    EXPECT_EQ(PageRun("/   Arial  \nbold 5\n:.A\n*").trace(),
              "text 0 0 120 240 center font=\"Arial\",120,900,0,0 color=000000 \"A\"\n");
    PageRun sizes("fsize 10\n$aa 0\nfsize 9\nfsize 2001\nfsize 1 2");
    EXPECT_EQ(sizes.engine->fontSize, 28);
    EXPECT_EQ(sizes.errors(), "(3) fsize 9" + kRange + "(4) fsize 2001" + kRange +
                                  "(5) fsize 1 2" + kFormat);
    EXPECT_EQ(PageRun("fsize 2000").engine->fontSize, 5669);
    PageRun names("/\n/NoSuchFace\n/@Arial\n/" + std::string(40, 'x'));
    EXPECT_EQ(names.errors(), "(1) /" + kFormat + "(2) /NoSuchFace\n      フォントがありません\n"
                              "(3) /@Arial\n      フォントがありません\n"
                              "(4) /" + std::string(40, 'x') + "\n      フォントがありません\n");
    EXPECT_EQ(cp932::ToUtf8(names.engine->fontName), "ＭＳ 明朝");
}

TEST(Text, InclineTurnsAboutTheDisplayPosition)
{
    EXPECT_EQ(PageRun("position 100 50\n:.Go\nincline -90").trace(),
              "textout 566 283 font=\"ＭＳ 明朝\",120,400,0,2700 color=000000 \"Go\"\n");
    EXPECT_EQ(PageRun(":.Go\nincline 360\nincline 45\n:.\nincline 10").trace(),
              "textout 0 0 font=\"ＭＳ 明朝\",120,400,0,0 color=000000 \"Go\"\n"
              "textout 0 0 font=\"ＭＳ 明朝\",120,400,0,450 color=000000 \"Go\"\n");
}

TEST(Numbers, FormatsAndFullWidth)
{
    EXPECT_EQ(PageRun("hnumber -5").trace(), "text 0 0 240 240 center " + kMincho + "\"-5\"\n");
    EXPECT_EQ(PageRun("fnumber -5").trace(), "text 0 0 480 240 center " + kMincho + "\"－５\"\n");
    EXPECT_EQ(PageRun("=%03d\nhnumber 7").trace(), "text 0 0 360 240 center " + kMincho + "\"007\"\n");
    EXPECT_EQ(PageRun("=No.%d 100%%\nhnumber 3").trace(),
              "text 0 0 1080 240 center " + kMincho + "\"No.3 100%\"\n");
    PageRun formats("=\n=%s\n=%d%d\n=%n\n=%ld\n=%99999d\n=%-+5x");
    EXPECT_EQ(formats.errors(), "(1) =" + kFormat + "(2) =%s" + kFormat + "(3) =%d%d" + kFormat +
                                    "(4) =%n" + kFormat + "(6) =%99999d" + kFormat);
    EXPECT_EQ(formats.engine->numberFormat, "%-+5x");
}

TEST(Numbers, RunsAndTargets)
{
    PageRun down("position 100 100\nhnumber 1 1 3 0 100");
    EXPECT_EQ(down.trace(), "text 566 566 686 806 center " + kMincho + "\"1\"\n"
                            "text 566 1133 686 1373 center " + kMincho + "\"2\"\n"
                            "text 566 1700 686 1940 center " + kMincho + "\"3\"\n");
    EXPECT_EQ(down.engine->posY, 400);
    PageRun bad("hnumber 1 1 0 10 10\nhnumber 1 1\nhnumber 1 1 5 0\nhnumber 1 1 5 0 0 0");
    EXPECT_EQ(bad.trace(), "");
    EXPECT_EQ(bad.errors(), "(2) hnumber 1 1" + kFormat + "(3) hnumber 1 1 5 0" + kFormat +
                                "(4) hnumber 1 1 5 0 0 0" + kFormat);
}

TEST(Numbers, StringsAppendAndStackOnlyAsText)
{
    EXPECT_EQ(PageRun(":.No.\nhstring 12").engine->text.view(), "No.12");
    EXPECT_EQ(cp932::ToUtf8(std::string(PageRun(":.No.\nfstring 12").engine->text.view())),
              "No.１２");
    EXPECT_EQ(PageRun("vertical 1\nhnumber 123").trace(),
              "text 0 0 360 240 center " + kMincho + "\"123\"\n");
    EXPECT_EQ(PageRun("vertical 1\n:.\nhstring 123\n*").trace(),
              "text 0 0 120 720 center " + kMincho + "\"1\\n2\\n3\"\n");
}

TEST(Lines, PenWidthsAndStyles)
{
    EXPECT_EQ(PageRun("lwidth 5\nlwidth -2\nline 0 0 100 0").trace(),
              "line 0 0 566 0 pen=2,0,000000\n");
    PageRun bad("lwidth 1000\nlwidth 1001\nlwidth -5\nlwidth\nlwidth 3 4\nline 1 2 3\nline 1 2 3 4 5");
    EXPECT_EQ(bad.engine->lineWidth, 1000);
    EXPECT_EQ(bad.errors(), "(2) lwidth 1001" + kRange + "(3) lwidth -5" + kRange + "(4) lwidth" +
                                kFormat + "(5) lwidth 3 4" + kFormat + "(6) line 1 2 3" + kFormat +
                                "(7) line 1 2 3 4 5" + kFormat);
}

TEST(Lines, RulesStepAndSpread)
{
    EXPECT_EQ(PageRun("hrange 0 1000\nhline 100 50 3\nhline 100 50 0").trace(),
              "line 0 566 5669 566 pen=0,0,000000\nline 0 850 5669 850 pen=0,0,000000\n"
              "line 0 1133 5669 1133 pen=0,0,000000\n");
    EXPECT_EQ(PageRun("hline 200 500 -1\nhline 300 0 -4").trace(),
              "line 0 1133 0 1133 pen=0,0,000000\nline 0 1700 0 1700 pen=0,0,000000\n"
              "line 0 1133 0 1133 pen=0,0,000000\nline 0 566 0 566 pen=0,0,000000\n"
              "line 0 0 0 0 pen=0,0,000000\n");
    EXPECT_EQ(PageRun("vrange 500 100\nvline 10").trace(), "line 56 2834 56 566 pen=0,0,000000\n");
    EXPECT_EQ(PageRun("hrange 0 100\noffset 20 0\nhline 0").trace(),
              "line 113 0 680 0 pen=0,0,000000\n");
    EXPECT_EQ(PageRun("hline 100 50\nhline 1 2 3 4").errors(),
              "(1) hline 100 50" + kFormat + "(2) hline 1 2 3 4" + kFormat);
}

TEST(Shapes, Rectangles)
{
    EXPECT_EQ(PageRun("lrectangle 100 100 0 0\nlrectangle 0 0 100 100 0").trace(),
              "rect 0 0 566 566 pen=0,0,000000 brush=none\n"
              "rect 0 0 566 566 pen=0,0,000000 brush=none\n");
    EXPECT_EQ(PageRun("lrectangle 0 0 100 50 30\nlrectangle 0 0 100 100 -1\nfrectangle 1 2 3\n"
                      "frectangle 1 2 3 4 5 6")
                  .errors(),
              "(1) lrectangle 0 0 100 50 30" + kRange + "(2) lrectangle 0 0 100 100 -1" + kRange +
                  "(3) frectangle 1 2 3" + kFormat + "(4) frectangle 1 2 3 4 5 6" + kFormat);
}

TEST(Shapes, CirclesAndQuarters)
{
    const std::string arc1 = "arc 283 283 850 850 850 566 566 283 pen=0,0,000000\n";
    EXPECT_EQ(PageRun("lcircle 100 100 50 1").trace(), arc1);
    EXPECT_EQ(PageRun("lcircle 150 50 50 -1").trace(), arc1);
    const std::string full = "arc 283 283 850 850 850 566 850 566 pen=0,0,000000\n";
    EXPECT_EQ(PageRun("lcircle 100 100 50 0\nlcircle 100 100 50 7\nlcircle 100 100 50 -7").trace(),
              full + full + full);
    EXPECT_EQ(PageRun("fcircle 100 100 50 2\nfcircle 100 100 50\nfcircle 100 100 50 5").trace(),
              "pie 283 283 850 850 566 283 283 566 brush=000000\n"
              "ellipse 283 283 850 850 brush=000000\n"
              "pie 283 283 850 850 850 566 850 566 brush=000000\n");
    EXPECT_EQ(PageRun("lcircle 100 100 -5\nlcircle 1 2 3 4 5\nlcircle 1 2").errors(),
              "(1) lcircle 100 100 -5" + kRange + "(2) lcircle 1 2 3 4 5" + kFormat +
                  "(3) lcircle 1 2" + kFormat);
}

TEST(Shapes, HugeCoordinatesStayDefined)
{
    PageRun run("offset 2147483647 2147483647\nline -2147483648 0 2147483647 1\n"
                "lcircle 2147483647 2147483647 2147483647 -1\nposition 2147483647 2147483647\n"
                ":.x\n* 2147483647 2147483647 3\nhline 0 2147483647 -3");
    EXPECT_EQ(run.errors(), "");
    EXPECT_NE(run.trace().find(" 2147483647 "), std::string::npos);
}

} // namespace
