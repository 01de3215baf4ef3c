// Converting a picture part into the QImage that the QPainter surface stretches.
#include "intermediate.h"

#include "image/dibpixels.h"

#include <QTransform>

#include <tuple>

namespace {

// What a file picture's draw handle holds: the last intermediate made from it.
struct PreparedPicture {
    std::tuple<int, int, int, int, int, int, bool> key;
    QImage image;
};

auto KeyOf(const PicturePart &p)
{
    return std::make_tuple(p.u0, p.v0, p.uw, p.vh, p.iw, p.ih, p.turn);
}

// The part's pixels, unscaled, as an image that owns them.
QImage PartPixels(const PictureSource &picture, const PicturePart &part)
{
    if (picture.pixels != nullptr) {
        const auto *first = reinterpret_cast<const uchar *>(
            picture.pixels + static_cast<std::size_t>(part.v0) * picture.width + part.u0);
        return QImage(first, part.uw, part.vh, picture.width * 4, QImage::Format_RGB32).copy();
    }
    // The pixel buffer moves into a heap block that the image frees with itself.
    auto *pixels = new std::vector<std::uint32_t>(DibToPixels(
        *picture.bitmapInfo, picture.bits, picture.bitsSize, part.u0, part.v0, part.uw, part.vh));
    if (pixels->size() < static_cast<std::size_t>(part.uw) * part.vh) {
        delete pixels;
        return {};
    }
    return QImage(reinterpret_cast<uchar *>(pixels->data()), part.uw, part.vh, part.uw * 4,
                  QImage::Format_RGB32,
                  [](void *p) { delete static_cast<std::vector<std::uint32_t> *>(p); }, pixels);
}

} // namespace

QImage IntermediatePicture(const PictureSource &picture, const PicturePart &part)
{
    if (part.uw <= 0 || part.vh <= 0 || part.u0 < 0 || part.v0 < 0 ||
        part.u0 + part.uw > picture.width || part.v0 + part.vh > picture.height)
        return {};
    PreparedPicture *prepared = nullptr;
    if (picture.drawHandle != nullptr) {
        if (!*picture.drawHandle)
            *picture.drawHandle = std::make_shared<PreparedPicture>();
        prepared = static_cast<PreparedPicture *>(picture.drawHandle->get());
        if (!prepared->image.isNull() && prepared->key == KeyOf(part))
            return prepared->image;
    }
    QImage image = PartPixels(picture, part);
    if (image.isNull())
        return {};
    if (part.iw != part.uw || part.ih != part.vh)
        image = image.scaled(part.iw, part.ih, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (part.turn)
        image = image.transformed(QTransform().rotate(-90));
    if (prepared != nullptr) {
        prepared->key = KeyOf(part);
        prepared->image = image;
    }
    return image;
}
