// The reader of bitmap files (.bmp): Windows files with a 40-byte information header and
// OS/2 files with a 12-byte core header.
#pragma once

#include "image/decodedpicture.h"

#include <string>

// Reads the bitmap file at `path` (a file system path) into `picture`: the sizes and
// `bitmapInfo`, and with `infoOnly` false also the pixel rows. Returns false, leaving
// `picture` cleared (sizes 0), for a file that cannot be opened or that is not a bitmap
// this program can draw.
//
// What a file may rely on: the signature ("BM") is not tested, and the colour table below
// 16 bits per pixel always has 2^bitCount entries whatever biClrUsed says, so a short
// table's entries are followed by whatever the file holds next. 16- and 32-bit files
// keep no bit-field masks.
//
// What is refused: headers other than 40 and 12 bytes (V4 and V5 among them), top-down
// rows (a negative height), sizes that are not positive or above dib::kMaxPixels, bit
// counts other than 1, 4, 8, 16, 24 and 32, compressions that do not fit the bit count,
// a file that ends inside the colour entries it declares, pixel data that would start
// inside the headers or at or after the end, and pixel data too short for the picture it
// claims (dib::HoldsPixels). The pixel data ends at the claimed file size (bfSize), or at
// the real end of a file that claims more.
bool ReadBmpFile(const std::string &path, bool infoOnly, DecodedPicture &picture);
