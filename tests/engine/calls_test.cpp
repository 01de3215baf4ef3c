// Calls of other command files, path macros and the look-up of Windows-style paths.
#include "support/pagerun.h"
#include "support/tempfolder.h"

#include "engine/codepage.h"
#include "engine/filepaths.h"
#include "engine/pathmacro.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Runs `page` (UTF-8) with the base folder set to `folder`, as a job for a document saved
// there would.
PageRun RunIn(const TempFolder &folder, const std::string &page)
{
    return PageRun(page, [&](DrawingView &view) { view.baseFolder = folder.path(); });
}

TEST(Calls, CalledFileSharesTheEngineAndHasItsOwnSaveArea)
{
    TempFolder dir;
    dir.write("form.zent", CommandFile("$aa 5\ncolor 1 2 3\nposition 10 20\nrestore\n$bb 9"));
    PageRun run = RunIn(dir, "$zz 7\nstore\n<%With%form.zent\n$cc $aa+$bb");
    EXPECT_EQ(run.errors(), "");
    // The called file's restore had nothing saved: every variable became 0, then it set bb.
    EXPECT_EQ(run.var("zz"), 0);
    EXPECT_EQ(run.var("cc"), 9);
    EXPECT_EQ(run.engine->color, 0x030201u);
    EXPECT_EQ(run.engine->posX, 10);
    EXPECT_EQ(run.engine->posY, 20);
}

// Errors inside a called file are listed at the calling line, by the first failing line's
// number; through two levels, by the inner call and its line.
TEST(Calls, FailuresAtTheCallingLine)
{
    TempFolder dir;
    dir.write("binary.zent", std::string("abc\x01\r\nposition 1 1\r\n"));
    dir.write("bad.zent", CommandFile("position 1 2\nposition 1 2\nbogus\nfsize 0"));
    dir.write("outer.zent", CommandFile("position 1 1\n<%With%inner.zent"));
    dir.write("inner.zent", CommandFile("\n\n\n\nnonsense"));
    PageRun run = RunIn(dir, "<\n<%With%missing.zent\n<%With%binary.zent\n<%With%bad.zent\n"
                             "<%With%outer.zent\nposition 3 4");
    EXPECT_EQ(run.errors(), "(1) <\n      コマンドのフォーマットが間違っています\n"
                            "(2) <%With%missing.zent\n      ファイルがありません\n"
                            "(3) <%With%binary.zent\n      呼び出しファイル中でエラーが発生 (1)\n"
                            "(4) <%With%bad.zent\n      呼び出しファイル中でエラーが発生 (3)\n"
                            "(5) <%With%outer.zent\n      ネスト中(5)%With%inner.zent\n");
    EXPECT_EQ(run.engine->posX, 3);
}

TEST(Calls, SevenLevelsRunAndTheEighthIsRefused)
{
    TempFolder dir;
    for (int level = 1; level <= 8; ++level)
        dir.write("level" + std::to_string(level) + ".zent",
                  CommandFile("$l" + std::string(1, static_cast<char>('a' + level)) + " " +
                              std::to_string(level) + "\n<%With%level" +
                              std::to_string(level + 1) + ".zent"));
    PageRun run = RunIn(dir, "\n<%With%level1.zent");
    // Levels 1 to 7 ran; the `<` line of level 7 (its line 2) was refused.
    EXPECT_EQ(run.var("lh"), 7);
    EXPECT_EQ(run.var("li"), 0);
    EXPECT_EQ(run.errors(), "(2) <%With%level1.zent\n      ネスト超過(2)%With%level7.zent\n");

    // A file that calls itself stops the same way.
    dir.write("self.zent", CommandFile("<%With%self.zent"));
    EXPECT_EQ(RunIn(dir, "<%With%self.zent").errors(),
              "(1) <%With%self.zent\n      ネスト超過(1)%With%self.zent\n");
}

TEST(Calls, WithFollowsTheCalledFileAndWindowsPathsWork)
{
    TempFolder dir;
    // The called file lives in a subfolder and names its neighbour through %With%; the
    // page names it the Windows way, with a backslash and other letter case. A page line
    // and an initialisation line in a called file neither end the page nor stop the file.
    dir.write("sub/b.zent", CommandFile("$aa 1\n<%With%c.zent"));
    dir.write("sub/c.zent", CommandFile("$bb 2"));
    dir.write("d.zent", CommandFile("$cc 3\npage\n$dd 4\n$$ee 5"));
    PageRun run = RunIn(dir, "<%With%SUB\\B.zent\n<%With%d.zent\n$ff 6");
    EXPECT_EQ(run.errors(), "");
    for (const auto &[name, value] :
         {std::pair{"aa", 1}, {"bb", 2}, {"cc", 3}, {"dd", 4}, {"ff", 6}})
        EXPECT_EQ(run.var(name), value) << name;
    EXPECT_EQ(run.view.baseFolder, dir.path());
}

