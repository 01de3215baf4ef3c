// Device-independent bitmaps to 32-bit pixels: one straight loop per row and format; RLE
// data is walked once and only the pixels inside the rectangle (every step-th of them)
// are written.
#include "image/dibpixels.h"

#include "image/dibheader.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

using Palette = std::array<std::uint32_t, 256>;

inline std::uint32_t Rgb(unsigned red, unsigned green, unsigned blue)
{
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

// A 5-bit or 6-bit channel widened to 8 bits.
inline unsigned Widen5(unsigned v)
{
    return (v << 3) | (v >> 2);
}
inline unsigned Widen6(unsigned v)
{
    return (v << 2) | (v >> 4);
}

// The rectangle inside the picture, the sampling step, and where its pixels go: the
// pixel (left + i × step, top + j × step) to pixels[j × outWidth + i].
struct Target {
    std::int64_t left, top, width, height;
    int step;
    std::int64_t outWidth;
    std::uint32_t *pixels;

    // The first column at or after `x` that is sampled.
    std::int64_t firstSampled(std::int64_t x) const
    {
        if (x <= left)
            return left;
        return left + (x - left + step - 1) / step * step;
    }
};

// Pixels left, left + step, ... up to left + count - 1 of one stored row of `available`
// bytes, into `out`.
void ConvertRow(const dib::InfoHeader &header, const Palette &palette, const unsigned char *row,
                std::int64_t available, std::int64_t left, std::int64_t count, int step,
                std::uint32_t *out)
{
    std::int64_t present = 0; // pixels whose bytes are all in the row
    switch (header.bitCount) {
    case 1: present = available * 8; break;
    case 4: present = available * 2; break;
    case 8: present = available; break;
    case 16: present = available / 2; break;
    case 24: present = available / 3; break;
    case 32: present = available / 4; break;
    }
    const std::int64_t end = left + count;
    const std::int64_t last = std::min(end, present);
    std::int64_t x = left;
    switch (header.bitCount) {
    case 1:
        for (; x < last; x += step)
            *out++ = palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
        break;
    case 4:
        for (; x < last; x += step)
            *out++ = palette[(x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4];
        break;
    case 8:
        for (; x < last; x += step)
            *out++ = palette[row[x]];
        break;
    case 16:
        if (header.compression == dib::kBitFields) {
            for (; x < last; x += step) {
                const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
                *out++ = Rgb(Widen5(v >> 11), Widen6((v >> 5) & 0x3F), Widen5(v & 0x1F));
            }
        } else {
            for (; x < last; x += step) {
                const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
                *out++ = Rgb(Widen5((v >> 10) & 0x1F), Widen5((v >> 5) & 0x1F), Widen5(v & 0x1F));
            }
        }
        break;
    case 24:
        for (; x < last; x += step) {
            const unsigned char *p = row + 3 * x;
            *out++ = Rgb(p[2], p[1], p[0]);
        }
        break;
    case 32:
        for (; x < last; x += step) {
            const unsigned char *p = row + 4 * x;
            *out++ = Rgb(p[2], p[1], p[0]);
        }
        break;
    }
    for (; x < end; x += step)
        *out++ = kWhite;
}

// Walks RLE8 or RLE4 data once. Runs are cut at the row's end; the codes for end of line,
// end of bitmap and move by (dx, dy) are followed; data that ends early ends the picture.
void DecodeRle(const dib::InfoHeader &header, const Palette &palette, const unsigned char *data,
               std::size_t size, const Target &target)
{
    const bool rle4 = header.compression == dib::kRle4;
    const std::int64_t width = header.width;
    const std::int64_t height = header.height;
    const std::int64_t right = std::min(target.left + target.width, width);
    std::int64_t x = 0;
    std::int64_t y = 0; // stored row: 0 is the bottom one
    // The output row of stored row y (its first pixel is column target.left), or null
    // when the row lies outside the rectangle or is not sampled.
    const auto outputRow = [&]() -> std::uint32_t * {
        const std::int64_t fromTop = height - 1 - y;
        if (fromTop < target.top || fromTop >= target.top + target.height ||
            (fromTop - target.top) % target.step != 0)
            return nullptr;
        return target.pixels + (fromTop - target.top) / target.step * target.outWidth;
    };
    const int step = target.step;
    std::size_t i = 0;
    while (i + 1 < size && y < height) {
        const unsigned count = data[i];
        const unsigned value = data[i + 1];
        i += 2;
        if (count > 0) { // a run of `count` pixels: one index, or two alternating ones
            if (std::uint32_t *row = outputRow()) {
                const std::int64_t end = std::min(x + count, right);
                for (std::int64_t p = target.firstSampled(x); p < end; p += step)
                    row[(p - target.left) / step] =
                        palette[!rle4 ? value : ((p - x) & 1) ? value & 0x0F : value >> 4];
            }
            x += count;
        } else if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // move right and up
            if (i + 1 >= size)
                break;
            x += data[i];
            y += data[i + 1];
            i += 2;
        } else { // `value` pixels given one by one, padded to an even byte count
            const std::size_t bytes = rle4 ? (value + 1) / 2 : value;
            const std::size_t present = std::min(bytes, size - i);
            std::uint32_t *row = outputRow();
            for (unsigned k = 0; row && k < value; ++k) {
                const std::size_t b = rle4 ? k / 2 : k;
                if (b >= present)
                    break;
                const std::int64_t p = x + k;
                if (p >= target.left && p < right && (p - target.left) % step == 0)
                    row[(p - target.left) / step] =
                        palette[!rle4 ? data[i + b] : (k & 1) ? data[i + b] & 0x0F : data[i + b] >> 4];
            }
            x += value;
            i += (bytes + 1) & ~std::size_t{1};
        }
    }
}

} // namespace

