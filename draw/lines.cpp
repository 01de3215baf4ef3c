// The line pen and straight lines: lwidth, line, hrange and vrange, hline and vline.
#include "handlers.h"
#include "pagedrawing.h"
#include "pens.h"
#include "units.h"

#include "engine/arguments.h"
#include "engine/engine.h"
#include "engine/errors.h"
#include "engine/frame.h"
#include "engine/viewstate.h"

Pen LinePen(const CCommandEngine &e)
{
    return Pen{e.lineStyle, ToLogical(e.lineWidth), e.color};
}

void CmdLineWidth(CommandFrame &frame)
{
    int w = 0;
    if (!CheckArgumentCount(frame, 1) || !ReadNumber(frame, 1, w))
        return;
    if (w < -4 || w > 1000) {
        RaiseError(frame, ErrRange);
        return;
    }
    CCommandEngine &e = *frame.engine;
    e.lineWidth = 0;
    if (w <= 0) {
        e.lineStyle = -w; // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
    } else {
        e.lineStyle = PenWide;
        e.lineWidth = w;
    }
}

void CmdLine(CommandFrame &frame)
{
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!CheckArgumentCount(frame, 4) || !ReadNumber(frame, 1, x1) || !ReadNumber(frame, 2, y1) ||
        !ReadNumber(frame, 3, x2) || !ReadNumber(frame, 4, y2))
        return;
    const CCommandEngine &e = *frame.engine;
    Drawing(frame).dc.Line(ToLogical(static_cast<long long>(x1) + e.offsetX),
                           ToLogical(static_cast<long long>(y1) + e.offsetY),
                           ToLogical(static_cast<long long>(x2) + e.offsetX),
                           ToLogical(static_cast<long long>(y2) + e.offsetY), LinePen(e));
}

void CmdRange(CommandFrame &frame)
{
    int s = 0, t = 0;
    if (!CheckArgumentCount(frame, 2) || !ReadNumber(frame, 1, s) || !ReadNumber(frame, 2, t))
        return;
    CCommandEngine &e = *frame.engine;
    if (frame.token(0)[0] == 'h') {
        e.hrangeStart = s;
        e.hrangeEnd = t;
    } else {
        e.vrangeStart = s;
        e.vrangeEnd = t;
    }
}

void CmdRule(CommandFrame &frame)
{
    int p = 0;
    if (!CheckArgumentCount(frame, 3) || !ReadNumber(frame, 1, p))
        return;
    long long count = 1;
    int step = 0;
    bool even = false;
    float spread = 0, start = 0;
    if (!IsAbsent(frame, 2)) {
        int v = 0, c = 0;
        if (!ReadNumber(frame, 2, v) || !ReadNumber(frame, 3, c))
            return;
        if (c >= 0) {
            count = c;
            step = v;
        } else {
            count = -static_cast<long long>(c);
            even = true;
            start = static_cast<float>(p);
            if (count > 1)
                spread = static_cast<float>((static_cast<double>(v) - p) /
                                            static_cast<double>(count - 1));
        }
    }

    const CCommandEngine &e = *frame.engine;
    const bool horizontal = frame.token(0)[0] == 'h';
    const Pen pen = LinePen(e);
    Surface &dc = Drawing(frame).dc;
    const int a = horizontal ? ToLogical(static_cast<long long>(e.hrangeStart) + e.offsetX)
                             : ToLogical(static_cast<long long>(e.vrangeStart) + e.offsetY);
    const int b = horizontal ? ToLogical(static_cast<long long>(e.hrangeEnd) + e.offsetX)
                             : ToLogical(static_cast<long long>(e.vrangeEnd) + e.offsetY);
    for (long long i = 0; i < count && !JobStopped(*e.view); ++i) {
        long long at = even ? TruncateToInt(static_cast<double>(i) * spread + start + 0.5)
                            : Wrap(p + i * step);
        const int c = ToLogical(at + (horizontal ? e.offsetY : e.offsetX));
        if (horizontal)
            dc.Line(a, c, b, c, pen);
        else
            dc.Line(c, a, c, b, pen);
    }
}
