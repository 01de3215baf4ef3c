// Picture commands and picture placement, seen through the trace.
#include "image/imagefixtures.h"
#include "support/pagerun.h"
#include "support/tempfolder.h"

#include "draw/imagedraw.h"
#include "engine/expression.h"

#include <gtest/gtest.h>

namespace {

const std::string kFormat = "\n      コマンドのフォーマットが間違っています\n";
const std::string kRange = "\n      数値が範囲外です\n";
const std::string kNoFile = "\n      ファイルがありません\n";
const std::string kBadImage = "\n      画像ファイルに異常があります\n";

// A folder holding pictures, and page runs with it as the document's folder.
class Pictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.write("p960.bmp", fixtures::Bmp24(960, 480));
        dir.write("p640.bmp", fixtures::Bmp24(640, 480));
        dir.write("p1000.bmp", fixtures::Bmp24(1000, 500));
        dir.write("small.bmp", fixtures::Bmp24(20, 10));
    }
    PageRun run(const std::string &page)
    {
        return PageRun(page, [&](DrawingView &view) {
            view.baseFolder = dir.path();
            std::vector<std::uint32_t> pixels(8, 0xFF00FF00);
            view.clipSlots.Fill(3, 4, 2, pixels);
        });
    }
    int variable(const PageRun &r, const char *name)
    {
        return r.engine->variables[VariableIndex(name)];
    }
    TempFolder dir;
};

TEST_F(Pictures, SizesOnThePage)
{
    PageRun automatic = run("!!%With%p960.bmp\n$aa iw\n$ab ih\n$ac ipw\n$ad iph");
    EXPECT_EQ(automatic.trace(), ""); // measuring draws nothing
    EXPECT_EQ(variable(automatic, "aa"), 2540);
    EXPECT_EQ(variable(automatic, "ab"), 1270);
    EXPECT_EQ(variable(automatic, "ac"), 960);
    EXPECT_EQ(variable(automatic, "ad"), 480);

    PageRun wide = run("psize 1000 0\n!!%With%p960.bmp\n$aa iw\n$ab ih");
    EXPECT_EQ(variable(wide, "aa"), 999);
    EXPECT_EQ(variable(wide, "ab"), 499);

    EXPECT_EQ(run("psize 0 500\n!%With%p640.bmp").trace(),
              "image 0 0 3778 2834 src=0,0,640,480 turn=0 picture=640x480 scaled=640x480\n");

    PageRun turned = run("psize 0 0 0 2\n!%With%p640.bmp\n$ac ipw\n$ad iph");
    EXPECT_EQ(variable(turned, "ac"), 480);
    EXPECT_EQ(variable(turned, "ad"), 640);
    EXPECT_EQ(turned.trace(),
              "image 0 0 7200 9600 src=0,0,640,480 turn=1 picture=640x480 scaled=640x480\n");
}

TEST_F(Pictures, PictureSizeChecksItsArguments)
{
    PageRun bad = run("psize 100 50 30\npsize 0 50 30\npsize 10 10 0 0\npsize 10 10 0 5\n"
                      "psize -1 0\npsize 1 2 0 1 5\npsize 1");
    EXPECT_EQ(bad.errors(), "(1) psize 100 50 30" + kRange + "(2) psize 0 50 30" + kRange +
                                "(3) psize 10 10 0 0" + kRange + "(4) psize 10 10 0 5" + kRange +
                                "(5) psize -1 0" + kRange + "(6) psize 1 2 0 1 5" + kFormat +
                                "(7) psize 1" + kFormat);
    EXPECT_EQ(bad.engine->imageDirection, 1);

    PageRun good = run("psize 0 0 30\npsize 10 10 0 -3");
    EXPECT_EQ(good.errors(), "");
    EXPECT_EQ(good.engine->imageDirection, 3);
    EXPECT_EQ(good.engine->imageDirectionNegative, 1);
    EXPECT_EQ(good.engine->imageRadius, 0); // the later psize reset it
}

TEST_F(Pictures, CutToThePaperAndRoundedCorners)
{
    // 30 mm left of the paper: the first column shown is (-566 + 1700) × 1000 / 15000.
    EXPECT_EQ(run("position -300 0\n!%With%p1000.bmp").trace(),
              "image -566 0 13038 7500 src=75,0,869,500 turn=0 picture=1000x500 "
              "scaled=869x500\n");
    // Wholly outside: nothing drawn, the size measured all the same.
    PageRun outside = run("position -5000 0\n!%With%p1000.bmp\n$aa iw");
    EXPECT_EQ(outside.trace(), "");
    EXPECT_EQ(variable(outside, "aa"), 2645);

    const std::string corners = "corner 566 566 113 FFFFFF\ncorner 566 1586 113 FFFFFF\n"
                                "corner 2153 1586 113 FFFFFF\ncorner 2153 566 113 FFFFFF\n";
    const std::string rounded = run("psize 300 200 20\nposition 100 100\n!%With%small.bmp").trace();
    EXPECT_EQ(rounded.substr(rounded.find('\n') + 1), corners);
}

