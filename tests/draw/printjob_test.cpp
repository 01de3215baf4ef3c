// The job steps around the page runs.
#include "support/pagerun.h"
#include "support/tempfolder.h"

#include "draw/markrecorder.h"
#include "engine/codepage.h"

#include <gtest/gtest.h>

namespace {

// Also when a preview shows a later page first: each page records its errors once.
TEST(PrintJob, ErrorsAreRecordedOnlyOnTheFirstRenderingOfAPage)
{
    DrawingView view;
    NullSurface surface;
    PrintJob job(view);
    ASSERT_EQ(job.Prepare(CommandFile("bad1\npage\nbad3\n$$aa ("), true, "/home/u/forms/a.zent"),
              2);
    EXPECT_EQ(view.baseFolder, "/home/u/forms/");
    EXPECT_TRUE(view.previewing);
    job.Begin(2100, 2970);
    job.PrintPage(surface, 2);
    const std::string afterFirst = view.errorText.str();
    job.PrintPage(surface, 2);
    EXPECT_EQ(view.errorText.str(), afterFirst);
    job.PrintPage(surface, 1);
    job.PrintPage(surface, 2);
    job.PrintPage(surface, 1);
    EXPECT_EQ(cp932::ToUtf8(view.errorText.str()),
              "(4) $$aa (\r\n      数式の括弧が合っていません\r\n"
              "(3) bad3\r\n      定義されていないコマンドです\r\n"
              "(1) bad1\r\n      定義されていないコマンドです\r\n");
    EXPECT_TRUE(job.End());
    job.Begin(2100, 2970);
    EXPECT_TRUE(view.errorText.empty());
}

std::vector<int> linesOf(const std::vector<Mark> &marks)
{
    std::vector<int> lines;
    for (const Mark &mark : marks)
        lines.push_back(mark.line);
    return lines;
}

// Each mark is credited to the line of the page's own text that was running: its own
// line, the line of a repeated range each time it runs, the `*` line for every copy, the
// `<` line for all a called file draws.
TEST(PrintJob, MarksKnowTheLineOfThePageThatDrewThem)
{
    TempFolder folder;
    folder.write("frame.zent", "line 0 0 100 0\r\nlrectangle 0 0 50 50\r\n");
    DrawingView view;
    NullSurface surface;
    PrintJob job(view);
    job.Prepare(CommandFile("line 0 0 100 100\n"
                            "repeat 2 3\n"
                            "fcircle 500 500 10\n"
                            "# a comment draws nothing\n"
                            ":.a\n"
                            ":+b\n"
                            "* 0 100 2\n"
                            "<" + folder.path() + "frame.zent\n"
                            "page\n"
                            "position 100 200\n"
                            ":.abc\n"
                            "*\n"
                            "incline 90\n"),
                true, "");
    job.Begin(2100, 2970);
    MarkRecorder marks;
    job.PrintPage(surface, 1, &marks);
    EXPECT_EQ(linesOf(marks.marks()), (std::vector<int>{1, 3, 3, 3, 7, 7, 8, 8}));
    const Mark &line = marks.marks().front();
    EXPECT_EQ(std::vector<int>({line.left, line.top, line.right, line.bottom}),
              std::vector<int>({0, 0, 566, 566})); // 10 mm is 566 logical units

    job.PrintPage(surface, 2, &marks);
    ASSERT_EQ(linesOf(marks.marks()), (std::vector<int>{12, 13}));
    // The turned text's box is the upright one's turned a quarter: it stands on the
    // position and reaches upwards.
    const Mark upright = marks.marks()[0], turned = marks.marks()[1];
    EXPECT_EQ(turned.right - turned.left, upright.bottom - upright.top);
    EXPECT_EQ(turned.bottom - turned.top, upright.right - upright.left);
    EXPECT_EQ(turned.left, 566);
    EXPECT_EQ(turned.bottom, 1133);
}

} // namespace
