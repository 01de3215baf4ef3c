// offset, position and rposition, origin and porigin, color.
#include "handlers.h"
#include "units.h"

#include "engine/arguments.h"
#include "engine/engine.h"
#include "engine/errors.h"
#include "engine/frame.h"

void CmdOffset(CommandFrame &frame)
{
    int x = 0, y = 0;
    if (!CheckArgumentCount(frame, 2) || !ReadNumber(frame, 1, x) || !ReadNumber(frame, 2, y))
        return;
    CCommandEngine &e = *frame.engine;
    // Not cumulative: the adjustment plus the new offset.
    e.offsetX = Wrap(static_cast<long long>(x) + e.adjustX);
    e.offsetY = Wrap(static_cast<long long>(y) + e.adjustY);
}

void CmdPosition(CommandFrame &frame)
{
    int x = 0, y = 0;
    if (!CheckArgumentCount(frame, 2) || !ReadNumber(frame, 1, x) || !ReadNumber(frame, 2, y))
        return;
    CCommandEngine &e = *frame.engine;
    if (frame.token(0)[0] == 'p') {
        e.posX = x;
        e.posY = y;
    } else {
        e.posX = Wrap(static_cast<long long>(e.posX) + x);
        e.posY = Wrap(static_cast<long long>(e.posY) + y);
    }
}

void CmdOrigin(CommandFrame &frame)
{
    int n = 0;
    if (!CheckArgumentCount(frame, 1) || !ReadNumber(frame, 1, n))
        return;
    if (n < 1 || n > 9) {
        RaiseError(frame, ErrRange);
        return;
    }
    CCommandEngine &e = *frame.engine;
    if (frame.token(0)[0] == 'p') {
        e.imageOriginCol = (n - 1) % 3;
        e.imageOriginRow = (n - 1) / 3;
    } else {
        e.textOriginCol = (n - 1) % 3;
        e.textOriginRow = (n - 1) / 3;
    }
}

void CmdColor(CommandFrame &frame)
{
    int r = 0, g = 0, b = 0;
    if (!CheckArgumentCount(frame, 3) || !ReadNumber(frame, 1, r) || !ReadNumber(frame, 2, g) ||
        !ReadNumber(frame, 3, b))
        return;
    auto inRange = [](int v) { return v >= 0 && v <= 255; };
    if (!inRange(r) || !inRange(g) || !inRange(b)) {
        RaiseError(frame, ErrRange);
        return;
    }
    frame.engine->color = static_cast<unsigned>(r + 256 * g + 65536 * b);
}
