// Rectangles and circles: lrectangle, frectangle, lcircle, fcircle.
#include "handlers.h"
#include "pagedrawing.h"
#include "pens.h"
#include "units.h"

#include "engine/arguments.h"
#include "engine/engine.h"
#include "engine/errors.h"
#include "engine/frame.h"

void CmdRectangle(CommandFrame &frame)
{
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0, radius = 0;
    if (!CheckArgumentCount(frame, 5) || !ReadNumber(frame, 1, x1) || !ReadNumber(frame, 2, y1) ||
        !ReadNumber(frame, 3, x2) || !ReadNumber(frame, 4, y2))
        return;
    if (!IsAbsent(frame, 5) && !ReadNumber(frame, 5, radius))
        return;
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    const long long d = 2LL * radius;
    const long long w = static_cast<long long>(x2) - x1, h = static_cast<long long>(y2) - y1;
    // The rounded corners must fit the rectangle.
    if (d < 0 || w < d || h < d) {
        RaiseError(frame, ErrRange);
        return;
    }
    const CCommandEngine &e = *frame.engine;
    const int l = ToLogical(static_cast<long long>(x1) + e.offsetX);
    const int t = ToLogical(static_cast<long long>(y1) + e.offsetY);
    const int r = ToLogical(static_cast<long long>(x2) + e.offsetX);
    const int b = ToLogical(static_cast<long long>(y2) + e.offsetY);
    const int ld = ToLogical(d);
    Surface &dc = Drawing(frame).dc;
    if (frame.token(0)[0] == 'l') {
        if (d != 0)
            dc.RoundRect(l, t, r, b, ld, ld, LinePen(e), std::nullopt);
        else
            dc.Rectangle(l, t, r, b, LinePen(e));
    } else if (d == 0) {
        // Width and height come from the page-unit sizes, not from the converted corners.
        dc.FillSolidRect(l, t, ToLogical(w), ToLogical(h), e.color);
    } else {
        dc.RoundRect(l, t, r, b, ld, ld, Pen{PenSolid, 0, e.color}, e.color);
    }
}

void CmdCircle(CommandFrame &frame)
{
    int cx = 0, cy = 0, radius = 0, quadrant = 0;
    if (!CheckArgumentCount(frame, 4) || !ReadNumber(frame, 1, cx) || !ReadNumber(frame, 2, cy) ||
        !ReadNumber(frame, 3, radius))
        return;
    if (!IsAbsent(frame, 4) && !ReadNumber(frame, 4, quadrant))
        return;
    if (radius < 0) {
        RaiseError(frame, ErrRange);
        return;
    }
    const CCommandEngine &e = *frame.engine;
    long long x = static_cast<long long>(cx) + e.offsetX;
    long long y = static_cast<long long>(cy) + e.offsetY;
    const long long r = radius;
    long long q = quadrant;
    if (q < 0) {
        // The point given is the corner of the quarter's square opposite the centre.
        q = -q;
        switch (q) {
        case 1: x -= r; y += r; break;
        case 2: x += r; y += r; break;
        case 3: x += r; y -= r; break;
        case 4: x -= r; y -= r; break;
        default: break;
        }
    }
    const int left = ToLogical(x - r), top = ToLogical(y - r);
    const int right = ToLogical(x + r), bottom = ToLogical(y + r);
    const int xm = static_cast<int>((static_cast<long long>(left) + right) / 2);
    const int ym = static_cast<int>((static_cast<long long>(top) + bottom) / 2);
    int xs = right, ys = ym, xe = right, ye = ym; // equal ends: the whole circle
    switch (q) {
    case 1: xs = right; ys = ym; xe = xm; ye = top; break;
    case 2: xs = xm; ys = top; xe = left; ye = ym; break;
    case 3: xs = left; ys = ym; xe = xm; ye = bottom; break;
    case 4: xs = xm; ys = bottom; xe = right; ye = ym; break;
    default: break;
    }
    Surface &dc = Drawing(frame).dc;
    if (frame.token(0)[0] == 'l')
        dc.Arc(left, top, right, bottom, xs, ys, xe, ye, LinePen(e));
    else if (q == 0)
        dc.Ellipse(left, top, right, bottom, e.color);
    else
        dc.Pie(left, top, right, bottom, xs, ys, xe, ye, e.color);
}
