// The bitmap file reader end to end: files written here, read as a print job reads them
// and drawn back through DibToPixels.
#include "image/dibpixels.h"
#include "image/imageloader.h"
#include "imagefixtures.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using fixtures::Bmp;
using fixtures::PackRows;

std::vector<std::uint32_t> Ramp(int count) // colours with red = index
{
    std::vector<std::uint32_t> colours;
    for (std::uint32_t i = 0; i < std::uint32_t(count); ++i)
        colours.push_back(i << 16 | (255 - i) << 8 | i / 2);
    return colours;
}

// One bitmap per bit count: what the file stores at (x, y) and the colour drawn there.
struct Format {
    std::uint32_t bitCount;
    std::vector<std::uint32_t> colours;
    std::function<std::uint32_t(int, int)> stored, drawn;
};

std::vector<Format> EveryFormat()
{
    const auto rgb = [](int x, int y) { return std::uint32_t(x * 50 << 16 | y * 80 << 8 | 0x33); };
    const auto w5 = [](std::uint32_t v) { return v << 3 | v >> 2; };
    const auto index = [](int x, int y) { return std::uint32_t(x + 2 * y); };
    const auto ramp = [](int x, int y) { return Ramp(256)[x + 2 * y]; };
    return {{1, {0x102030, 0xA0B0C0}, [](int x, int y) { return std::uint32_t((x + y) & 1); },
             [](int x, int y) { return (x + y) & 1 ? 0xA0B0C0u : 0x102030u; }},
            {4, Ramp(16), index, ramp},
            {8, Ramp(256), index, ramp},
            {16, {}, [](int x, int y) { return std::uint32_t(x * 6 << 10 | y * 10 << 5 | 31); },
             [=](int x, int y) { return w5(x * 6) << 16 | w5(y * 10) << 8 | 0xFF; }},
            {24, {}, rgb, rgb},
            {32, {}, rgb, rgb}};
}

Bmp Picture(const Format &f)
{
    Bmp bmp;
    bmp.bitCount = f.bitCount;
    bmp.colours = f.colours;
    bmp.bits = PackRows(bmp.width, bmp.height, int(f.bitCount), f.stored);
    return bmp;
}

class BmpReader : public ::testing::Test {
protected:
    // Reads `bytes` as NAME: the size read and the full read must agree.
    int load(const std::string &bytes, const std::string &name = "picture.bmp")
    {
        const std::string path = folder.write(name, bytes);
        const int info = loader.ReadInfo(path);
        const int full = loader.Load(path);
        EXPECT_EQ(info, full);
        return full;
    }
    std::vector<std::uint32_t> pixels(int u0 = 0, int v0 = 0, int uw = 5, int vh = 3)
    {
        return DibToPixels(loader.bitmapInfo(), loader.bits().data(), loader.bitsSize(), u0, v0, uw, vh);
    }
    TempFolder folder;
    CImageLoader loader;
};

TEST_F(BmpReader, EveryBitCountDrawsTopRowFirst)
{
    for (const Format &format : EveryFormat()) {
        SCOPED_TRACE(format.bitCount);
        ASSERT_EQ(load(Picture(format).bytes(), "upper.BMP"), 1);
        EXPECT_EQ(loader.pixelWidth(), 5);
        EXPECT_EQ(loader.pixelHeight(), 3);
        EXPECT_EQ(loader.bitmapInfo().size(), format.bitCount < 16 ? 40 + (4u << format.bitCount) : 44);
        const std::vector<std::uint32_t> drawn = pixels();
        ASSERT_EQ(drawn.size(), 15u);
        for (int i = 0; i < 15; ++i)
            ASSERT_EQ(drawn[i], 0xFF000000u | format.drawn(i % 5, i / 5)) << "pixel " << i;
    }
}

TEST_F(BmpReader, ColourTablesAlwaysHave2PowerBitCountEntries)
{
    Bmp bmp = Picture(EveryFormat()[2]); // 8 bits: 16 colours declared and stored
    bmp.clrUsed = 16;
    bmp.colours.resize(16);
    ASSERT_EQ(load(bmp.bytes()), 1);
    EXPECT_EQ(loader.bitmapInfo().size(), 1064u);
    EXPECT_EQ(pixels()[14], 0xFF000000u | Ramp(16)[8]);

    // OS/2: 3-byte entries widened to 4, the header rebuilt as a 40-byte one.
    bmp = Picture(EveryFormat()[1]);
    bmp.headerSize = 12;
    bmp.fileSize = 12345; // not trusted in OS/2 files
    ASSERT_EQ(load(bmp.bytes()), 1);
    const std::vector<unsigned char> &info = loader.bitmapInfo();
    ASSERT_EQ(info.size(), 104u);
    EXPECT_EQ(info[0], 40);
    EXPECT_EQ(info[20], 12); // biSizeImage: 4 bytes × 3 rows
    EXPECT_EQ(info[40 + 4 * 5 + 2], 5);
    EXPECT_EQ(info[40 + 4 * 5 + 3], 0);
    EXPECT_EQ(pixels()[14], 0xFF000000u | Ramp(16)[8]);
}

