// The information header of a device-independent bitmap (Windows layout), and the one
// check that decides whether a picture is one this program can hold and draw.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dib {

inline constexpr std::size_t kInfoHeaderSize = 40;

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

// The largest picture held: 2^28 pixels (16384 × 16384), 1 GiB at 32 bits per pixel.
// Claimed sizes beyond it come from broken or hostile files.
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

struct InfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};

inline std::uint16_t ReadU16(const unsigned char *p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t ReadU32(const unsigned char *p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
           | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t ReadI32(const unsigned char *p)
{
    return static_cast<std::int32_t>(ReadU32(p));
}

// The 40 bytes at `p`, little-endian.
InfoHeader ReadInfoHeader(const unsigned char *p);
// Writes `header` as 40 little-endian bytes at `p`.
void WriteInfoHeader(unsigned char *p, const InfoHeader &header);

// Bytes of one pixel row, padded to a multiple of 4: ((bitCount × width + 31) div 32) × 4.
inline std::int64_t RowStride(int bitCount, std::int64_t width)
{
    return (bitCount * width + 31) / 32 * 4;
}

// Colour entries that follow the header: 2^bitCount below 16 bits per pixel, else none.
inline std::size_t ColourCount(int bitCount)
{
    return bitCount > 0 && bitCount < 16 ? std::size_t{1} << bitCount : 0;
}

// Bytes of the header with what follows it in a decoded picture: the colour table of
// 4-byte entries, or 4 spare bytes from 16 bits per pixel on (44 or 40 + 4 × 2^bitCount).
inline std::size_t BitmapInfoSize(int bitCount)
{
    return kInfoHeaderSize + (bitCount < 16 ? 4 * ColourCount(bitCount) : 4);
}

// True for a picture this program can hold and draw: positive width and height (rows
// from the bottom), at most kMaxPixels pixels, 1, 4, 8, 16, 24 or 32 bits per pixel, and
// a compression that fits the bit count (none; RLE8 at 8 bits; RLE4 at 4 bits; bit
// fields at 16 or 32 bits).
bool IsDrawable(const InfoHeader &header);

// Compressed data describes at most this many pixels per byte. A move code skips up to
// 255 × 255 pixels in 4 bytes; more than that is a claim the data cannot back.
inline constexpr std::int64_t kMaxRlePixelsPerByte = 65536;

// True when `bitsSize` bytes of pixel data can hold the drawable picture of `header`:
// uncompressed, every pixel must be there (only the last row's padding may be missing);
// compressed, the data must not claim more than kMaxRlePixelsPerByte pixels per byte.
// So a small file never makes a big picture.
bool HoldsPixels(const InfoHeader &header, std::int64_t bitsSize);

} // namespace dib
