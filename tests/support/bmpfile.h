// Small BMP files made by the tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// A 24-bit Windows bitmap of `width` × `height` pixels (bottom-up rows, as bitmaps are
// stored); `color(x, y)` gives the pixel at column x, row y from the top as 0xRRGGBB.
std::string Bmp24(int width, int height,
                  const std::function<std::uint32_t(int x, int y)> &color = {});
