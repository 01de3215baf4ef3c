// The job steps around the page runs.
#include "support/pagerun.h"

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

} // namespace
