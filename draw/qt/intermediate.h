// The intermediate picture of one placement: the visible part, scaled and turned.
#pragma once

#include "draw/surface.h"

#include <QImage>

// The part of `picture` scaled to the part's intermediate size and turned a quarter
// counter-clockwise when the part asks for it. For a file picture the result is kept in
// the picture's draw handle, so placing the same part again (the same picture on every
// page of a job) reuses it instead of converting and scaling the pixels again; reusing the
// same QImage also lets a PDF hold the picture once.
QImage IntermediatePicture(const PictureSource &picture, const PicturePart &part);