TEST_F(BmpReader, RefusesFilesItCannotDrawOrThatLie)
{
    const auto changed = [](auto change) {
        Bmp bmp = Picture(EveryFormat()[4]);
        change(bmp);
        return bmp.bytes();
    };
    std::string twoGb = changed([](Bmp &) {});
    twoGb.resize(100);
    fixtures::PutLE(twoGb, 2, 0x80000000u, 4);
    const std::pair<const char *, std::string> cases[] = {
        {"top-down", changed([](Bmp &b) { b.height = -3; })},
        {"V4", changed([](Bmp &b) { b.headerSize = 108; })},
        {"V5", changed([](Bmp &b) { b.headerSize = 124; })},
        {"bit count 0", changed([](Bmp &b) { b.bitCount = 0; })},
        {"bit count 33", changed([](Bmp &b) { b.bitCount = 33; })},
        {"negative width", changed([](Bmp &b) { b.width = -5; })},
        {"overflowing size", changed([](Bmp &b) { b.width = b.height = 0x7FFFFFFF; })},
        {"missing rows", changed([](Bmp &b) { b.height = 100; })},
        {"one wide row", changed([](Bmp &b) { b.width = 200000000; b.height = 1; })},
        {"last pixel cut", changed([](Bmp &b) { b.bits.resize(b.bits.size() - 2); })},
        {"huge RLE picture", changed([](Bmp &b) {
             b.bitCount = 8; b.compression = 1; b.colours = Ramp(256); b.width = b.height = 16384;
             b.bits = std::string("\0\1", 2); })},
        {"RLE8 at 24 bits", changed([](Bmp &b) { b.compression = 1; })},
        {"offset past the end", changed([](Bmp &b) { b.bitsOffset = 5000; })},
        {"offset inside the headers", changed([](Bmp &b) { b.bitsOffset = 20; })},
        {"2 GB claimed in 100 bytes", twoGb},
        {"colour table cut short", changed([](Bmp &b) { b.bitCount = 8; b.colours = Ramp(25); b.bits = ""; })},
        {"PNG content", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(60, '\0')},
        {"a few bytes", "BM\x10"},
    };
    for (const auto &[what, bytes] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(load(bytes), 0);
        EXPECT_EQ(loader.pixelWidth(), 0);
        EXPECT_EQ(loader.bitsSize(), 0u);
    }
}

TEST_F(BmpReader, ReadsEveryPixelThatIsThereWhateverTheSizeFieldClaims)
{
    const Format format = EveryFormat()[4];
    Bmp padless = Picture(format); // the last row's padding alone may be missing
    padless.bits.pop_back();
    // Files that claim 2 bytes (as some writers count) or far more than they hold.
    Bmp claimsMore = Picture(format);
    claimsMore.fileSize = 54 + claimsMore.bits.size() + 2;
    Bmp claimsFarMore = Picture(format);
    claimsFarMore.fileSize = 1000;
    for (const Bmp &bmp : {padless, claimsMore, claimsFarMore}) {
        ASSERT_EQ(load(bmp.bytes()), 1);
        EXPECT_LE(loader.bitsSize(), bmp.bits.size());
        EXPECT_EQ(pixels().back(), 0xFF000000u | format.drawn(4, 2));
    }
}

TEST_F(BmpReader, DamagedHeadersNeverReadOrHoldMoreThanTheFile)
{
    std::mt19937 random(1234);
    const std::vector<Format> formats = EveryFormat();
    for (int round = 0; round < 300; ++round) {
        std::string bytes = Picture(formats[random() % formats.size()]).bytes();
        for (int flips = 1 + random() % 4; flips > 0; --flips)
            bytes[random() % 54] = static_cast<char>(random());
        if (load(bytes) == 1) {
            EXPECT_LE(loader.bitsSize(), bytes.size());
            pixels(-3, 1, loader.pixelWidth(), 9);
        }
    }
}

} // namespace
