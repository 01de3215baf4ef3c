// The clipboard slots: filling and trimming by whole rows and columns.
#include "image/clipimage.h"

#include <algorithm>
#include <cstddef>

ClipImage *ClipImageStore::Slot(int digit) const
{
    if (digit < 0 || digit >= kSlotCount)
        return nullptr;
    return m_slots[static_cast<std::size_t>(digit)].get();
}

void ClipImageStore::Fill(int digit, int width, int height, std::vector<std::uint32_t> pixels)
{
    if (digit < 0 || digit >= kSlotCount || width <= 0 || height <= 0
        || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return;
    std::unique_ptr<ClipImage> &slot = m_slots[static_cast<std::size_t>(digit)];
    if (!slot)
        slot = std::make_unique<ClipImage>();
    slot->width = width;
    slot->height = height;
    slot->pixels = std::move(pixels);
}

void ClipImageStore::FillFrom(const ClipImageStore &other)
{
    for (int digit = 0; digit < kSlotCount; ++digit)
        if (const ClipImage *slot = other.Slot(digit))
            Fill(digit, slot->width, slot->height, slot->pixels);
}

bool ClipImageStore::Crop(int digit, int left, int top, int right, int bottom)
{
    ClipImage *image = Slot(digit);
    if (!image || left < 0 || top < 0 || right > image->width || bottom > image->height
        || left >= right || top >= bottom)
        return false;
    const std::size_t newWidth = static_cast<std::size_t>(right - left);
    const std::size_t newHeight = static_cast<std::size_t>(bottom - top);
    const std::size_t oldWidth = static_cast<std::size_t>(image->width);
    std::vector<std::uint32_t> kept(newWidth * newHeight);
    for (std::size_t y = 0; y < newHeight; ++y) {
        const std::uint32_t *from = image->pixels.data()
                                    + (y + static_cast<std::size_t>(top)) * oldWidth
                                    + static_cast<std::size_t>(left);
        std::copy(from, from + newWidth, kept.begin() + static_cast<std::ptrdiff_t>(y * newWidth));
    }
    image->width = static_cast<int>(newWidth);
    image->height = static_cast<int>(newHeight);
    image->pixels = std::move(kept);
    return true;
}

bool ClipImageStore::LeftCut(int digit, int visibleLeft, int, int, int)
{
    const ClipImage *image = Slot(digit);
    return image && visibleLeft > 0 && Crop(digit, visibleLeft, 0, image->width, image->height);
}

bool ClipImageStore::RightCut(int digit, int, int, int visibleRight, int)
{
    const ClipImage *image = Slot(digit);
    return image && visibleRight < image->width && Crop(digit, 0, 0, visibleRight, image->height);
}

bool ClipImageStore::TopCut(int digit, int, int visibleTop, int, int)
{
    const ClipImage *image = Slot(digit);
    return image && visibleTop > 0 && Crop(digit, 0, visibleTop, image->width, image->height);
}

bool ClipImageStore::BottomCut(int digit, int, int, int, int visibleBottom)
{
    const ClipImage *image = Slot(digit);
    return image && visibleBottom < image->height && Crop(digit, 0, 0, image->width, visibleBottom);
}
