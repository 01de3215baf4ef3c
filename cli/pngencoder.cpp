// PNG encoding of rendered pages: one pass to choose the pixel form, one to filter the
// rows and deflate them a strip at a time, so no second copy of the page is made.
#include "pngencoder.h"

#include <QIODevice>
#include <QImage>

#include <zlib.h>

#include <array>
#include <cstring>

namespace {

constexpr unsigned char kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
// Rows are filtered and handed to deflate this many bytes at a time, and compressed data
// is written in IDAT chunks of this size.
constexpr std::size_t kStripBytes = 256 * 1024;
// Deflate level 1: a rendered page is mostly runs of white and long repeats, which the
// fastest level compresses nearly as well as the default one at a fraction of its time.
// Three-byte pixels deflate smaller, as fast, when only runs are looked for.
constexpr int kDeflateLevel = Z_BEST_SPEED;

constexpr QRgb kColourBits = 0xFFFFFF;
constexpr QRgb kNoColour = 0xFFFFFFFF; // never a colour once alpha is masked off

// The distinct colours of a page, up to 256, each with its palette index.
class ColourTable {
public:
    // The index of `colour`, added when new; -1 when the table is full.
    int indexOf(QRgb colour)
    {
        std::size_t slot = hash(colour);
        while (m_colours[slot] != kNoColour) {
            if (m_colours[slot] == colour)
                return m_indexes[slot];
            slot = (slot + 1) % kSlots;
        }
        if (m_palette.size() == 256)
            return -1;
        m_colours[slot] = colour;
        m_indexes[slot] = static_cast<unsigned char>(m_palette.size());
        m_palette.push_back(colour);
        return m_indexes[slot];
    }
    std::vector<QRgb> &palette() { return m_palette; }

private:
    static constexpr std::size_t kSlots = 1024; // at most a quarter full
    static std::size_t hash(QRgb colour) { return (colour * 0x9E3779B1u) >> 22; }

    std::array<QRgb, kSlots> m_colours = filled();
    std::array<unsigned char, kSlots> m_indexes{};
    std::vector<QRgb> m_palette;

    static std::array<QRgb, kSlots> filled()
    {
        std::array<QRgb, kSlots> a;
        a.fill(kNoColour);
        return a;
    }
};

// True when one of the 8 pixels at `p` has a colour other than `colour`.
inline bool SpansOtherColour(const QRgb *p, QRgb colour)
{
    QRgb differ = 0;
    for (int i = 0; i < 8; ++i)
        differ |= p[i] ^ colour;
    return (differ & kColourBits) != 0;
}

void PutBigEndian(unsigned char *to, std::uint32_t v)
{
    to[0] = static_cast<unsigned char>(v >> 24);
    to[1] = static_cast<unsigned char>(v >> 16);
    to[2] = static_cast<unsigned char>(v >> 8);
    to[3] = static_cast<unsigned char>(v);
}

// Writes chunks to the device and remembers whether every write succeeded.
class ChunkWriter {
public:
    explicit ChunkWriter(QIODevice &out) : m_out(out)
    {
        write(kSignature, sizeof kSignature);
    }
    void chunk(const char *type, const unsigned char *data, std::size_t size)
    {
        unsigned char head[8];
        PutBigEndian(head, static_cast<std::uint32_t>(size));
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0, head + 4, 4);
        if (size > 0)
            crc = crc32(crc, data, static_cast<uInt>(size));
        unsigned char tail[4];
        PutBigEndian(tail, static_cast<std::uint32_t>(crc));
        write(head, 8);
        write(data, size);
        write(tail, 4);
    }
    bool ok() const { return m_ok; }

private:
    void write(const unsigned char *data, std::size_t size)
    {
        if (m_ok && size > 0)
            m_ok = m_out.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size);
    }
    QIODevice &m_out;
    bool m_ok = true;
};

// One row of the page in the chosen form: bytes per pixel 1 (gray, index) or 3.
void ConvertRow(const QRgb *from, int width, const PngPixels &pixels, ColourTable &table,
                unsigned char *to)
{
    switch (pixels.form) {
    case PngPixelForm::Gray:
        for (int x = 0; x < width; ++x)
            to[x] = static_cast<unsigned char>(from[x]);
        break;
    case PngPixelForm::Indexed: {
        QRgb last = kNoColour;
        unsigned char index = 0;
        for (int x = 0; x < width; ++x) {
            const QRgb colour = from[x] & kColourBits;
            if (colour != last) { // runs of one colour look the colour up once
                last = colour;
                index = static_cast<unsigned char>(table.indexOf(colour));
            }
            to[x] = index;
        }
        break;
    }
    case PngPixelForm::Rgb:
        for (int x = 0; x < width; ++x, to += 3) {
            to[0] = static_cast<unsigned char>(from[x] >> 16);
            to[1] = static_cast<unsigned char>(from[x] >> 8);
            to[2] = static_cast<unsigned char>(from[x]);
        }
        break;
    }
}

// Deflates the filtered rows into IDAT chunks.
class IdatStream {
public:
    IdatStream(ChunkWriter &chunks, int strategy) : m_chunks(chunks), m_out(kStripBytes)
    {
        m_ready = deflateInit2(&m_z, kDeflateLevel, Z_DEFLATED, 15, 9, strategy) == Z_OK;
        m_z.next_out = m_out.data();
        m_z.avail_out = static_cast<uInt>(m_out.size());
    }
    ~IdatStream() { deflateEnd(&m_z); }
    IdatStream(const IdatStream &) = delete;
    IdatStream &operator=(const IdatStream &) = delete;

