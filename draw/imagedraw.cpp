// The size, box and visible part of a picture, and drawing it through the surface.
#include "imagedraw.h"

#include "pagedrawing.h"
#include "units.h"

#include "engine/engine.h"
#include "engine/frame.h"
#include "engine/viewstate.h"

#include <algorithm>
#include <cmath>

namespace {

// Logical units per picture pixel at the automatic size: 96 pixels per inch.
constexpr int kLogicalPerPixel = 15;
// How far around the paper pictures are still drawn: 10 mm.
constexpr int kPaperMargin = 100;

long long Clamp(long long v, long long low, long long high)
{
    return std::min(std::max(v, low), high);
}

} // namespace

std::optional<ImagePlan> PlanImage(const ImageGeometry &g)
{
    const long long x1 = g.x + g.w, y1 = g.y + g.h;
    const long long low = ToLogical(-kPaperMargin);
    const long long highX = ToLogical(static_cast<long long>(g.paperWidth) + kPaperMargin);
    const long long highY = ToLogical(static_cast<long long>(g.paperHeight) + kPaperMargin);
    const long long cx0 = Clamp(g.x, low, highX), cx1 = Clamp(x1, low, highX);
    const long long cy0 = Clamp(g.y, low, highY), cy1 = Clamp(y1, low, highY);
    if (cx0 >= cx1 || cy0 >= cy1)
        return std::nullopt;

    // The visible part in pixels of the picture as drawn.
    const long long sx0 = cx0 > g.x ? (cx0 - g.x) * g.pw / g.w : 0;
    const long long sx1 = cx1 < x1 ? (cx1 - g.x) * g.pw / g.w : g.pw;
    const long long sy0 = cy0 > g.y ? (cy0 - g.y) * g.ph / g.h : 0;
    const long long sy1 = cy1 < y1 ? (cy1 - g.y) * g.ph / g.h : g.ph;
    const long long sw = sx1 - sx0, sh = sy1 - sy0;
    if (sw <= 0 || sh <= 0)
        return std::nullopt;

    // The same part in the picture's own pixels, flipped where the drawing flips.
    const int d = g.direction;
    const bool quarter = d == 2 || d == 4;
    PicturePart part;
    part.u0 = static_cast<int>(quarter ? sy0 : sx0);
    part.v0 = static_cast<int>(quarter ? sx0 : sy0);
    part.uw = static_cast<int>(quarter ? sh : sw);
    part.vh = static_cast<int>(quarter ? sw : sh);
    bool flipU = false, flipV = false;
    switch (d) {
    case 1: flipU = g.mirrored; break;
    case 2: flipU = true; flipV = g.mirrored; break;
    case 3: flipU = !g.mirrored; flipV = true; break;
    default: flipV = !g.mirrored; break;
    }
    if (flipU)
        part.u0 = g.pictureWidth - part.uw - part.u0;
    if (flipV)
        part.v0 = g.pictureHeight - part.vh - part.v0;

    // The intermediate keeps the part's pixels unless a limit applies.
    part.iw = part.uw;
    part.ih = part.vh;
    const long long pixels = static_cast<long long>(part.uw) * part.vh;
    if (g.pixelLimit > 0 && pixels > g.pixelLimit) {
        const double s = std::sqrt(static_cast<double>(part.uw) / part.vh);
        part.iw = std::max(1, static_cast<int>(s * g.limitSide));
        part.ih = std::max(1, static_cast<int>(g.limitSide / s));
    }
    part.turn = quarter;

    ImagePlan plan;
    plan.part = part;
    plan.x = static_cast<int>(cx0);
    plan.y = static_cast<int>(cy0);
    plan.w = static_cast<int>(cx1 - cx0);
    plan.h = static_cast<int>(cy1 - cy0);
    if (d >= 3) {
        plan.y += plan.h;
        plan.h = -plan.h;
    }
    if ((!g.mirrored && d >= 3) || (g.mirrored && d <= 2)) {
        plan.x += plan.w;
        plan.w = -plan.w;
    }
    return plan;
}

