// The text commands: registration (: forms), *, **, incline, /, bold, italic, vertical,
// fsize.
#include "handlers.h"
#include "pagedrawing.h"
#include "textrun.h"
#include "units.h"

#include "engine/arguments.h"
#include "engine/bounds.h"
#include "engine/codepage.h"
#include "engine/engine.h"
#include "engine/errors.h"
#include "engine/frame.h"

#include <algorithm>

namespace {

// The string of a colon line: everything after the two-byte prefix, with tabs, CRs and
// LFs turned into blanks. A CR LF pair stays: no line of a text holds one, only a merged
// data field with a line break, which stays a line break of the registered string. A
// string without any of them (nearly every one) is used as it stands; otherwise `blanked`
// holds the changed copy.
std::string_view colonString(std::string_view line, std::string &blanked)
{
    const auto isControlBlank = [](char c) {
        return static_cast<unsigned char>(c) <= '\r' && (c == '\t' || c == '\r' || c == '\n');
    };
    const std::string_view s = line.substr(2);
    if (std::none_of(s.begin(), s.end(), isControlBlank))
        return s;
    blanked.assign(s);
    for (std::size_t i = 0; i < blanked.size(); ++i) {
        if (blanked[i] == '\r' && i + 1 < blanked.size() && blanked[i + 1] == '\n')
            ++i;
        else if (isControlBlank(blanked[i]))
            blanked[i] = ' ';
    }
    return blanked;
}

// Reads the single argument of a switch command; false after an error.
bool readSwitch(CommandFrame &frame, int &target)
{
    int v = 0;
    if (!CheckArgumentCount(frame, 1) || !ReadNumber(frame, 1, v))
        return false;
    target = v != 0 ? 1 : 0;
    return true;
}

} // namespace

void CmdRegister(CommandFrame &frame)
{
    RegisteredText &text = frame.engine->text;
    std::string blanked;
    const std::string_view s = colonString(frame.currentLine, blanked);
    const char form = frame.currentLine[1];
    std::size_t grown = form == '&' ? text.size() + s.size()
                        : form == '+' ? text.size() + 1 + s.size()
                        : form == '|' ? s.size() * 2
                                      : s.size();
    if (grown > kMaxTextBytes) {
        RaiseError(frame, ErrRange);
        return;
    }
    switch (form) {
    case '.': text.assign(s); break;
    case ':':
        text.assign(s);
        DrawTextRun(frame, 1, 0, 0, false, false, 0, 0);
        break;
    case '&': text.append(s); break;
    case '+':
        text.append("\n");
        text.append(s);
        break;
    case '|': text.assign(cp932::JoinCharacters(s, "\n")); break;
    }
}

void CmdDrawText(CommandFrame &frame)
{
    if (frame.token(0) == "**") {
        DrawTextRun(frame, 1, 0, 0, false, false, 0, 0);
        return;
    }
    if (!CheckArgumentCount(frame, 3))
        return;
    if (IsAbsent(frame, 1)) {
        DrawTextRun(frame, 1, 0, 0, false, false, 0, 0);
        return;
    }
    int dx = 0, dy = 0, n = 1;
    if (!ReadNumber(frame, 1, dx) || !ReadNumber(frame, 2, dy))
        return;
    if (!IsAbsent(frame, 3) && !ReadNumber(frame, 3, n))
        return;
    DrawTextRun(frame, n < 0 ? -static_cast<long long>(n) : n, dx, dy, n < 0, false, 0, 0);
}

void CmdIncline(CommandFrame &frame)
{
    int a = 0;
    if (!CheckArgumentCount(frame, 1) || !ReadNumber(frame, 1, a))
        return;
    a %= 360;
    if (a < 0)
        a += 360;
    CCommandEngine &e = *frame.engine;
    std::string_view all = e.text.view();
    std::string line(all.find('\n') != std::string_view::npos ? e.text.TakeLine() : all);
    if (line.empty())
        return;
    const int x = ToLogical(static_cast<long long>(e.posX) + e.offsetX);
    const int y = ToLogical(static_cast<long long>(e.posY) + e.offsetY);
    Drawing(frame).dc.TextOut(x, y, BuildFont(e, a * 10), e.color, line);
}

void CmdFontName(CommandFrame &frame)
{
    std::string_view name = std::string_view(frame.currentLine).substr(1);
    const std::string_view blanks = " \t";
    std::size_t first = name.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        RaiseError(frame, ErrFormat);
        return;
    }
    name = name.substr(first, name.find_last_not_of(blanks) - first + 1);
    // A face name must fit the 31 bytes of a font description; a longer one names no font.
    std::optional<FontInfo> info;
    if (name.size() < 32)
        info = Drawing(frame).dc.FindFont(name);
    if (!info) {
        RaiseError(frame, ErrNoFont);
        return;
    }
    CCommandEngine &e = *frame.engine;
    e.fontName.assign(name);
    e.fontCharset = info->charset;
    e.fontPitchFamily = info->pitchFamily;
}

void CmdBold(CommandFrame &frame)
{
    readSwitch(frame, frame.engine->bold);
}

void CmdItalic(CommandFrame &frame)
{
    readSwitch(frame, frame.engine->italic);
}

void CmdVertical(CommandFrame &frame)
{
    readSwitch(frame, frame.engine->vertical);
}

void CmdFontSize(CommandFrame &frame)
{
    int s = 0;
    if (!CheckArgumentCount(frame, 1) || !ReadNumber(frame, 1, s))
        return;
    if (s < 10 || s > 2000) {
        RaiseError(frame, ErrRange);
        return;
    }
    frame.engine->fontSize = static_cast<int>(s * kPageToDeciPoint);
}
