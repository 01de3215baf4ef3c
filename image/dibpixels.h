// Pixels of a decoded picture in the form a painter takes: 32-bit 0xAARRGGBB, rows from
// the top.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The pixels of the rectangle (u0, v0, uw, vh) of a decoded picture, counted from its
// top-left pixel, rows from the top, alpha 0xFF. `bitmapInfo` is the picture's header
// and colour table, `bits` its `bitsSize` bytes of pixel rows (rows from the bottom;
// RLE8 and RLE4 data compressed). 1, 4 and 8 bits per pixel take their colours from the
// table, 16 bits are 5-5-5 (5-6-5 with bit fields), 24 and 32 bits are blue, green, red
// (and a byte that is ignored). Pixels whose bytes lie beyond `bitsSize`, and pixels that
// compressed data leaves out, are white; nothing past `bitsSize` is read.
//
// A rectangle reaching beyond the picture is cut to it, and the result has the cut size:
// width × height of the cut rectangle. An empty cut, a header that does not describe a
// drawable picture or a colour table that `bitmapInfo` lacks gives an empty result.
//
// With `step` > 1 only every step-th column and row of the cut rectangle is taken, from
// its first: the result is SampledSize(width, step) × SampledSize(height, step) pixels.
std::vector<std::uint32_t> DibToPixels(const std::vector<unsigned char> &bitmapInfo,
                                       const unsigned char *bits, std::size_t bitsSize, int u0,
                                       int v0, int uw, int vh, int step = 1);

// How many of `length` pixels a sampling step keeps.
inline std::int64_t SampledSize(std::int64_t length, int step)
{
    return (length + step - 1) / step;
}
