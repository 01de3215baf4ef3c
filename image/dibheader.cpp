// Bitmap information headers: byte layout and the drawable check.
#include "image/dibheader.h"

namespace dib {

namespace {

void WriteU16(unsigned char *p, std::uint16_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void WriteU32(unsigned char *p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

} // namespace

InfoHeader ReadInfoHeader(const unsigned char *p)
{
    InfoHeader h;
    h.size = ReadU32(p);
    h.width = ReadI32(p + 4);
    h.height = ReadI32(p + 8);
    h.planes = ReadU16(p + 12);
    h.bitCount = ReadU16(p + 14);
    h.compression = ReadU32(p + 16);
    h.sizeImage = ReadU32(p + 20);
    h.xPelsPerMeter = ReadI32(p + 24);
    h.yPelsPerMeter = ReadI32(p + 28);
    h.clrUsed = ReadU32(p + 32);
    h.clrImportant = ReadU32(p + 36);
    return h;
}

void WriteInfoHeader(unsigned char *p, const InfoHeader &h)
{
    WriteU32(p, h.size);
    WriteU32(p + 4, static_cast<std::uint32_t>(h.width));
    WriteU32(p + 8, static_cast<std::uint32_t>(h.height));
    WriteU16(p + 12, h.planes);
    WriteU16(p + 14, h.bitCount);
    WriteU32(p + 16, h.compression);
    WriteU32(p + 20, h.sizeImage);
    WriteU32(p + 24, static_cast<std::uint32_t>(h.xPelsPerMeter));
    WriteU32(p + 28, static_cast<std::uint32_t>(h.yPelsPerMeter));
    WriteU32(p + 32, h.clrUsed);
    WriteU32(p + 36, h.clrImportant);
}

bool IsDrawable(const InfoHeader &h)
{
    if (h.width <= 0 || h.height <= 0
        || static_cast<std::int64_t>(h.width) * h.height > kMaxPixels)
        return false;
    switch (h.bitCount) {
    case 1:
    case 24:
        return h.compression == kRgb;
    case 4:
        return h.compression == kRgb || h.compression == kRle4;
    case 8:
        return h.compression == kRgb || h.compression == kRle8;
    case 16:
    case 32:
        return h.compression == kRgb || h.compression == kBitFields;
    default:
        return false;
    }
}

bool HoldsPixels(const InfoHeader &h, std::int64_t bitsSize)
{
    const std::int64_t pixels = static_cast<std::int64_t>(h.width) * h.height;
    if (h.compression == kRle8 || h.compression == kRle4)
        return bitsSize > 0 && pixels <= bitsSize * kMaxRlePixelsPerByte;
    const std::int64_t lastRow = (static_cast<std::int64_t>(h.bitCount) * h.width + 7) / 8;
    return bitsSize >= RowStride(h.bitCount, h.width) * (h.height - 1) + lastRow;
}

} // namespace dib
