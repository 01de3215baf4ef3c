// DrawTextRun: the text and integer runs of `*`, `::`, `**`, hnumber and fnumber.
#include "textrun.h"

#include "numberformat.h"
#include "pagedrawing.h"
#include "units.h"

#include "engine/codepage.h"
#include "engine/engine.h"
#include "engine/frame.h"
#include "engine/viewstate.h"

namespace {

bool isSideways(std::string_view face)
{
    return !face.empty() && face[0] == '@';
}

// Left or top edge of a box of `size` whose anchor point is at `at`.
long long anchored(long long at, long long size, int anchor)
{
    return anchor == 0 ? at : anchor == 1 ? at - size / 2 : at - size;
}

} // namespace

FontSpec BuildFont(const CCommandEngine &e, int escapement)
{
    FontSpec font;
    font.face = e.fontName;
    font.height = e.fontSize;
    font.weight = e.bold == 0 ? 400 : e.fontCharset == 128 ? 700 : 900;
    font.italic = e.italic != 0;
    font.escapement = escapement;
    font.charset = e.fontCharset;
    font.pitchFamily = e.fontPitchFamily;
    return font;
}

FontSpec BuildFont(const CCommandEngine &e)
{
    return BuildFont(e, isSideways(e.fontName) ? 2700 : 0);
}

void DrawTextRun(CommandFrame &frame, long long count, int x, int y, bool targetMode,
                 bool numberMode, int startValue, int increment)
{
    if (count <= 0)
        return;
    CCommandEngine &e = *frame.engine;
    Surface &dc = Drawing(frame).dc;
    const FontSpec font = BuildFont(e);
    const bool sideways = isSideways(font.face);
    const std::string_view cur = frame.currentLine;
    const bool record = !cur.empty() && (cur[0] == '*' || cur[0] == ':');
    const bool draw = !(cur.size() >= 2 && cur[0] == '*' && cur[1] == '*');
    const bool fullWidth = numberMode && frame.token(0)[0] == 'f';

    float stepX = 0, stepY = 0;
    if (targetMode && count > 1) {
        stepX = static_cast<float>(static_cast<double>(static_cast<long long>(x) - e.posX) /
                                   static_cast<double>(count - 1));
        stepY = static_cast<float>(static_cast<double>(static_cast<long long>(y) - e.posY) /
                                   static_cast<double>(count - 1));
    }

    // The lines taken from the registered string view its buffer, which stays put while
    // the run takes lines from it; only stacked text and numbers need strings of their own.
    std::string_view previous, layout;
    std::string made;
    bool havePrevious = false;
    TextSize size;
    int value = startValue;
    for (long long i = 0; i < count && !JobStopped(*e.view); ++i) {
        if (numberMode) {
            made = FormatNumber(e.numberFormat, value);
            if (fullWidth)
                made = cp932::ToFullWidth(made);
            layout = made;
            value = Wrap(static_cast<long long>(value) + increment);
            size = dc.MeasureText(font, layout);
        } else {
            const std::string_view all = e.text.view();
            const std::string_view line =
                all.find('\n') != std::string_view::npos ? e.text.TakeLine() : all;
            if (!havePrevious || line != previous) {
                if (e.vertical == 1 && !sideways) {
                    made = cp932::JoinCharacters(line, "\r\n");
                    layout = made;
                } else {
                    layout = line;
                }
                size = dc.MeasureText(font, layout);
                previous = line;
                havePrevious = true;
            }
        }
        const long long w = size.width, h = size.height;
        if (record) {
            e.lastTextWidth = ToPage(sideways ? h : w);
            e.lastTextHeight = ToPage(sideways ? w : h);
        }

        long long px, py;
        if (targetMode) {
            px = TruncateToInt(static_cast<double>(static_cast<float>(i) * stepX +
                                                   static_cast<float>(e.posX)) + 0.5);
            py = TruncateToInt(static_cast<double>(static_cast<float>(i) * stepY +
                                                   static_cast<float>(e.posY)) + 0.5);
        } else {
            px = Wrap(e.posX + i * x);
            py = Wrap(e.posY + i * y);
        }
        const long long X = ToLogical(px + e.offsetX);
        const long long Y = ToLogical(py + e.offsetY);

        long long l, t, r, b;
        if (!sideways) {
            l = anchored(X, w, e.textOriginCol);
            t = anchored(Y, h, e.textOriginRow);
            r = l + w;
            b = t + h;
            if (e.italic == 1)
                r += e.fontSize;
        } else {
            // The block lies h wide and w high; l is its right edge, where the text begins.
            l = e.textOriginCol == 0 ? X + h : e.textOriginCol == 1 ? X + h / 2 : X;
            t = anchored(Y, w, e.textOriginRow);
            r = l - h;
            b = t + w;
            if (e.italic == 1)
                b += e.fontSize;
        }
        if (draw)
            dc.DrawText(Saturate(l), Saturate(t), Saturate(r), Saturate(b), sideways ? TextAlign::Left : TextAlign::Center, font,
                        e.color, layout);
    }

    if (targetMode) {
        e.posX = x;
        e.posY = y;
    } else {
        e.posX = Wrap(e.posX + count * x);
        e.posY = Wrap(e.posY + count * y);
    }
}
