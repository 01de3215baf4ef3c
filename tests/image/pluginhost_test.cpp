// The plug-in host with the test filters of testplugin.cpp copied into scratch folders:
// the filter text, the choice of a plug-in, and what plug-ins hand back, right or wrong.
#include "engine/codepage.h"
#include "image/dibpixels.h"
#include "image/imageloader.h"
#include "imagefixtures.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string Ztst(int behaviour, int width, int height)
{
    std::string bytes = "ZTST" + std::string(5, char(behaviour));
    fixtures::PutLE(bytes, 5, std::uint32_t(width), 2);
    fixtures::PutLE(bytes, 7, std::uint32_t(height), 2);
    return bytes;
}

class PluginHost : public ::testing::Test {
protected:
    // Copies built test plug-ins in: {name in the folder, built name}; then scans.
    int scan(std::initializer_list<std::pair<const char *, const char *>> plugins)
    {
        for (const auto &[name, built] : plugins)
            std::filesystem::copy_file(std::string(TEST_PLUGIN_DIR) + "/" + built, folder.path() + name);
        return loader.ScanPlugins(folder.path());
    }
    TempFolder folder;
    CImageLoader loader;
};

TEST_F(PluginHost, WithoutPluginsOnlyBitmapsAreListed)
{
    const std::string bitmapsOnly = CP932("ビットマップ (*.bmp)|*.bmp||");
    EXPECT_EQ(loader.ScanPlugins(""), -1);
    EXPECT_EQ(loader.filterText(), bitmapsOnly);
    EXPECT_EQ(loader.ScanPlugins(folder.path() + "missing/"), -1);
    folder.write("readme.txt", "no plug-in");
    EXPECT_EQ(loader.ScanPlugins(folder.path()), -1);
    EXPECT_EQ(loader.filterText(), bitmapsOnly);
    const std::string jpeg = folder.write("photo.jpg", Ztst(0, 2, 2));
    EXPECT_EQ(loader.ReadInfo(jpeg), -2);
    EXPECT_EQ(loader.Load(jpeg), 0);
}

