// Converting a QImage into the pixels of a clipboard slot.
#include "slotimage.h"

#include "image/clipimage.h"

#include <QImage>
#include <QPainter>

#include <cstring>

std::vector<std::uint32_t> CopyToDisplayBitmap(const QImage &image)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {};
    QImage opaque(image.size(), QImage::Format_RGB32);
    if (opaque.isNull())
        return {};
    opaque.fill(Qt::white);
    {
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
    }
    const auto width = static_cast<std::size_t>(opaque.width());
    std::vector<std::uint32_t> pixels(width * static_cast<std::size_t>(opaque.height()));
    for (int y = 0; y < opaque.height(); ++y)
        std::memcpy(pixels.data() + width * static_cast<std::size_t>(y), opaque.constScanLine(y),
                    width * sizeof(std::uint32_t));
    return pixels;
}

bool FillSlotFromImage(ClipImageStore &store, int digit, const QImage &image)
{
    std::vector<std::uint32_t> pixels = CopyToDisplayBitmap(image);
    if (pixels.empty())
        return false;
    store.Fill(digit, image.width(), image.height(), std::move(pixels));
    const ClipImage *slot = store.Slot(digit);
    return slot != nullptr && slot->width == image.width() && slot->height == image.height();
}
