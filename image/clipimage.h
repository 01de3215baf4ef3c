// The ten clipboard image slots and the record of one slot.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// One filled slot: a picture in the display's pixel format, 32-bit 0xAARRGGBB pixels in
// rows from the top, `width` × `height` of them.
struct ClipImage {
    int imageKind = 1; // file images have 0 here
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Slots 0 to 9. A slot is empty until its first fill and then holds the same record, at
// the same address, until the store is destroyed; fills and crops replace its contents.
class ClipImageStore {
public:
    static constexpr int kSlotCount = 10;

    // The record of slot `digit`, or null for an empty slot or a digit outside 0-9.
    ClipImage *Slot(int digit) const;

    // Puts a picture of `width` × `height` pixels into the slot. A call with a digit
    // outside 0-9, a size that is not positive or a pixel count that does not match the
    // size changes nothing.
    void Fill(int digit, int width, int height, std::vector<std::uint32_t> pixels);
    // Fills every slot that `other` has filled with a copy of its picture; the other slots
    // stay as they are.
    void FillFrom(const ClipImageStore &other);

    // Keeps columns left to right - 1 and rows top to bottom - 1 of the slot's picture.
    // Returns false, changing nothing, for an empty slot or a rectangle that is empty or
    // not wholly inside the picture.
    bool Crop(int digit, int left, int top, int right, int bottom);

    // The cuts of the clipboard dialog. The visible rectangle is in picture pixels and may
    // reach beyond the picture on any side. Each cut removes everything outside it on its
    // own side, and does nothing when that edge of the picture is visible already or the
    // slot is empty. They return whether the picture changed.
    bool LeftCut(int digit, int visibleLeft, int visibleTop, int visibleRight, int visibleBottom);
    bool RightCut(int digit, int visibleLeft, int visibleTop, int visibleRight, int visibleBottom);
    bool TopCut(int digit, int visibleLeft, int visibleTop, int visibleRight, int visibleBottom);
    bool BottomCut(int digit, int visibleLeft, int visibleTop, int visibleRight, int visibleBottom);

private:
    std::array<std::unique_ptr<ClipImage>, kSlotCount> m_slots;
};