namespace {

PictureSource SourceOf(ImageRef image)
{
    PictureSource source;
    if (image.file != nullptr) {
        const CImageLoader &loader = *image.file->loader;
        source.width = loader.pixelWidth();
        source.height = loader.pixelHeight();
        source.bitmapInfo = &loader.bitmapInfo();
        source.bits = loader.bits().data();
        source.bitsSize = std::min(loader.bitsSize(), loader.bits().size());
        source.drawHandle = &image.file->drawHandle;
    } else {
        source.width = image.clip->width;
        source.height = image.clip->height;
        source.pixels = image.clip->pixels.data();
    }
    return source;
}

// Paints the four corners of a rounded picture over the whole box, before any cut.
void PaintCorners(Surface &dc, long long x, long long y, long long w, long long h, int radius)
{
    const int rd = ToLogical(radius);
    if (rd <= 0)
        return;
    const int left = Saturate(x), top = Saturate(y);
    const int right = Saturate(x + w - rd), bottom = Saturate(y + h - rd);
    dc.CornerMask(left, top, rd, Corner::TopLeft);
    dc.CornerMask(left, bottom, rd, Corner::BottomLeft);
    dc.CornerMask(right, bottom, rd, Corner::BottomRight);
    dc.CornerMask(right, top, rd, Corner::TopRight);
}

} // namespace

void DrawImage(CommandFrame &frame, ImageRef image, bool draw)
{
    if (image.empty())
        return;
    CCommandEngine &e = *frame.engine;
    const PictureSource source = SourceOf(image);
    if (source.width <= 0 || source.height <= 0)
        return;
    const bool quarter = e.imageDirection == 2 || e.imageDirection == 4;
    const int pw = quarter ? source.height : source.width;
    const int ph = quarter ? source.width : source.height;

    long long w = 0, h = 0;
    if (e.imageWidth == 0 && e.imageHeight == 0) {
        w = static_cast<long long>(pw) * kLogicalPerPixel;
        h = static_cast<long long>(ph) * kLogicalPerPixel;
    } else if (e.imageWidth == 0) {
        h = ToLogical(e.imageHeight);
        w = Saturate(h * pw / ph);
    } else if (e.imageHeight == 0) {
        w = ToLogical(e.imageWidth);
        h = Saturate(w * ph / pw);
    } else {
        w = ToLogical(e.imageWidth);
        h = ToLogical(e.imageHeight);
    }
    long long x = ToLogical(static_cast<long long>(e.posX) + e.offsetX);
    long long y = ToLogical(static_cast<long long>(e.posY) + e.offsetY);
    if (e.imageOriginCol == 1)
        x -= w / 2;
    else if (e.imageOriginCol == 2)
        x -= w;
    if (e.imageOriginRow == 1)
        y -= h / 2;
    else if (e.imageOriginRow == 2)
        y -= h;

    Drawing(frame).lastImage = image;
    e.lastImagePixelWidth = pw;
    e.lastImagePixelHeight = ph;
    e.lastImageWidth = ToPage(w);
    e.lastImageHeight = ToPage(h);
    if (!draw)
        return;

    const ViewState &view = *frame.view;
    ImageGeometry g;
    g.x = x;
    g.y = y;
    g.w = w;
    g.h = h;
    g.pw = pw;
    g.ph = ph;
    g.pictureWidth = source.width;
    g.pictureHeight = source.height;
    g.direction = e.imageDirection;
    g.mirrored = e.imageDirectionNegative != 0;
    g.paperWidth = view.paperWidth;
    g.paperHeight = view.paperHeight;
    // A preview never needs more pixels than the screen shows; a print no more than
    // kMaxPrintPixels, which is finer than any printer shows a picture.
    if (view.previewing) {
        g.pixelLimit = view.screenPixelCount;
        g.limitSide = view.screenPixelRoot;
    } else {
        g.pixelLimit = kMaxPrintPixels;
        g.limitSide = std::sqrt(static_cast<double>(kMaxPrintPixels));
    }
    const std::optional<ImagePlan> plan = PlanImage(g);
    if (!plan)
        return;
    Surface &dc = Drawing(frame).dc;
    dc.StretchPicture(source, plan->part, plan->x, plan->y, plan->w, plan->h);
    if (e.imageRadius > 0)
        PaintCorners(dc, x, y, w, h, e.imageRadius);
}
