// Calls and pictures confined to a root folder: every way out is refused like a missing
// file, the way in and everything without a root work as before.
#include "image/imagefixtures.h"
#include "support/pagerun.h"
#include "support/tempfolder.h"

#include "engine/jobfiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kNoFile = "      ファイルがありません\n";
const std::string kOutside = "      ファイルがありません（ルートフォルダの外にあります）\n";

class Root : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.write("secret.zent", CommandFile("line 1 1 2 2"));
        dir.write("secret.bmp", fixtures::Bmp24(4, 4));
        dir.write("root/part.zent", CommandFile("line 0 0 9 9"));
        dir.write("root/pictures/in.bmp", fixtures::Bmp24(4, 4));
        namespace fs = std::filesystem;
        fs::create_symlink(dir.path() + "secret.zent", dir.path() + "root/out.zent");
        fs::create_symlink(dir.path(), dir.path() + "root/up");
        fs::create_symlink(dir.path() + "root/part.zent", dir.path() + "in.zent");
    }
    // The page's error list when it runs as a document in the root, confined or not.
    std::string errors(const std::string &page, bool confined = true)
    {
        PageRun run(page, [&](ViewState &view) {
            view.baseFolder = dir.path() + "root/";
            if (confined)
                view.rootFolder = ResolveRootFolder(dir.path() + "root");
        });
        return run.errors();
    }
    TempFolder dir;
};

TEST_F(Root, WaysOutAreRefusedAsMissingFiles)
{
    struct Case {
        std::string line;
        bool refused;
    };
    const Case cases[] = {
        {"<%With%part.zent", false},
        {"<%With%pictures/../part.zent", false},
        {"!%With%pictures\\in.bmp", false},
        {"<%With%PART.ZENT", false},               // letter case ignored inside the root
        {"<%With%up/root/part.zent", false},       // a link out and back in
        {"<" + dir.path() + "in.zent", false},     // a link from outside into the root
        {"<%With%../secret.zent", true},
        {"<%With%pictures/../../secret.zent", true},
        {"<" + dir.path() + "secret.zent", true},  // absolute
        {"<%With%out.zent", true},                 // a link that leads out
        {"<%With%up/secret.zent", true},           // through a linked folder
        {"!%With%../secret.bmp", true},            // pictures the same way
        {"!" + dir.path() + "secret.bmp", true},
        {"<%With%../missing.zent", true},          // outside tells nothing of existence
    };
    for (const Case &c : cases)
        EXPECT_EQ(errors(c.line), c.refused ? "(1) " + c.line + "\n" + kOutside : "")
            << c.line;
    // Without a root nothing changes.
    for (const char *line : {"<%With%../secret.zent", "<%With%out.zent", "!%With%../secret.bmp"})
        EXPECT_EQ(errors(line, false), "") << line;
    EXPECT_EQ(errors("<%With%missing.zent"), "(1) <%With%missing.zent\n" + kNoFile);
}

TEST_F(Root, CalledFilesAreConfinedToo)
{
    dir.write("root/calls-out.zent", CommandFile("\n<%With%../secret.zent"));
    EXPECT_EQ(errors("<%With%calls-out.zent"),
              "(1) <%With%calls-out.zent\n      呼び出しファイル中でエラーが発生 (2)\n");
    // The list shows the refusal as code 24.
    PageRun run("<../secret.zent", [&](ViewState &view) {
        view.rootFolder = ResolveRootFolder(dir.path() + "root");
    });
    ASSERT_EQ(run.view.errorText.entries().size(), 1u);
    EXPECT_EQ(run.view.errorText.entries()[0].code, 24);
}

} // namespace
