// Bitmap files for the tests of pictures.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fixtures {

inline void PutLE(std::string &s, std::size_t at, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

// Rows from the bottom, padded to 4 bytes, of a picture whose pixel (x, y), y from the
// top, stores `value(x, y)`: a colour index, a 16-bit word, or 0xRRGGBB.
inline std::string PackRows(int width, int height, int bitCount,
                            const std::function<std::uint32_t(int, int)> &value)
{
    const std::size_t stride = static_cast<std::size_t>((bitCount * width + 31) / 32 * 4);
    std::string rows(stride * static_cast<std::size_t>(height), '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t bit = static_cast<std::size_t>(x * bitCount);
            const std::size_t at = stride * static_cast<std::size_t>(height - 1 - y) + bit / 8;
            if (bitCount < 8)
                rows[at] = static_cast<char>(rows[at] | (value(x, y) << (8 - bitCount - bit % 8)));
            else
                PutLE(rows, at, value(x, y), bitCount == 32 ? 3 : bitCount / 8);
        }
    return rows;
}

// A bitmap file: a Windows header of headerSize bytes (zero-padded past 40) with 4-byte
// colour entries, or an OS/2 12-byte header with 3-byte ones.
struct Bmp {
    std::uint32_t headerSize = 40;
    std::int32_t width = 5, height = 3; // odd width: rows need padding
    std::uint32_t bitCount = 24, compression = 0, clrUsed = 0;
    std::vector<std::uint32_t> colours; // 0xRRGGBB
    std::string bits;
    long long fileSize = -1, bitsOffset = -1; // -1: the true values

    std::string bytes() const
    {
        const bool os2 = headerSize == 12;
        std::string head(14 + headerSize, '\0');
        head[0] = 'B';
        head[1] = 'M';
        PutLE(head, 14, headerSize, 4);
        if (os2) {
            for (std::uint32_t i = 0, v[] = {std::uint32_t(width), std::uint32_t(height), 1, bitCount}; i < 4; ++i)
                PutLE(head, 18 + 2 * i, v[i], 2);
        } else {
            PutLE(head, 18, static_cast<std::uint32_t>(width), 4);
            PutLE(head, 22, static_cast<std::uint32_t>(height), 4);
            PutLE(head, 26, 1, 2);
            PutLE(head, 28, bitCount, 2);
            PutLE(head, 30, compression, 4);
            PutLE(head, 46, clrUsed, 4);
        }
        std::string table;
        for (std::uint32_t c : colours)
            table += std::string{char(c), char(c >> 8), char(c >> 16)} + (os2 ? "" : std::string(1, '\0'));
        const std::size_t offset = head.size() + table.size();
        PutLE(head, 2, static_cast<std::uint32_t>(fileSize < 0 ? offset + bits.size() : fileSize), 4);
        PutLE(head, 10, static_cast<std::uint32_t>(bitsOffset < 0 ? offset : bitsOffset), 4);
        return head + table + bits;
    }
};

// A 24-bit Windows bitmap of `width` × `height` pixels; `color(x, y)` gives the pixel at
// column x, row y from the top as 0xRRGGBB (white when not given).
inline std::string Bmp24(int width, int height,
                         const std::function<std::uint32_t(int, int)> &color = {})
{
    Bmp bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.bits = PackRows(width, height, 24, color ? color : [](int, int) { return 0xFFFFFFu; });
    return bmp.bytes();
}

} // namespace fixtures
