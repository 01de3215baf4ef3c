// Converting a picture part into the QImage that the QPainter surface stretches.
#include "intermediate.h"

#include "image/dibpixels.h"

#include <QTransform>

#include <algorithm>
#include <cstring>

#include <tuple>

namespace {

// What a file picture's draw handle holds: the last intermediate made from it. The
// handle is made with this deleter, so that one made by another surface is told apart.
struct PreparedPicture {
    std::tuple<int, int, int, int, int, int, bool> key;
    QImage image;
};
struct PreparedDeleter {
    void operator()(void *p) const { delete static_cast<PreparedPicture *>(p); }
};

auto KeyOf(const PicturePart &p)
{
    return std::make_tuple(p.u0, p.v0, p.uw, p.vh, p.iw, p.ih, p.turn);
}

// A file picture's part that is reduced is decoded a band of rows at a time, each band of
// at most this many pixels, and each band scaled into its rows of the intermediate: so no
// picture, however large it claims to be, needs its whole size in memory at once. A row
// wider than a band is sampled every second (third, ...) pixel.
constexpr long long kBandPixels = 4LL * 1000 * 1000;

// The pixels DibToPixels gives, in an image that frees them with itself.
QImage OwningImage(std::vector<std::uint32_t> &&pixels, int width, int height)
{
    if (pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return {};
    auto *block = new std::vector<std::uint32_t>(std::move(pixels));
    return QImage(reinterpret_cast<uchar *>(block->data()), width, height, width * 4,
                  QImage::Format_RGB32,
                  [](void *p) { delete static_cast<std::vector<std::uint32_t> *>(p); }, block);
}

// The file picture's part reduced to its intermediate size, band by band.
QImage ReducedFilePart(const PictureSource &picture, const PicturePart &part)
{
    int step = 1;
    while (SampledSize(part.uw, step) > kBandPixels)
        ++step;
    const std::int64_t width = SampledSize(part.uw, step);
    const std::int64_t height = SampledSize(part.vh, step);
    const std::int64_t bandRows = std::max<std::int64_t>(1, kBandPixels / width);
    QImage out(part.iw, part.ih, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    out.fill(Qt::white);
    for (std::int64_t row = 0; row < height; row += bandRows) {
        const std::int64_t rows = std::min(bandRows, height - row);
        const int outTop = static_cast<int>(row * part.ih / height);
        const int outBottom = static_cast<int>((row + rows) * part.ih / height);
        if (outBottom <= outTop)
            continue; // a band thinner than one row of the result
        const QImage band = OwningImage(
            DibToPixels(*picture.bitmapInfo, picture.bits, picture.bitsSize, part.u0,
                        static_cast<int>(part.v0 + row * step), part.uw,
                        static_cast<int>(rows * step), step),
            static_cast<int>(width), static_cast<int>(rows));
        if (band.isNull())
            return {};
        const QImage scaled = band.scaled(part.iw, outBottom - outTop, Qt::IgnoreAspectRatio,
                                          Qt::SmoothTransformation);
        for (int y = 0; y < scaled.height(); ++y)
            std::memcpy(out.scanLine(outTop + y), scaled.constScanLine(y),
                        static_cast<std::size_t>(part.iw) * 4);
    }
    return out;
}

// The part's pixels: a clipboard picture's refer to the slot's own pixels; a file
// picture's are decoded, and already reduced when the intermediate is smaller.
QImage PartPixels(const PictureSource &picture, const PicturePart &part)
{
    if (picture.pixels != nullptr) {
        const auto *first = reinterpret_cast<const uchar *>(
            picture.pixels + static_cast<std::size_t>(part.v0) * picture.width + part.u0);
        return QImage(first, part.uw, part.vh, picture.width * 4, QImage::Format_RGB32);
    }
    if (static_cast<long long>(part.iw) * part.ih < static_cast<long long>(part.uw) * part.vh)
        return ReducedFilePart(picture, part);
    return OwningImage(DibToPixels(*picture.bitmapInfo, picture.bits, picture.bitsSize, part.u0,
                                   part.v0, part.uw, part.vh),
                       part.uw, part.vh);
}

} // namespace

QImage IntermediatePicture(const PictureSource &picture, const PicturePart &part)
{
    if (part.uw <= 0 || part.vh <= 0 || part.u0 < 0 || part.v0 < 0 ||
        part.u0 + part.uw > picture.width || part.v0 + part.vh > picture.height)
        return {};
    PreparedPicture *prepared = nullptr;
    if (picture.drawHandle != nullptr) {
        std::shared_ptr<void> &handle = *picture.drawHandle;
        if (!handle)
            handle = std::shared_ptr<void>(new PreparedPicture, PreparedDeleter());
        if (std::get_deleter<PreparedDeleter>(handle) != nullptr)
            prepared = static_cast<PreparedPicture *>(handle.get());
        if (prepared && !prepared->image.isNull() && prepared->key == KeyOf(part))
            return prepared->image;
    }
    QImage image = PartPixels(picture, part);
    if (image.isNull())
        return {};
    if (image.width() != part.iw || image.height() != part.ih)
        image = image.scaled(part.iw, part.ih, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    else if (picture.pixels != nullptr)
        image = image.copy(); // its own pixels: the slot may change before the page is out
    if (part.turn)
        image = image.transformed(QTransform().rotate(-90));
    if (prepared != nullptr) {
        prepared->key = KeyOf(part);
        prepared->image = image;
    }
    return image;
}