std::vector<std::uint32_t> DibToPixels(const std::vector<unsigned char> &bitmapInfo,
                                       const unsigned char *bits, std::size_t bitsSize, int u0,
                                       int v0, int uw, int vh, int step)
{
    if (bitmapInfo.size() < dib::kInfoHeaderSize)
        return {};
    const dib::InfoHeader header = dib::ReadInfoHeader(bitmapInfo.data());
    const std::size_t colours = dib::ColourCount(header.bitCount);
    if (!dib::IsDrawable(header) || bitmapInfo.size() < dib::kInfoHeaderSize + 4 * colours)
        return {};
    Palette palette{};
    for (std::size_t i = 0; i < colours; ++i) {
        const unsigned char *entry = bitmapInfo.data() + dib::kInfoHeaderSize + 4 * i;
        palette[i] = Rgb(entry[2], entry[1], entry[0]);
    }

    const std::int64_t left = std::max(u0, 0);
    const std::int64_t top = std::max(v0, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{u0} + uw, header.width);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{v0} + vh, header.height);
    if (left >= right || top >= bottom || step < 1)
        return {};
    if (!bits)
        bitsSize = 0;
    const std::int64_t outWidth = SampledSize(right - left, step);
    const std::int64_t outHeight = SampledSize(bottom - top, step);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(outWidth * outHeight), kWhite);
    const Target target{left, top, right - left, bottom - top, step, outWidth, pixels.data()};

    if (header.compression == dib::kRle8 || header.compression == dib::kRle4) {
        DecodeRle(header, palette, bits, bitsSize, target);
        return pixels;
    }
    const std::int64_t stride = dib::RowStride(header.bitCount, header.width);
    const std::int64_t size = static_cast<std::int64_t>(bitsSize);
    for (std::int64_t j = 0; j < outHeight; ++j) {
        const std::int64_t offset = (header.height - 1 - (top + j * step)) * stride;
        const std::int64_t available = offset < size ? std::min(stride, size - offset) : 0;
        ConvertRow(header, palette, available > 0 ? bits + offset : nullptr, available, left,
                   target.width, step, target.pixels + j * outWidth);
    }
    return pixels;
}