// Import filters are listed in the order of their file names, each pattern once in the
// first entry; what is no import filter (an archive plug-in, other files) is skipped, and
// a plug-in whose patterns begin without "*" is listed but never chosen.
TEST_F(PluginHost, FilterTextAndTheChoiceOfAPlugin)
{
    struct Case {
        std::vector<std::pair<const char *, const char *>> plugins; // name in the folder, built
        const char *filter;
        std::vector<std::pair<const char *, int>> chosen; // file, plug-in or -3 for none
    };
    const Case cases[] = {
        {{{"b.spi", "png.spi"}, {"a.spi", "jpeg.spi"}},
         "画像ファイル|*.bmp; *.jpg; *.jpeg; *.png|ビットマップ (*.bmp)|*.BMP|JPEG|*.jpg;*.jpeg|PNG|*.png||",
         {{"x.png", 1}}},
        {{{"5.spi", "jpeg.spi"}, {"6.spi", "gif.spi"}},
         "画像ファイル|*.bmp; *.jpg; *.jpeg; *.gif|ビットマップ (*.bmp)|*.BMP|JPEG|*.jpg;*.jpeg|GIF|*.JPG;*.gif||",
         {{"/p/a.JPEG", 0}, {"/p/a.gif", 1}, {"/p/a.png", -3}, {"/p.jpg/a", -3}}},
        {{{"2.spi", "lzh.spi"}, {"3.SPI", "png.spi"}, {"4.spi", "tst.spi"}},
         "画像ファイル|*.bmp; *.png; .tst; *.tst|ビットマップ (*.bmp)|*.BMP|PNG|*.png|TST|.tst;*.tst||",
         {{"x.tst", -3}, {"x.png", 0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.filter);
        TempFolder dir;
        dir.write("0.spi", std::string("MZ\x90\0\3\0\0\0\4\0", 10) + std::string(200, '\0'));
        dir.write("1.spi", "");
        for (const auto &[name, built] : c.plugins)
            std::filesystem::copy_file(std::string(TEST_PLUGIN_DIR) + "/" + built, dir.path() + name);
        CImageLoader host;
        for (int scan = 0; scan < 2; ++scan) { // a second scan starts afresh
            EXPECT_EQ(host.ScanPlugins(dir.path()), 1);
            EXPECT_EQ(host.pluginCount(), 2);
        }
        EXPECT_EQ(host.filterText(), cp932::FromUtf8(c.filter));
        for (const auto &[file, plugin] : c.chosen)
            EXPECT_EQ(host.FindPlugin(file), plugin) << file;
    }
}

TEST_F(PluginHost, TheFirstPluginOfARepeatedPatternDecodes)
{
    scan({{"1.spi", "jpeg.spi"}, {"2.spi", "gif.spi"}});
    for (const char *name : {"shot.jpg", "shot.JPG"}) {
        const std::string path = folder.write(name, Ztst(0, 3, 2));
        ASSERT_EQ(loader.ReadInfo(path), 1);
        EXPECT_EQ(loader.pluginIndex(), 0);
        ASSERT_EQ(loader.Load(path), 1);
        EXPECT_EQ(loader.bitmapInfo().size(), 44u);
        EXPECT_EQ(DibToPixels(loader.bitmapInfo(), loader.bits().data(), loader.bitsSize(), 0, 0, 3, 2),
                  (std::vector<std::uint32_t>{0xFF000010u, 0xFF010010u, 0xFF020010u, 0xFF000110u,
                                              0xFF010110u, 0xFF020110u}));
    }
}

TEST_F(PluginHost, RefusesWhatPluginsCannotReadOrReportWrongly)
{
    scan({{"png.spi", "png.spi"}, {"zts.spi", "zts.spi"}});
    // A .bmp file goes to the bitmap reader even when a plug-in claims it.
    EXPECT_EQ(loader.ReadInfo(folder.write("fake.bmp", Ztst(0, 2, 2))), 0);
    EXPECT_EQ(loader.ReadInfo(folder.write("fake.zts", Ztst(0, 2, 2))), 1);

    const std::string garbage = folder.write("garbage.png", "\x89PNG but not really");
    EXPECT_EQ(loader.ReadInfo(garbage), 0);
    EXPECT_EQ(loader.Load(garbage), 0);
    EXPECT_EQ(loader.ReadInfo(folder.write("huge.png", Ztst(1, 4, 4))), 0);
    // Huge sizes, 33 bits, short pixel data, failure, short header, no colour table, a
    // table shorter than biClrUsed. What the plug-in called a success is reported.
    for (int behaviour : {1, 2, 3, 4, 5, 6, 8}) {
        SCOPED_TRACE(behaviour);
        const std::string path = folder.write("broken.png", Ztst(behaviour, 4, 4));
        loader.ReadInfo(path);
        testing::internal::CaptureStderr();
        EXPECT_EQ(loader.Load(path), 0);
        EXPECT_EQ(testing::internal::GetCapturedStderr().empty(), behaviour == 4);
        EXPECT_TRUE(loader.bits().empty());
    }
}

TEST_F(PluginHost, TakesTheColoursOfATableAsLongAsBiClrUsed)
{
    scan({{"png.spi", "png.spi"}});
    const std::string path = folder.write("four.png", Ztst(7, 3, 2));
    ASSERT_EQ(loader.ReadInfo(path), 1);
    ASSERT_EQ(loader.Load(path), 1);
    EXPECT_EQ(loader.bitmapInfo().size(), 1064u);
    EXPECT_EQ(DibToPixels(loader.bitmapInfo(), loader.bits().data(), loader.bitsSize(), 0, 0, 3, 2),
              (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF00FF00u,
                                          0xFF0000FFu, 0xFF808080u}));
}

TEST(FilterPatterns, MergeDropsRepeatsIgnoringCaseAndStopsAt4096)
{
    std::vector<std::string> messages;
    const MessageHook hook = [&](const std::string &text) { messages.push_back(text); };
    std::string all = "*.bmp;*.JPG;*.jpg;*.png;*.Png;*.bmp";
    EXPECT_EQ(MergePatterns(all, hook), 0);
    EXPECT_EQ(all, "*.bmp; *.JPG; *.png");
    all.clear();
    EXPECT_EQ(MergePatterns(all, hook), -1);
    for (int i = 0; i < 4100; ++i)
        all += (i ? ";*." : "*.") + std::to_string(i);
    EXPECT_EQ(MergePatterns(all, hook), 0);
    EXPECT_TRUE(all.ends_with("; *.4095"));
    EXPECT_EQ(messages, (std::vector<std::string>{CP932("spiextadd error : spiextが０です。"),
                                                  CP932("SUSIE-Plug inの対応画像が規定値を超えました。")}));
}

} // namespace
