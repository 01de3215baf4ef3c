// A decoded picture as the drawing code takes it.
#pragma once

#include <vector>

// A device-independent bitmap in the Windows layout. `bitmapInfo` is the 40-byte
// information header followed by the colour table (2^bitCount entries of blue, green,
// red, 0) below 16 bits per pixel, or by 4 spare bytes from 16 bits on. `bits` holds the
// pixel rows, bottom row first, each padded to a multiple of 4 bytes, compressed data
// left compressed. Every pixel is there; only the last row's padding may be missing.
struct DecodedPicture {
    int pixelWidth = 0;
    int pixelHeight = 0;
    std::vector<unsigned char> bitmapInfo;
    std::vector<unsigned char> bits;

    void Clear() { *this = DecodedPicture(); }
};
