/* The image plug-in interface: the four functions an import filter library exports and the
 * records they exchange with the program. Usable from C and C++.
 *
 * A plug-in is an ELF shared library named NAME.spi (the extension in any case) in the
 * program's folder that exports GetPluginInfo, IsSupported, GetPictureInfo and GetPicture
 * with C linkage. On x86-64 Linux there is one calling convention, so the functions carry
 * no calling-convention attribute. Strings are code page 932 bytes, except file names.
 * Memory "handles" are blocks from malloc(); whoever receives one frees it with free().
 *
 * What the program relies on, and what it does not:
 *
 * - Choice of a plug-in. Only the first file type counts (information numbers 2 and 3);
 *   further types are never asked for. Its patterns are "*" followed by an extension with
 *   its dot, separated by ";" (blanks are ignored): "*.jpg;*.jpeg". A file goes to the
 *   first plug-in, in the byte order of the plug-ins' file names, whose patterns name the
 *   file's extension, letter case ignored; the content is not looked at to choose. A
 *   pattern list that does not begin with "*" is shown in the file dialog but never
 *   chosen. Files named .bmp never reach a plug-in.
 * - File names. The picture's path as the command file gave it, after its folder macros
 *   (%With%, ...) are expanded: converted to UTF-8, every "\" read as "/", and each name
 *   that does not exist as written replaced by the existing one that differs only in letter
 *   case. A relative path stays relative to the current folder. The plug-in opens the file
 *   by that name.
 * - Lifetime. The library is loaded (dlopen) for each picture file of a print job and
 *   unloaded when the job ends, so it is loaded and unloaded many times in one run; calls
 *   come from one thread at a time.
 * - The picture returned by GetPicture (below) is checked against the size of each
 *   malloc() block, never trusted beyond it; a picture refused is reported on the standard
 *   error stream, and the command that named it fails with error 25.
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

/* Progress of GetPicture; a non-zero return asks the plug-in to stop (result 1). The
 * program passes none: a plug-in must accept a null callback. */
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
 * when there is no such information. The program asks for 0, 2 and 3 only, with buflen
 * 256, and cuts longer texts there. */
SPI_EXPORT int GetPluginInfo(int infono, char *buf, int buflen);

/* Non-zero when the plug-in can read the file `filename`; dw is the file descriptor of
 * the same file, opened for reading and positioned at its start; the program closes it.
 * Zero refuses the file (error 25). */
SPI_EXPORT int IsSupported(char *filename, uintptr_t dw);

/* The size and depth of a picture. flag & 7 is 0 when buf names a file (len: the offset
 * of the picture in it), 1 when buf holds the file's len bytes in memory. The program
 * always names a file (len 0, flag 0) and does not look at the result: width and height
 * must both be positive, at most 2^28 pixels in all, or the file is refused. A non-null
 * hInfo is freed with free(). */
SPI_EXPORT int GetPictureInfo(char *buf, long len, unsigned int flag, PictureInfo *lpInfo);

/* Decodes a picture (buf, len and flag as for GetPictureInfo; the program passes a file
 * name, len 0, flag 0, a null callback and lData 0). On success returns 0 and two malloc()
 * blocks, which the program frees:
 *
 * *pHBInfo: the 40-byte information header (biSize 40), then for bit counts below 16 the
 * colour table of 4-byte entries (blue, green, red, 0): 2^biBitCount of them, or, when
 * biClrUsed is from 1 to 2^biBitCount - 1, at least biClrUsed (entries the block does not
 * hold read as black); from 16 bits on, 4 spare bytes. biWidth and biHeight must be
 * positive (rows from the bottom; a negative height, top-down rows, is refused), at most
 * 2^28 pixels in all; biBitCount 1, 4, 8, 16 (5-5-5, or 5-6-5 with BI_BITFIELDS, whose
 * masks are not read), 24 or 32; compression BI_RGB, BI_RLE8 at 8 bits, BI_RLE4 at 4
 * bits, BI_BITFIELDS at 16 and 32 bits. The fourth byte of a 32-bit pixel is ignored:
 * there is no transparency, so lay transparent pixels on white first.
 *
 * *pHBm: the pixel rows, bottom row first, each padded to a multiple of 4 bytes; every
 * row must be there (only the last row's padding may be missing). RLE data: biSizeImage
 * bytes, or the whole block when biSizeImage is 0. */
SPI_EXPORT int GetPicture(char *buf, long len, unsigned int flag, HANDLE *pHBInfo, HANDLE *pHBm,
                          SpiProgressCallback lpPrgressCallback, long lData);

#ifdef __cplusplus
}
#endif
