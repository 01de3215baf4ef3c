// The shipped image plug-in: an "00IN" import filter that decodes every format Qt's image
// readers know (PNG, JPEG, GIF, TIFF, WebP, ...) except BMP, which the program reads
// itself. Pictures are handed over as 24-bit bottom-up DIBs, transparency laid on white
// and the EXIF orientation applied.
//
// No QCoreApplication is needed: QImageReader finds Qt's image format plug-ins through
// the library paths, which without an application object are Qt's own plug-in folder.
// Where the host has an application object (the desktop program, zentova-print) its paths
// are used; the plug-in never creates one.
#include "image/spi.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Patterns are listed while the list stays this short, well inside the host's 256 bytes.
constexpr qsizetype kMaxPatternLength = 200;
// The largest pixel data handed back.
constexpr qint64 kMaxBitsBytes = qint64{1} << 30;

// "*.png;*.jpg;..." for the formats Qt can read now, the common ones first, without BMP.
QByteArray PatternList()
{
    static const char *const common[] = {"png", "jpg", "jpeg", "gif", "tif", "tiff", "webp"};
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    QList<QByteArray> ordered;
    for (const char *format : common)
        if (formats.contains(format))
            ordered.append(format);
    for (const QByteArray &format : formats)
        if (!ordered.contains(format))
            ordered.append(format);
    QByteArray list;
    for (const QByteArray &format : ordered) {
        if (format.toLower() == "bmp")
            continue;
        const QByteArray pattern = "*." + format.toLower();
        if (list.size() + 1 + pattern.size() > kMaxPatternLength)
            continue;
        if (!list.isEmpty())
            list += ';';
        list += pattern;
    }
    return list;
}

int CopyInfo(const QByteArray &text, char *buf, int buflen)
{
    if (!buf || buflen <= 0)
        return 0;
    const int length = static_cast<int>(qMin<qsizetype>(text.size(), buflen - 1));
    std::memcpy(buf, text.constData(), static_cast<std::size_t>(length));
    buf[length] = '\0';
    return length;
}

// The picture's bytes: the file named by buf, starting at offset len (flag & 7 == 0), or
// the len bytes at buf (flag & 7 == 1).
std::unique_ptr<QIODevice> OpenSource(const char *buf, long len, unsigned int flag)
{
    if (!buf)
        return nullptr;
    if ((flag & 7) == 1) {
        if (len <= 0)
            return nullptr;
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(QByteArray::fromRawData(buf, static_cast<qsizetype>(len)));
        return buffer->open(QIODevice::ReadOnly) ? std::move(buffer) : nullptr;
    }
    if ((flag & 7) != 0)
        return nullptr;
    auto file = std::make_unique<QFile>(QFile::decodeName(buf));
    if (!file->open(QIODevice::ReadOnly) || (len > 0 && !file->seek(len)))
        return nullptr;
    return file;
}

int ReadError(const QImageReader &reader)
{
    switch (reader.error()) {
    case QImageReader::FileNotFoundError:
    case QImageReader::DeviceError:
        return SPI_FILE_READ_ERROR;
    case QImageReader::UnsupportedFormatError:
        return SPI_UNKNOWN_FORMAT;
    case QImageReader::InvalidDataError:
        return SPI_BROKEN_DATA;
    default:
        return SPI_INTERNAL_ERROR;
    }
}

