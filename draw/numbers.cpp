// Integer printing: the format (=), hnumber and fnumber, hstring and fstring.
#include "handlers.h"
#include "numberformat.h"
#include "textrun.h"

#include "engine/arguments.h"
#include "engine/bounds.h"
#include "engine/codepage.h"
#include "engine/engine.h"
#include "engine/errors.h"
#include "engine/frame.h"

void CmdNumberFormat(CommandFrame &frame)
{
    std::string_view format = std::string_view(frame.currentLine).substr(1);
    // A format that would make the formatter read more than the one integer is refused.
    if (format.empty() || !IsValidNumberFormat(format)) {
        RaiseError(frame, ErrFormat);
        return;
    }
    frame.engine->numberFormat.assign(format);
}

void CmdNumber(CommandFrame &frame)
{
    int v = 0;
    if (!CheckArgumentCount(frame, 5) || !ReadNumber(frame, 1, v))
        return;
    if (IsAbsent(frame, 2)) {
        DrawTextRun(frame, 1, 0, 0, false, true, v, 0);
        return;
    }
    int d = 0, n = 0, x = 0, y = 0;
    if (!ReadNumber(frame, 2, d) || !ReadNumber(frame, 3, n) || !ReadNumber(frame, 4, x) ||
        !ReadNumber(frame, 5, y))
        return;
    DrawTextRun(frame, n < 0 ? -static_cast<long long>(n) : n, x, y, n < 0, true, v, d);
}

void CmdNumberString(CommandFrame &frame)
{
    int v = 0;
    if (!CheckArgumentCount(frame, 1) || !ReadNumber(frame, 1, v))
        return;
    CCommandEngine &e = *frame.engine;
    std::string s = FormatNumber(e.numberFormat, v);
    if (frame.token(0)[0] == 'f')
        s = cp932::ToFullWidth(s);
    if (e.text.size() + s.size() > kMaxTextBytes) {
        RaiseError(frame, ErrRange);
        return;
    }
    e.text.append(s);
}