TEST(Calls, OnlyRegularFilesAreRead)
{
    // Opening a FIFO for reading waits for a writer, which would hold the job for good; a
    // device such as /dev/zero never ends. Both are refused as the files they are not.
    TempFolder dir;
    ASSERT_EQ(::mkfifo((dir.path() + "pipe.zent").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir.path() + "pipe.bmp").c_str(), 0600), 0);
    PageRun run = RunIn(dir, "<%With%pipe.zent\n!%With%pipe.bmp\n</dev/zero");
    EXPECT_EQ(run.errors(), "(1) <%With%pipe.zent\n      ファイルがありません\n"
                            "(2) !%With%pipe.bmp\n      画像ファイルに異常があります\n"
                            "(3) </dev/zero\n      ファイルがありません\n");
}

TEST(PathMacros, Expansion)
{
    ViewState view;
    view.documentsFolder = "/home/u/Docs/";
    view.baseFolder = "/work/forms/";
    auto expand = [&](std::string path) {
        ExpandPathMacro(view, path);
        return path;
    };
    EXPECT_EQ(expand("%Documents%\\a.bmp"), "/home/u/Docs/a.bmp");
    EXPECT_EQ(expand("%documents%a.bmp"), "/home/u/Docs/a.bmp");
    EXPECT_EQ(expand("%Dog%a.bmp"), "/home/u/Docs/a.bmp");
    EXPECT_EQ(expand("%WITH%/x.zent"), "/work/forms/x.zent");
    for (const char *unchanged : {"%D%a.bmp", "%DE", "%Desktop%a.bmp", "%Xyz%a.bmp",
                                  "C:\\x\\%Desktop%\\a.bmp", "%Pictures%p.bmp", ""})
        EXPECT_EQ(expand(unchanged), unchanged);
}

TEST(PathMacros, AbbreviationPrefersTheMostSpecificFolder)
{
    ViewState view;
    view.documentsFolder = "/home/u/Docs/";
    view.picturesFolder = "/home/u/Docs/My Pictures/";
    view.programFolder = "/opt/zentova/lib/zentova/";
    view.programFilesFolder = "/opt/zentova/lib/";
    auto abbreviate = [&](std::string path) {
        AbbreviatePath(view, path);
        return path;
    };
    EXPECT_EQ(abbreviate("/home/u/Docs/My Pictures/p.bmp"), "%Pictures%p.bmp");
    EXPECT_EQ(abbreviate("/HOME/u/docs/a.zent"), "%Documents%a.zent");
    EXPECT_EQ(abbreviate("/opt/zentova/lib/zentova/logo.bmp"), "%Zentova%logo.bmp");
    EXPECT_EQ(abbreviate("/opt/zentova/lib/other/x.bmp"), "%ProgramFiles%other/x.bmp");
    EXPECT_EQ(abbreviate("/elsewhere/x.bmp"), "/elsewhere/x.bmp");
    view.baseFolder = "/home/u/Docs/forms/";
    EXPECT_EQ(abbreviate("/home/u/Docs/forms/logo.bmp"), "%With%logo.bmp");
}

TEST(FilePaths, SeparatorsEncodingAndLetterCase)
{
    // The second byte of 表 is a backslash byte and stays part of the character.
    EXPECT_EQ(ToFileSystemPath(cp932::FromUtf8("表\\a\\b.zent")), "表/a/b.zent");
    EXPECT_EQ(FolderOfPath(cp932::FromUtf8("C:\\表\\x.bmp")), cp932::FromUtf8("C:\\表\\"));
    EXPECT_EQ(FolderOfPath(cp932::FromUtf8("表.bmp")), "");

    TempFolder dir;
    const std::string file = dir.write("Forms/Logo.BMP", "x");
    EXPECT_EQ(FindExistingPath(dir.path() + "forms/logo.bmp"), file);
    EXPECT_EQ(FindExistingPath(dir.path() + "Forms/Logo.BMP"), file);
    EXPECT_EQ(FindExistingPath(dir.path() + "forms/missing.bmp"), "");
    EXPECT_EQ(FindExistingPath(""), "");

    std::string data;
    EXPECT_TRUE(ReadWholeFile(file, data, 10));
    EXPECT_EQ(data, "x");
    EXPECT_FALSE(ReadWholeFile(dir.path() + "Forms", data, 10)); // a folder
    dir.write("big.zent", std::string(11, 'a'));
    EXPECT_FALSE(ReadWholeFile(dir.path() + "big.zent", data, 10));
}

} // namespace