TEST_F(Pictures, ImageLineForms)
{
    const std::string slot = "image 0 0 60 30 src=0,0,4,2 turn=0 picture=4x2 scaled=4x2\n";
    PageRun slots = run("!3\n!3x\n!3 x\n!3,#x\n!3　# logo\n!5\n!");
    EXPECT_EQ(slots.trace(), slot + slot + slot + slot + slot);
    EXPECT_EQ(slots.errors(), "(3) !3 x" + kFormat);

    PageRun again = run("!\n!!%With%small.bmp\n!");
    EXPECT_EQ(again.errors(), "");
    EXPECT_EQ(again.trace(), "image 0 0 300 150 src=0,0,20,10 turn=0 picture=20x10 scaled=20x10\n");

    PageRun names = run("!! %With%small.bmp\n!%With%small.bmp # note\n!%With%nothing.bmp");
    EXPECT_EQ(names.errors(), "(1) !! %With%small.bmp" + kNoFile +
                                  "(2) !%With%small.bmp # note" + kNoFile +
                                  "(3) !%With%nothing.bmp" + kNoFile);
}

TEST_F(Pictures, CacheKeepsOneDecodingPerJobAndName)
{
    dir.write("broken.bmp", "BM not really a bitmap");
    dir.write("photo.jpg", "\xFF\xD8\xFF not decodable without plug-ins");
    PageRun bad = run("!%With%broken.bmp\n!%With%photo.jpg\n!%With%small.bmp\n!%With%SMALL.bmp");
    EXPECT_EQ(bad.errors(), "(1) !%With%broken.bmp" + kBadImage + "(2) !%With%photo.jpg" +
                                kBadImage);
    // Failures are not kept; two spellings of one file are two entries.
    EXPECT_EQ(bad.view.imageCache.size(), 2u);

    DrawingView view;
    NullSurface surface;
    PrintJob job(view);
    ASSERT_EQ(job.Prepare(CommandFile("!%With%small.bmp\npage\n!%With%small.bmp"), true,
                          dir.path() + "form.zent"),
              2);
    job.Begin(2100, 2970);
    job.PrintPage(surface, 1);
    ASSERT_EQ(view.imageCache.size(), 1u);
    const FileImage *decoded = view.imageCache.begin()->second.get();
    job.PrintPage(surface, 2);
    EXPECT_EQ(view.imageCache.begin()->second.get(), decoded);
    EXPECT_FALSE(job.End());
    EXPECT_TRUE(view.imageCache.empty());
}

TEST(ImagePlan, IntermediateLimitOnlyInPreview)
{
    ImageGeometry g;
    g.w = 4000 * 15;
    g.h = 3000 * 15;
    g.pw = g.pictureWidth = 4000;
    g.ph = g.pictureHeight = 3000;
    g.paperWidth = 20000;
    g.paperHeight = 20000;
    std::optional<ImagePlan> printing = PlanImage(g);
    ASSERT_TRUE(printing);
    EXPECT_EQ(printing->part.iw, 4000);
    EXPECT_EQ(printing->part.ih, 3000);

    g.pixelLimit = 1920 * 1080;
    g.limitSide = 1440;
    std::optional<ImagePlan> preview = PlanImage(g);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->part.iw, 1662);
    EXPECT_EQ(preview->part.ih, 1247);

    // A sliver thinner than one pixel of the picture at the paper's far side draws nothing.
    g.x = 113951;
    EXPECT_FALSE(PlanImage(g));
}

TEST(ImagePlan, VisiblePartFollowsTheTurn)
{
    // The right half of the box is beyond the paper: for a quarter turn the visible
    // columns of the drawing are rows of the picture.
    ImageGeometry g;
    g.x = 0;
    g.w = 2000;
    g.h = 1000;
    g.pw = 200;
    g.ph = 100;
    g.pictureWidth = 100;
    g.pictureHeight = 200;
    g.direction = 2;
    g.paperWidth = 0; // the cut lies at 10 mm: 566
    g.paperHeight = 2000;
    std::optional<ImagePlan> plan = PlanImage(g);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->w, 566);
    // Drawn columns 0-55 are the picture's rows 0-55; direction 2 flips the columns.
    EXPECT_EQ(plan->part.u0, 0);
    EXPECT_EQ(plan->part.uw, 100);
    EXPECT_EQ(plan->part.v0, 0);
    EXPECT_EQ(plan->part.vh, 56);
    g.direction = 4;
    plan = PlanImage(g);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->part.v0, 200 - 56);
}

} // namespace