    bool add(unsigned char *data, std::size_t size) { return run(data, size, Z_NO_FLUSH); }
    bool finish() { return run(nullptr, 0, Z_FINISH); }

private:
    bool run(unsigned char *data, std::size_t size, int flush)
    {
        if (!m_ready)
            return false;
        m_z.next_in = data;
        m_z.avail_in = static_cast<uInt>(size);
        for (;;) {
            const int result = deflate(&m_z, flush);
            if (result == Z_STREAM_ERROR)
                return false;
            if (m_z.avail_out == 0 || (result == Z_STREAM_END && m_z.avail_out < m_out.size())) {
                m_chunks.chunk("IDAT", m_out.data(), m_out.size() - m_z.avail_out);
                m_z.next_out = m_out.data();
                m_z.avail_out = static_cast<uInt>(m_out.size());
            }
            if (flush == Z_FINISH ? result == Z_STREAM_END : m_z.avail_in == 0)
                return m_chunks.ok();
        }
    }

    ChunkWriter &m_chunks;
    std::vector<unsigned char> m_out;
    z_stream m_z{};
    bool m_ready = false;
};

} // namespace

PngPixels ChoosePngPixels(const QImage &image)
{
    bool gray = true;
    ColourTable table;
    bool tableFull = false;
    // Takes in a colour met after another; false once only three bytes can hold them all.
    const auto meet = [&](QRgb colour) {
        if (gray && (qRed(colour) != qGreen(colour) || qGreen(colour) != qBlue(colour)))
            gray = false;
        if (!tableFull && table.indexOf(colour) < 0)
            tableFull = true;
        return gray || !tableFull;
    };
    const int width = image.width(); // out of line: not asked for every pixel
    QRgb last = image.isNull() ? 0 : image.pixel(0, 0) & kColourBits;
    meet(last);
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            // Runs of one colour (most of a page) are passed over eight pixels at a time.
            while (x + 8 <= width && !SpansOtherColour(row + x, last))
                x += 8;
            if (x == width)
                break;
            const QRgb colour = row[x] & kColourBits;
            if (colour == last)
                continue;
            last = colour;
            if (!meet(colour))
                return {PngPixelForm::Rgb, {}};
        }
    }
    if (gray)
        return {PngPixelForm::Gray, {}};
    return {PngPixelForm::Indexed, std::move(table.palette())};
}

bool WritePng(const QImage &image, QIODevice &out)
{
    const bool rgb32 =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    const QImage rgb = rgb32 ? image : image.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    const int height = rgb.height();
    const PngPixels pixels = ChoosePngPixels(rgb);
    const std::size_t rowBytes = std::size_t(width) * (pixels.form == PngPixelForm::Rgb ? 3 : 1);

    ChunkWriter chunks(out);
    unsigned char header[13];
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header + 4, static_cast<std::uint32_t>(height));
    header[8] = 8; // bits per sample
    header[9] = pixels.form == PngPixelForm::Gray      ? 0  // colour type
                : pixels.form == PngPixelForm::Indexed ? 3
                                                       : 2;
    header[10] = header[11] = header[12] = 0; // deflate, adaptive filters, no interlace
    chunks.chunk("IHDR", header, sizeof header);
    ColourTable table; // the indexes of the palette, in its order
    if (pixels.form == PngPixelForm::Indexed) {
        std::vector<unsigned char> palette;
        for (const QRgb colour : pixels.palette) {
            table.indexOf(colour);
            palette.insert(palette.end(), {static_cast<unsigned char>(qRed(colour)),
                                           static_cast<unsigned char>(qGreen(colour)),
                                           static_cast<unsigned char>(qBlue(colour))});
        }
        chunks.chunk("PLTE", palette.data(), palette.size());
    }
    if (rgb.dotsPerMeterX() > 0 && rgb.dotsPerMeterY() > 0) {
        unsigned char density[9];
        PutBigEndian(density, static_cast<std::uint32_t>(rgb.dotsPerMeterX()));
        PutBigEndian(density + 4, static_cast<std::uint32_t>(rgb.dotsPerMeterY()));
        density[8] = 1; // per metre
        chunks.chunk("pHYs", density, sizeof density);
    }

    // Every row with the "up" filter (the difference to the row above): a page repeats
    // most rows of the one above, which then deflate to almost nothing.
    IdatStream idat(chunks, pixels.form == PngPixelForm::Rgb ? Z_RLE : Z_DEFAULT_STRATEGY);
    std::vector<unsigned char> previous(rowBytes, 0), current(rowBytes);
    std::vector<unsigned char> strip(kStripBytes + rowBytes + 1);
    std::size_t used = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        ConvertRow(reinterpret_cast<const QRgb *>(rgb.constScanLine(y)), width, pixels, table,
                   current.data());
        unsigned char *to = strip.data() + used;
        *to++ = 2;
        for (std::size_t i = 0; i < rowBytes; ++i)
            to[i] = static_cast<unsigned char>(current[i] - previous[i]);
        used += rowBytes + 1;
        previous.swap(current);
        if (used >= kStripBytes || y == height - 1) {
            if (!idat.add(strip.data(), used))
                return false;
            used = 0;
        }
    }
    if (!idat.finish())
        return false;
    chunks.chunk("IEND", nullptr, 0);
    return chunks.ok();
}
