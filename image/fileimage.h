// The record of a picture decoded from a file, and a reference to either kind of picture.
#pragma once

#include "image/clipimage.h"
#include "image/imageloader.h"

#include <memory>

// A picture decoded from a file for one print job. `drawHandle` belongs to the surface
// that draws the picture: it keeps what the surface prepared from the decoded rows (so a
// picture placed on every page is converted once) and is freed with the record.
struct FileImage {
    int imageKind = 0;
    std::unique_ptr<CImageLoader> loader;
    std::shared_ptr<void> drawHandle;
};

// The picture of the last `!` or `!!` of a page run: a file picture, a clipboard slot's
// picture, or nothing.
struct ImageRef {
    FileImage *file = nullptr;
    const ClipImage *clip = nullptr;
    bool empty() const { return file == nullptr && clip == nullptr; }
};
