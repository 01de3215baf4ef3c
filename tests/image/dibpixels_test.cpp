// Converting decoded pictures to pixels: compressed data, cut rectangles, short data.
#include "image/dibheader.h"
#include "image/dibpixels.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t W = 0xFFFFFFFFu; // white
constexpr std::uint32_t K = 0xFF000000u, R = 0xFFFF0000u, G = 0xFF00FF00u, B = 0xFF0000FFu;
using Pixels = std::vector<std::uint32_t>;

// The header of a width × height picture; below 16 bits its colours are K, R, G, B.
std::vector<unsigned char> Info(int width, int height, int bitCount, std::uint32_t compression = 0)
{
    dib::InfoHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = static_cast<std::uint16_t>(bitCount);
    header.compression = compression;
    std::vector<unsigned char> info(dib::BitmapInfoSize(bitCount), 0);
    dib::WriteInfoHeader(info.data(), header);
    if (bitCount < 16)
        for (std::size_t i = 0; i < 4; ++i)
            for (std::size_t c = 0; c < 3; ++c)
                info[40 + 4 * i + c] = static_cast<unsigned char>(Pixels{K, R, G, B}[i] >> (8 * c));
    return info;
}

Pixels Convert(const std::vector<unsigned char> &info, const std::vector<unsigned char> &bits,
               int u0, int v0, int uw, int vh)
{
    return DibToPixels(info, bits.data(), bits.size(), u0, v0, uw, vh);
}

TEST(DibPixels, RunLengthDataIsFollowedCodeByCode)
{
    const std::vector<unsigned char> rle8 = {
        3, 1, 1, 2, 0, 0,       // bottom row: three red, one green; end of line
        0, 3, 2, 1, 2, 0, 1, 1, // middle: green red green given one by one (padded), red
        0, 0, 0, 2, 1, 0,       // end of line; top: move one right
        9, 3, 0, 1,             // blue to the row's end, the rest dropped; end of bitmap
        5, 1,                   // after the end: not drawn
    };
    const std::vector<unsigned char> info = Info(4, 3, 8, dib::kRle8);
    EXPECT_EQ(Convert(info, rle8, 0, 0, 4, 3), (Pixels{W, B, B, B, G, R, G, R, R, R, R, G}));
    EXPECT_EQ(Convert(info, rle8, 1, 1, 2, 2), (Pixels{R, G, R, R}));
    EXPECT_EQ(Convert(Info(4, 1, 8, dib::kRle8), {0, 4, 1, 2}, 0, 0, 4, 1), (Pixels{R, G, W, W}));

    const std::vector<unsigned char> rle4 = {5, 0x12, 0, 0, 0, 3, 0x31, 0x20, 0, 1};
    EXPECT_EQ(Convert(Info(5, 2, 4, dib::kRle4), rle4, 0, 0, 5, 2),
              (Pixels{B, R, G, W, W, R, G, R, G, R}));
}

TEST(DibPixels, RectanglesAreCutToThePictureAndMissingBytesAreWhite)
{
    const std::vector<unsigned char> bits = {0, 1, 2, 0, 3, 2, 1, 0}; // rows: K R G, B G R
    const std::vector<unsigned char> info = Info(3, 2, 8);
    EXPECT_EQ(Convert(info, bits, 1, 0, 2, 1), (Pixels{G, R}));
    EXPECT_EQ(Convert(info, bits, -5, 1, 9, 9), (Pixels{K, R, G}));
    EXPECT_TRUE(Convert(info, bits, 3, 0, 2, 2).empty());
    EXPECT_TRUE(Convert(info, bits, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF).empty());

    // 24 bits: the bottom row whole, one pixel of the top row.
    const std::vector<unsigned char> cut = {0, 0, 255, 255, 0, 0, 0, 0, 0x10, 0x20, 0x30};
    EXPECT_EQ(Convert(Info(2, 2, 24), cut, 0, 0, 2, 2), (Pixels{0xFF302010u, W, R, B}));
    EXPECT_EQ(DibToPixels(Info(2, 1, 8), nullptr, 100, 0, 0, 2, 1), (Pixels{W, W}));

    std::vector<unsigned char> noTable = Info(2, 2, 8);
    noTable.resize(40 + 4 * 255);
    EXPECT_TRUE(Convert(noTable, bits, 0, 0, 2, 2).empty());
    EXPECT_TRUE(Convert(Info(2, -2, 24), cut, 0, 0, 2, 2).empty());
    EXPECT_TRUE(Convert({1, 2, 3}, cut, 0, 0, 2, 2).empty());
}

TEST(DibPixels, SixteenBitsAre555Or565WithBitFields)
{
    const std::vector<unsigned char> bits = {0x00, 0xF8, 0xE0, 0x07};
    EXPECT_EQ(Convert(Info(2, 1, 16, dib::kBitFields), bits, 0, 0, 2, 1), (Pixels{R, G}));
    EXPECT_EQ(Convert(Info(2, 1, 16), bits, 0, 0, 2, 1), (Pixels{0xFFF70000u, 0xFF08FF00u}));
}

// Sampling takes every step-th pixel of the cut rectangle, from its first, in every
// format: the result equals the full conversion thinned out.
TEST(DibPixels, SamplingTakesEveryStepthPixel)
{
    auto thinned = [](const Pixels &full, int width, int height, int step) {
        Pixels out;
        for (int y = 0; y < height; y += step)
            for (int x = 0; x < width; x += step)
                out.push_back(full[static_cast<std::size_t>(y * width + x)]);
        return out;
    };
    // 7 × 5 pictures, uncompressed 8 and 24 bits and RLE8 runs and literal pixels.
    std::vector<unsigned char> bits8;
    std::vector<unsigned char> bits24;
    std::vector<unsigned char> rle8;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 8; ++x) {
            bits8.push_back(static_cast<unsigned char>((x + y) % 4));
            for (int c = 0; c < 3; ++c)
                bits24.push_back(static_cast<unsigned char>(x * 30 + y * 7 + c));
        }
        rle8.insert(rle8.end(), {2, static_cast<unsigned char>(y % 4), 0, 3, 1, 2, 3, 0, 2, 0,
                                 0, 0});
    }
    for (const auto &[info, bits] :
         {std::pair{Info(7, 5, 8), bits8}, std::pair{Info(7, 5, 24), bits24},
          std::pair{Info(7, 5, 8, dib::kRle8), rle8}}) {
        for (int step : {2, 3}) {
            const Pixels full = Convert(info, bits, 1, 1, 6, 4);
            EXPECT_EQ(DibToPixels(info, bits.data(), bits.size(), 1, 1, 6, 4, step),
                      thinned(full, 6, 4, step))
                << "step " << step;
        }
    }
}

} // namespace
