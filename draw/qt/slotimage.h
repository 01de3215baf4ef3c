// Filling a clipboard slot from a QImage.
#pragma once

#include <cstdint>
#include <vector>

class ClipImageStore;
class QImage;

// The pixels of `image` in the slots' pixel format: 32-bit 0xFFRRGGBB rows from the top,
// transparent parts laid on white (as they would show on paper). The picture itself is
// not changed; the slot always holds its own copy. Empty for an empty image or one too
// large to copy.
std::vector<std::uint32_t> CopyToDisplayBitmap(const QImage &image);

// Copies `image` into slot `digit` through CopyToDisplayBitmap. False for an empty image
// or an image the store refuses; the slot is then unchanged.
bool FillSlotFromImage(ClipImageStore &store, int digit, const QImage &image);