// The 24-bit DIB of `image`: a 40-byte header with 4 spare bytes, and the rows from the
// bottom, each padded to 4 bytes, semi-transparent pixels blended onto white.
int MakeDib(QImage image, HANDLE *pHBInfo, HANDLE *pHBm)
{
    const qint64 width = image.width();
    const qint64 height = image.height();
    const qint64 stride = (24 * width + 31) / 32 * 4;
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX)
        return SPI_BROKEN_DATA;
    if (stride * height > kMaxBitsBytes)
        return SPI_NO_MEMORY;
    const bool alpha = image.hasAlphaChannel();
    image = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    auto *info = static_cast<unsigned char *>(std::calloc(1, sizeof(SpiBitmapInfoHeader) + 4));
    auto *bits = static_cast<unsigned char *>(std::malloc(static_cast<std::size_t>(stride * height)));
    if (image.isNull() || !info || !bits) {
        std::free(info);
        std::free(bits);
        return SPI_NO_MEMORY;
    }
    SpiBitmapInfoHeader header{};
    header.biSize = sizeof header;
    header.biWidth = static_cast<int32_t>(width);
    header.biHeight = static_cast<int32_t>(height);
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = 0;
    header.biSizeImage = static_cast<uint32_t>(stride * height);
    header.biXPelsPerMeter = image.dotsPerMeterX();
    header.biYPelsPerMeter = image.dotsPerMeterY();
    std::memcpy(info, &header, sizeof header); // x86-64 is little-endian, as the layout is

    for (qint64 y = 0; y < height; ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(image.constScanLine(static_cast<int>(y)));
        unsigned char *to = bits + (height - 1 - y) * stride;
        for (qint64 x = 0; x < width; ++x, to += 3) {
            const QRgb c = from[x];
            unsigned red = qRed(c), green = qGreen(c), blue = qBlue(c);
            const unsigned a = alpha ? static_cast<unsigned>(qAlpha(c)) : 255u;
            if (a != 255) {
                red = (red * a + 255 * (255 - a) + 127) / 255;
                green = (green * a + 255 * (255 - a) + 127) / 255;
                blue = (blue * a + 255 * (255 - a) + 127) / 255;
            }
            to[0] = static_cast<unsigned char>(blue);
            to[1] = static_cast<unsigned char>(green);
            to[2] = static_cast<unsigned char>(red);
        }
        std::memset(to, 0, static_cast<std::size_t>(stride - 3 * width)); // row padding
    }
    *pHBInfo = info;
    *pHBm = bits;
    return SPI_SUCCESS;
}

} // namespace

extern "C" {

int GetPluginInfo(int infono, char *buf, int buflen)
{
    switch (infono) {
    case 0:
        return CopyInfo("00IN", buf, buflen);
    case 2:
        return CopyInfo(PatternList(), buf, buflen);
    case 3:
        return CopyInfo("Qt image formats", buf, buflen);
    default:
        return 0;
    }
}

int IsSupported(char *filename, uintptr_t dw)
{
    // Read the content through the host's descriptor; the name alone decides nothing.
    QFile file;
    if (dw > static_cast<uintptr_t>(INT_MAX)
        || !file.open(static_cast<int>(dw), QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        if (!filename)
            return 0;
        file.setFileName(QFile::decodeName(filename));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
    }
    QImageReader reader(&file);
    return reader.canRead() ? 1 : 0;
}

int GetPictureInfo(char *buf, long len, unsigned int flag, PictureInfo *lpInfo)
{
    if (!lpInfo)
        return SPI_INTERNAL_ERROR;
    std::memset(lpInfo, 0, sizeof *lpInfo);
    const std::unique_ptr<QIODevice> source = OpenSource(buf, len, flag);
    if (!source)
        return SPI_FILE_READ_ERROR;
    QImageReader reader(source.get());
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (size.isValid()) {
        if (reader.transformation() & QImageIOHandler::TransformationRotate90)
            size.transpose();
    } else {
        const QImage image = reader.read();
        if (image.isNull())
            return ReadError(reader);
        size = image.size();
    }
    lpInfo->width = size.width();
    lpInfo->height = size.height();
    lpInfo->colorDepth = 24;
    return SPI_SUCCESS;
}

int GetPicture(char *buf, long len, unsigned int flag, HANDLE *pHBInfo, HANDLE *pHBm,
               SpiProgressCallback lpPrgressCallback, long lData)
{
    if (!pHBInfo || !pHBm)
        return SPI_INTERNAL_ERROR;
    *pHBInfo = nullptr;
    *pHBm = nullptr;
    if (lpPrgressCallback && lpPrgressCallback(0, 1, lData) != 0)
        return SPI_ABORTED;
    const std::unique_ptr<QIODevice> source = OpenSource(buf, len, flag);
    if (!source)
        return SPI_FILE_READ_ERROR;
    QImageReader reader(source.get());
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        return ReadError(reader);
    const int result = MakeDib(image, pHBInfo, pHBm);
    if (result == SPI_SUCCESS && lpPrgressCallback)
        lpPrgressCallback(1, 1, lData);
    return result;
}

} // extern "C"
