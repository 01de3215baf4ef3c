// The clipboard slots: records that keep their address, crops and the four cuts.
#include "image/clipimage.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint32_t> Numbered(int width, int height) // pixel (x, y) = 100x + y
{
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(std::uint32_t(100 * x + y));
    return pixels;
}

TEST(ClipImageStore, FillsAndCropsKeepTheRecord)
{
    ClipImageStore store;
    EXPECT_FALSE(store.Crop(3, 0, 0, 1, 1));
    store.Fill(3, 4, 2, Numbered(4, 2));
    ClipImage *image = store.Slot(3);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->imageKind, 1);
    store.Fill(3, 4, 3, Numbered(4, 3));
    store.Fill(3, 5, 5, Numbered(2, 3)); // pixel count does not match: ignored
    store.Fill(10, 1, 1, {7});
    EXPECT_EQ(store.Slot(3), image);
    EXPECT_EQ(image->pixels, Numbered(4, 3));
    EXPECT_EQ(store.Slot(10), nullptr);
    EXPECT_EQ(store.Slot(4), nullptr);

    for (auto [l, t, r, b] : {std::array{1, 1, 1, 3}, {-1, 0, 2, 2}, {0, 0, 5, 3}, {0, 0, 4, 4}})
        EXPECT_FALSE(store.Crop(3, l, t, r, b));
    ASSERT_TRUE(store.Crop(3, 1, 1, 3, 3));
    EXPECT_EQ(store.Slot(3), image);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->pixels, (std::vector<std::uint32_t>{101, 201, 102, 202}));
}

TEST(ClipImageStore, CutsRemoveWhatLiesOutsideTheVisibleArea)
{
    ClipImageStore store;
    EXPECT_FALSE(store.LeftCut(5, 3, 0, 10, 10)); // empty slot
    store.Fill(5, 20, 10, Numbered(20, 10));
    ClipImage *image = store.Slot(5);
    // Edges already visible, or the view reaching beyond them: nothing happens.
    EXPECT_FALSE(store.LeftCut(5, 0, -4, 12, 14));
    EXPECT_FALSE(store.RightCut(5, 3, 0, 28, 10));
    EXPECT_FALSE(store.TopCut(5, 0, 0, 20, 6));
    EXPECT_FALSE(store.BottomCut(5, 0, 2, 20, 10));
    EXPECT_EQ(image->pixels, Numbered(20, 10));

    // A right cut then a left cut leave exactly the visible columns; then rows.
    ASSERT_TRUE(store.RightCut(5, 6, 0, 14, 10));
    ASSERT_TRUE(store.LeftCut(5, 6, 0, 14, 10));
    ASSERT_TRUE(store.TopCut(5, 0, 2, 8, 10));
    ASSERT_TRUE(store.BottomCut(5, 0, 0, 8, 5));
    EXPECT_EQ(store.Slot(5), image);
    EXPECT_EQ(image->width, 8);
    EXPECT_EQ(image->height, 5);
    EXPECT_EQ(image->pixels.front(), 602u);
    EXPECT_EQ(image->pixels.back(), 1306u);
}

} // namespace
