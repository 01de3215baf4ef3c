// Placing a picture on the page: its size and box, the part that reaches the paper, and
// the turn, mirroring and rounded corners it is drawn with.
#pragma once

#include "surface.h"

#include "image/fileimage.h"

#include <optional>

struct CommandFrame;

// The most pixels a printed picture's intermediate has: a picture 4000 pixels square
// printed across a whole A4 sheet is still finer than 400 dots per inch, and a larger
// one would only cost memory.
inline constexpr long long kMaxPrintPixels = 16LL * 1000 * 1000;

// How a picture's visible part is drawn: the part and its intermediate size, and the
// destination rectangle, whose negative width or height mirrors the picture.
struct ImagePlan {
    PicturePart part;
    int x = 0, y = 0, w = 0, h = 0;
};

// The inputs of the drawing plan, all in logical units except the pixel sizes.
struct ImageGeometry {
    long long x = 0, y = 0, w = 0, h = 0; // the picture's box on the page
    int pw = 0, ph = 0;                   // pixel size as drawn (swapped when turned)
    int pictureWidth = 0, pictureHeight = 0; // the picture's own pixel size
    int direction = 1;                    // 1 to 4
    bool mirrored = false;                // the direction was given negative
    int paperWidth = 0, paperHeight = 0;  // 0.1 mm
    long long pixelLimit = 0;             // most pixels of the intermediate; 0 = no limit
    double limitSide = 0;                 // the side used when the part is reduced
};

// The part of the box within 10 mm of the paper and how to draw it, or nothing when no
// part of the picture reaches there.
std::optional<ImagePlan> PlanImage(const ImageGeometry &g);

// Measures `image` with the engine's picture size and direction, records it as the last
// picture and its sizes, and, when `draw` is set, draws it at the display position. A null
// reference does nothing at all.
void DrawImage(CommandFrame &frame, ImageRef image, bool draw);
