// Filling a clipboard slot from a QImage.
#pragma once

class ClipImageStore;
class QImage;

// Copies `image` into slot `digit` in the slots' pixel format (32-bit, opaque: transparent
// parts are laid on white, as they would show on paper). False for an empty image or an
// image the store refuses.
bool FillSlotFromImage(ClipImageStore &store, int digit, const QImage &image);
