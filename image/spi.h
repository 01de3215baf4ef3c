/* The image plug-in interface: the four functions an import filter library exports and the
 * records they exchange with the program. Usable from C and C++.
 *
 * A plug-in is an ELF shared library named NAME.spi in the program's folder that exports
 * GetPluginInfo, IsSupported, GetPictureInfo and GetPicture with C linkage. On x86-64
 * Linux there is one calling convention, so the functions carry no calling-convention
 * attribute. Strings are code page 932 bytes, except file names, which are the file
 * system's own names (UTF-8 bytes on Linux). Memory "handles" are blocks from malloc();
 * whoever receives one frees it with free().
 */
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define SPI_EXPORT __attribute__((visibility("default")))
#else
#define SPI_EXPORT
#endif

typedef void *HANDLE; /* a malloc() block, freed by its receiver with free() */

#pragma pack(push, 1)
/* What GetPictureInfo reports of a picture. */
typedef struct PictureInfo {
    int32_t left;       /* position of the picture, usually 0 */
    int32_t top;
    int32_t width;      /* size in pixels */
    int32_t height;
    uint16_t x_density; /* pixels per unit, 0 when unknown */
    uint16_t y_density;
    int16_t colorDepth; /* bits per pixel */
    HANDLE hInfo;       /* text information, or null */
} PictureInfo;
#pragma pack(pop)

/* The four integer fields, three 16-bit fields and the handle, packed: 26 bytes where a
 * handle has 4, 30 on 64-bit Linux, where a malloc() pointer needs all 8. */
#ifdef __cplusplus
static_assert(sizeof(PictureInfo) == 22 + sizeof(HANDLE), "PictureInfo must be packed");
static_assert(offsetof(PictureInfo, colorDepth) == 20, "PictureInfo must be packed");
#else
_Static_assert(sizeof(PictureInfo) == 22 + sizeof(HANDLE), "PictureInfo must be packed");
#endif

/* The information header of a device-independent bitmap, little-endian, 40 bytes. */
typedef struct SpiBitmapInfoHeader {
    uint32_t biSize; /* 40 */
    int32_t biWidth;
    int32_t biHeight; /* positive: rows from the bottom */
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression; /* 0 BI_RGB, 1 BI_RLE8, 2 BI_RLE4, 3 BI_BITFIELDS */
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} SpiBitmapInfoHeader;

#ifdef __cplusplus
static_assert(sizeof(SpiBitmapInfoHeader) == 40, "bitmap information header is 40 bytes");
#else
_Static_assert(sizeof(SpiBitmapInfoHeader) == 40, "bitmap information header is 40 bytes");
#endif

/* Progress of GetPicture; a non-zero return asks the plug-in to stop (result 1). */
typedef int (*SpiProgressCallback)(int nNum, int nDenom, long lData);

/* Result codes of GetPictureInfo and GetPicture. */
enum {
    SPI_SUCCESS = 0,
    SPI_NOT_IMPLEMENTED = -1,
    SPI_ABORTED = 1,
    SPI_UNKNOWN_FORMAT = 2,
    SPI_BROKEN_DATA = 3,
    SPI_NO_MEMORY = 4,
    SPI_MEMORY_ERROR = 5,
    SPI_FILE_READ_ERROR = 6,
    SPI_INTERNAL_ERROR = 8
};

/* Information number infono into buf (at most buflen bytes, NUL included): 0 the interface
 * version ("00IN" for an image import filter), 1 the plug-in's name, 2n+2 the patterns of
 * file type n ("*.jpg;*.jpeg"), 2n+3 its description. Returns the length written, or 0
 * when there is no such information. */
SPI_EXPORT int GetPluginInfo(int infono, char *buf, int buflen);

/* Non-zero when the plug-in can read the file `filename`; dw is the file descriptor of
 * the same file, opened for reading and positioned at its start. */
SPI_EXPORT int IsSupported(char *filename, uintptr_t dw);

/* The size and depth of a picture. flag & 7 is 0 when buf names a file (len: the offset
 * of the picture in it), 1 when buf holds the file's len bytes in memory. */
SPI_EXPORT int GetPictureInfo(char *buf, long len, unsigned int flag, PictureInfo *lpInfo);

/* Decodes a picture (buf, len and flag as for GetPictureInfo). On success returns 0 and
 * two malloc() blocks: *pHBInfo the information header followed by the colour table (bit
 * counts below 16) or 4 spare bytes, *pHBm the pixel rows, bottom row first, each padded
 * to a multiple of 4 bytes. */
SPI_EXPORT int GetPicture(char *buf, long len, unsigned int flag, HANDLE *pHBInfo, HANDLE *pHBm,
                          SpiProgressCallback lpPrgressCallback, long lData);

#ifdef __cplusplus
}
#endif
