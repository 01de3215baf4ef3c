// A picture part converted into an image of the PDF writer.
#include "pdfpicture.h"

#include "image/dibpixels.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <tuple>

namespace {

// A file picture is decoded at most this many pixels at a time; a row wider than that is
// sampled every second (third, ...) pixel, as the QPainter surface samples it.
constexpr long long kBandPixels = 4LL * 1000 * 1000;

// What the PDF writer keeps in a file picture's draw handle. The handle is made with
// this deleter, so that one made by another surface is told apart and left alone.
struct PreparedImage {
    std::tuple<int, int, int, int, int, int, bool> part;
    std::shared_ptr<const pdf::Image> image;
};
struct PreparedDeleter {
    void operator()(void *p) const { delete static_cast<PreparedImage *>(p); }
};

auto keyOf(const PicturePart &p)
{
    return std::make_tuple(p.u0, p.v0, p.uw, p.vh, p.iw, p.ih, p.turn);
}

// Rows `first` to `first + count - 1` of the sampled part, `width` pixels each.
using FetchRows = std::function<std::vector<std::uint32_t>(long long first, long long count)>;

// Reduces the sampled part (`width` × `height` pixels, read through `fetch`) to `iw` ×
// `ih` by averaging the pixels that fall into each output pixel, and writes it as RGB,
// turned when `turn` is set. False when a band cannot be read.
bool reduce(const FetchRows &fetch, long long width, long long height, int iw, int ih, bool turn,
            std::vector<std::uint8_t> &rgb)
{
    std::vector<int> column(static_cast<std::size_t>(width));
    std::vector<std::uint32_t> perColumn(static_cast<std::size_t>(iw));
    for (long long x = 0; x < width; ++x) {
        column[x] = static_cast<int>(x * iw / width);
        ++perColumn[column[x]];
    }
    rgb.assign(static_cast<std::size_t>(iw) * ih * 3, 0);
    std::vector<std::uint64_t> sums(static_cast<std::size_t>(iw) * 3);
    int outRow = 0;
    long long rowsIn = 0; // source rows added into `sums`
    auto flush = [&] {
        for (int ox = 0; ox < iw; ++ox) {
            const std::uint64_t n = std::uint64_t(perColumn[ox]) * rowsIn;
            // The pixel's place in the image as drawn: a turned image is ih wide.
            const std::size_t at =
                turn ? (static_cast<std::size_t>(iw - 1 - ox) * ih + outRow) * 3
                     : (static_cast<std::size_t>(outRow) * iw + ox) * 3;
            for (int c = 0; c < 3; ++c)
                rgb[at + c] = static_cast<std::uint8_t>((sums[ox * 3 + c] + n / 2) / n);
        }
        std::fill(sums.begin(), sums.end(), 0);
        rowsIn = 0;
    };
    const long long bandRows = std::max(1LL, kBandPixels / width);
    for (long long first = 0; first < height; first += bandRows) {
        const long long count = std::min(bandRows, height - first);
        const std::vector<std::uint32_t> band = fetch(first, count);
        if (band.size() < static_cast<std::size_t>(width * count))
            return false;
        for (long long y = 0; y < count; ++y) {
            const std::uint32_t *pixel = band.data() + y * width;
            if (iw == width && ih == height) { // the common case: every pixel as it is
                for (long long x = 0; x < width; ++x) {
                    const std::size_t at =
                        turn ? (static_cast<std::size_t>(iw - 1 - x) * ih + first + y) * 3
                             : (static_cast<std::size_t>(first + y) * iw + x) * 3;
                    rgb[at] = static_cast<std::uint8_t>(pixel[x] >> 16);
                    rgb[at + 1] = static_cast<std::uint8_t>(pixel[x] >> 8);
                    rgb[at + 2] = static_cast<std::uint8_t>(pixel[x]);
                }
                continue;
            }
            const int row = static_cast<int>((first + y) * ih / height);
            if (row != outRow) {
                flush();
                outRow = row;
            }
            for (long long x = 0; x < width; ++x) {
                std::uint64_t *sum = &sums[column[x] * 3];
                sum[0] += (pixel[x] >> 16) & 0xFF;
                sum[1] += (pixel[x] >> 8) & 0xFF;
                sum[2] += pixel[x] & 0xFF;
            }
            ++rowsIn;
        }
    }
    if (rowsIn > 0)
        flush();
    return true;
}

// Gray pixels take one byte instead of three.
void grayWhereGray(pdf::Image &image)
{
    std::vector<std::uint8_t> &p = image.pixels;
    for (std::size_t i = 0; i < p.size(); i += 3)
        if (p[i] != p[i + 1] || p[i] != p[i + 2])
            return;
    for (std::size_t i = 0, o = 0; i < p.size(); i += 3, ++o)
        p[o] = p[i];
    p.resize(p.size() / 3);
    p.shrink_to_fit();
    image.components = 1;
}

// A digest of the image's size and pixels, as 32 hex digits: two independent 64-bit
// hashes of 8 bytes at a time.
std::string digest(const pdf::Image &image)
{
    std::uint64_t a = 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(image.width);
    std::uint64_t b = 0xC2B2AE3D27D4EB4Full ^ (static_cast<std::uint64_t>(image.height) << 8 |
                                               static_cast<std::uint64_t>(image.components));
    auto mix = [&](std::uint64_t v) {
        a = (a ^ v) * 0xFF51AFD7ED558CCDull;
        a ^= a >> 29;
        b = (b + v) * 0xC4CEB9FE1A85EC53ull;
        b ^= b >> 31;
    };
    const std::vector<std::uint8_t> &p = image.pixels;
    std::size_t i = 0;
    for (; i + 8 <= p.size(); i += 8) {
        std::uint64_t v;
        std::memcpy(&v, p.data() + i, 8);
        mix(v);
    }
    std::uint64_t tail = p.size() - i;
    for (; i < p.size(); ++i)
        tail = tail << 8 | p[i];
    mix(tail);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string key;
    for (const std::uint64_t h : {a, b})
        for (int shift = 60; shift >= 0; shift -= 4)
            key += kHex[(h >> shift) & 0xF];
    return key;
}

std::shared_ptr<const pdf::Image> convert(const PictureSource &picture, const PicturePart &part)
{
    int step = 1;
    if (picture.pixels == nullptr)
        while (SampledSize(part.uw, step) > kBandPixels)
            ++step;
    const long long width = SampledSize(part.uw, step);
    const long long height = SampledSize(part.vh, step);
    FetchRows fetch;
    if (picture.pixels != nullptr) {
        fetch = [&](long long first, long long count) {
            std::vector<std::uint32_t> rows(static_cast<std::size_t>(width * count));
            for (long long y = 0; y < count; ++y)
                std::memcpy(rows.data() + y * width,
                            picture.pixels + (part.v0 + first + y) * picture.width + part.u0,
                            static_cast<std::size_t>(width) * 4);
            return rows;
        };
    } else {
        fetch = [&](long long first, long long count) {
            return DibToPixels(*picture.bitmapInfo, picture.bits, picture.bitsSize, part.u0,
                               static_cast<int>(part.v0 + first * step), part.uw,
                               static_cast<int>(count * step), step);
        };
    }
    const int iw = static_cast<int>(std::min<long long>(std::max(part.iw, 1), width));
    const int ih = static_cast<int>(std::min<long long>(std::max(part.ih, 1), height));
    auto image = std::make_shared<pdf::Image>();
    image->width = part.turn ? ih : iw;
    image->height = part.turn ? iw : ih;
    if (!reduce(fetch, width, height, iw, ih, part.turn, image->pixels))
        return nullptr;
    grayWhereGray(*image);
    image->key = digest(*image);
    return image;
}

} // namespace

std::shared_ptr<const pdf::Image> PdfPicture(const PictureSource &picture, const PicturePart &part)
{
    if (part.uw <= 0 || part.vh <= 0 || part.u0 < 0 || part.v0 < 0 ||
        part.u0 + part.uw > picture.width || part.v0 + part.vh > picture.height ||
        (picture.pixels == nullptr && picture.bitmapInfo == nullptr))
        return nullptr;
    PreparedImage *prepared = nullptr;
    if (picture.drawHandle != nullptr) {
        std::shared_ptr<void> &handle = *picture.drawHandle;
        if (!handle)
            handle = std::shared_ptr<void>(new PreparedImage, PreparedDeleter());
        if (std::get_deleter<PreparedDeleter>(handle) != nullptr)
            prepared = static_cast<PreparedImage *>(handle.get());
        if (prepared && prepared->image && prepared->part == keyOf(part))
            return prepared->image;
    }
    std::shared_ptr<const pdf::Image> image = convert(picture, part);
    if (prepared && image) {
        prepared->part = keyOf(part);
        prepared->image = image;
    }
    return image;
}
