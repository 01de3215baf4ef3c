// A picture as the writer embeds it: 8-bit gray or RGB pixels, once per file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pdf {

struct Image {
    // Pictures with the same key are the same picture: it is written into the file once,
    // however many pages draw it.
    std::string key;
    int width = 0;
    int height = 0;
    int components = 3; // 1 gray, 3 RGB
    // Rows from the top, each width × components bytes, no padding.
    std::vector<std::uint8_t> pixels;
    // Smooth scaling (interpolation) where a reader offers it.
    bool smooth = true;

    bool Valid() const
    {
        return width > 0 && height > 0 && (components == 1 || components == 3) &&
               pixels.size() == static_cast<std::size_t>(width) *
                                    static_cast<std::size_t>(height) *
                                    static_cast<std::size_t>(components);
    }
};

} // namespace pdf
