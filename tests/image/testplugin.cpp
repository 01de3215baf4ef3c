// A Qt-free import filter for the plug-in host's tests; TEST_PLUGIN_KIND picks its
// identity. It reads "ZTST" files: "ZTST", a behaviour byte, width and height (16 bits
// each). Behaviour 0 gives a 24-bit picture whose pixel (x, y), y from the top, is red x,
// green y, blue 0x10 × (kind + 1), so a test sees which plug-in decoded it. kFourColours
// gives an 8-bit picture with biClrUsed 4 and just those 4 colours (kFourColourTable),
// pixel (x, y) index (x + y) mod 4. The others misreport as a broken plug-in might.
#include "image/spi.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Identity {
    const char *version, *patterns, *description;
};
constexpr Identity kIdentities[] = {
    {"00IN", "*.jpg; *.jpeg", "JPEG"}, {"00IN", "*.png", "PNG"},
    {"00IN", "*.JPG;*.gif", "GIF"},    {"00IN", ".tst;*.tst", "TST"}, // patterns without "*"
    {"00AM", "*.lzh", "LZH"},          {"00IN", "*.bmp;*.zts", "ZTS"}, // archive; claims bitmaps
};
constexpr Identity kSelf = kIdentities[TEST_PLUGIN_KIND];

enum {
    kNormal, kHugeSizes, kBitCount33, kShortBits, kFails, kShortHeader, kNoColours,
    // 4 colours given, biClrUsed 16: the host sizes the block by malloc_usable_size, which
    // may exceed the request by up to a few dozen bytes, so one entry short would not
    // always show.
    kFourColours, kClrUsedBeyondTable
};
// Red, green, blue and gray, as blue, green, red, 0.
constexpr unsigned char kFourColourTable[16] = {0x00, 0x00, 0xFF, 0, 0x00, 0xFF, 0x00, 0,
                                                0xFF, 0x00, 0x00, 0, 0x80, 0x80, 0x80, 0};

bool Parse(const unsigned char *h, int &behaviour, int &width, int &height)
{
    behaviour = h[4];
    width = h[5] | (h[6] << 8);
    height = h[7] | (h[8] << 8);
    return std::memcmp(h, "ZTST", 4) == 0;
}

bool ReadHead(const char *path, int &behaviour, int &width, int &height)
{
    unsigned char h[9] = {};
    std::FILE *f = std::fopen(path, "rb");
    const bool read = f && std::fread(h, 1, 9, f) == 9;
    if (f)
        std::fclose(f);
    return read && Parse(h, behaviour, width, height);
}

int Copy(const char *text, char *buf, int buflen)
{
    std::snprintf(buf, static_cast<std::size_t>(buflen), "%s", text);
    return static_cast<int>(std::strlen(buf));
}

} // namespace

extern "C" {

int GetPluginInfo(int infono, char *buf, int buflen)
{
    return infono == 0 ? Copy(kSelf.version, buf, buflen)
           : infono == 2 ? Copy(kSelf.patterns, buf, buflen)
           : infono == 3 ? Copy(kSelf.description, buf, buflen) : 0;
}

int IsSupported(char *, uintptr_t dw) // reads only the descriptor the host passes
{
    unsigned char h[9] = {};
    int b, w, ht;
    return pread(static_cast<int>(dw), h, 9, 0) == 9 && Parse(h, b, w, ht);
}

int GetPictureInfo(char *buf, long, unsigned int, PictureInfo *info)
{
    int behaviour, width, height;
    if (!ReadHead(buf, behaviour, width, height))
        return SPI_UNKNOWN_FORMAT;
    *info = PictureInfo{};
    info->width = behaviour == kHugeSizes ? 0x40000000 : width;
    info->height = behaviour == kHugeSizes ? 0x40000000 : height;
    info->colorDepth = 24;
    return SPI_SUCCESS;
}

int GetPicture(char *buf, long, unsigned int, HANDLE *pHBInfo, HANDLE *pHBm, SpiProgressCallback, long)
{
    int behaviour, width, height;
    if (!ReadHead(buf, behaviour, width, height))
        return SPI_UNKNOWN_FORMAT;
    if (behaviour == kFails)
        return SPI_BROKEN_DATA;
    const bool indexed = behaviour == kFourColours || behaviour == kClrUsedBeyondTable;
    const int stride = ((indexed ? 8 : 24) * width + 31) / 32 * 4;
    SpiBitmapInfoHeader header{40, width, height, 1, 24, 0, 0, 0, 0, 0, 0};
    if (behaviour == kHugeSizes)
        header.biWidth = header.biHeight = 1 << 20;
    header.biBitCount = behaviour == kBitCount33                ? 33
                        : behaviour == kNoColours || indexed ? 8
                                                             : 24;
    header.biClrUsed = indexed ? (behaviour == kFourColours ? 4 : 16) : 0;
    const std::size_t infoSize = behaviour == kShortHeader ? 20
                                 : indexed                 ? 40 + sizeof kFourColourTable
                                                           : 44;
    auto *info = static_cast<unsigned char *>(std::calloc(1, infoSize));
    std::memcpy(info, &header, infoSize < 40 ? infoSize : 40);
    if (indexed)
        std::memcpy(info + 40, kFourColourTable, sizeof kFourColourTable);
    const bool shortBits = behaviour == kShortBits || behaviour == kHugeSizes;
    auto *bits = static_cast<unsigned char *>(std::calloc(1, shortBits ? 10 : std::size_t(stride * height)));
    for (int y = 0; !shortBits && y < height; ++y) // rows are stored from the bottom
        for (int x = 0; x < width; ++x) {
            if (indexed) {
                bits[(height - 1 - y) * stride + x] = static_cast<unsigned char>((x + y) % 4);
                continue;
            }
            unsigned char *p = bits + (height - 1 - y) * stride + 3 * x;
            p[0] = 0x10 * (TEST_PLUGIN_KIND + 1);
            p[1] = static_cast<unsigned char>(y);
            p[2] = static_cast<unsigned char>(x);
        }
    *pHBInfo = info;
    *pHBm = bits;
    return SPI_SUCCESS;
}

} // extern "C"
