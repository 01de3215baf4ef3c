// A picture part as the PDF writer embeds it: the visible part, reduced where the part
// asks for it, turned.
#pragma once

#include "draw/surface.h"
#include "image.h"

#include <memory>

// The part of `picture` as 8-bit RGB pixels (gray when every pixel is gray) of the part's
// intermediate size, turned a quarter counter-clockwise when the part says so. A part is
// never enlarged: the PDF reader scales it into place, so only a reduction changes the
// pixels. Large parts are read a band of rows at a time, so that no picture needs its
// whole size in memory twice.
//
// The image's key is a digest of its pixels: the same pixels drawn on any page, by any
// thread, are one picture in the file. A file picture keeps the last image made from it
// in its draw handle, so the same part placed on every page is converted once. Null when
// the part lies outside the picture or its pixels cannot be read.
std::shared_ptr<const pdf::Image> PdfPicture(const PictureSource &picture, const PicturePart &part);
