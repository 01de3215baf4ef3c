// $aa and $$aa assignments, {aa} and }{aa} abbreviations, store and restore.
#include "variables.h"

#include "arguments.h"
#include "bounds.h"
#include "codepage.h"
#include "engine.h"
#include "errors.h"
#include "expression.h"
#include "handlers.h"
#include "viewstate.h"

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

using Slots = std::array<std::string, 676>;

// True when `slots` stay within kMaxAbbreviationBytes once the slots chosen by `replaced`
// hold the sizes `size(i)` instead of their own.
template <typename Chosen, typename Size>
bool fitsAbbreviationBytes(const Slots &slots, Chosen replaced, Size size)
{
    std::size_t total = 0;
    for (int i = 0; i < 676; ++i)
        total += replaced(i) ? size(i) : slots[static_cast<std::size_t>(i)].size();
    return total <= kMaxAbbreviationBytes;
}

// The value that "$aa token" stores, or an error code.
int assignedValue(const CommandFrame &frame, std::string_view t, int &value)
{
    const CCommandEngine &e = *frame.engine;
    std::string_view text = e.text.view();
    if (t == "x") value = e.posX;
    else if (t == "y") value = e.posY;
    else if (t == "*") value = static_cast<int>(FirstLine(text).size());
    else if (t == ":&") value = static_cast<int>(cp932::CharCount(FirstLine(text)));
    else if (t == ":+") value = static_cast<int>(CountLineFeeds(text) + 1);
    else if (t.size() == 4 && t[0] == '{' && t[3] == '}' && VariableIndex(t.substr(1)) >= 0)
        value = static_cast<int>(e.abbreviations[VariableIndex(t.substr(1))].size());
    else if (t == "p") value = e.page;
    else if (t == "d") value = frame.depth;
    else if (t == "w") value = e.view->paperWidth;
    else if (t == "h") value = e.view->paperHeight;
    else if (t == "sw") value = e.lastTextWidth;
    else if (t == "sh") value = e.lastTextHeight;
    else if (t == "iw") value = e.lastImageWidth;
    else if (t == "ih") value = e.lastImageHeight;
    else if (t == "ipw") value = e.lastImagePixelWidth;
    else if (t == "iph") value = e.lastImagePixelHeight;
    else return ParseNumber(e, t, value);
    return ErrNone;
}

} // namespace

int DefineAbbreviation(CCommandEngine &e, int index, std::string_view value)
{
    if (value.size() > kMaxTextBytes ||
        !fitsAbbreviationBytes(e.abbreviations, [index](int i) { return i == index; },
                               [&value](int) { return value.size(); }))
        return ErrRange;
    e.abbreviations[static_cast<std::size_t>(index)].assign(value);
    return ErrNone;
}

void InitialiseVariable(CCommandEngine &e, const TokenList &tokens)
{
    int index = VariableIndex(tokens[0].view().substr(2));
    std::string_view arg = tokens[1].view();
    if (!tokens[2].empty()) {
        AppendError(e, ErrFormat, e.prepassLine, e.lineNo);
        return;
    }
    if (arg == "p")
        e.variables[index] = e.page;
    else if (arg == "w")
        e.variables[index] = e.view->paperWidth;
    else if (arg == "h")
        e.variables[index] = e.view->paperHeight;
    else if (int code = ParseNumber(e, arg, e.variables[index]))
        AppendError(e, code, e.prepassLine, e.lineNo);
}

void InitialiseAbbreviation(CCommandEngine &e, std::string_view line)
{
    if (int code = DefineAbbreviation(e, VariableIndex(line.substr(2)), line.substr(5)))
        AppendError(e, code, e.prepassLine, e.lineNo);
}

void CmdAssign(CommandFrame &frame)
{
    int index = VariableIndex(frame.token(0).substr(1));
    if (!CheckArgumentCount(frame, 1))
        return;
    int value = 0;
    if (int code = assignedValue(frame, frame.token(1), value)) {
        RaiseError(frame, code);
        return;
    }
    frame.engine->variables[index] = value;
}

void CmdDefineAbbreviation(CommandFrame &frame)
{
    const std::string_view line = frame.currentLine;
    const std::string_view raw = frame.rawLine;
    int index = VariableIndex(line.substr(1));
    std::string_view value = line.substr(4);
    // "{ab}{{ab}}" keeps the reference itself rather than the slot's old value.
    if (raw.size() == 10 && raw[4] == '{' && raw[5] == '{' && raw[8] == '}' && raw[9] == '}' &&
        isLetter(raw[6]) && isLetter(raw[7]) && VariableIndex(raw.substr(6)) == index)
        value = raw.substr(4);
    if (int code = DefineAbbreviation(*frame.engine, index, value))
        RaiseError(frame, code);
}

void CmdStore(CommandFrame &frame)
{
    std::string_view t0 = frame.token(0);
    bool strings = t0[0] == 'c';
    bool restore = strings ? t0[1] == 'r' : t0[0] == 'r';
    int first = VariableIndex(frame.token(1));
    int last = VariableIndex(frame.token(2));
    if (!IsAbsent(frame, 3) || (!IsAbsent(frame, 1) && (first < 0 || last < 0))) {
        RaiseError(frame, ErrFormat);
        return;
    }
    CCommandEngine &e = *frame.engine;
    if (IsAbsent(frame, 1)) {
        first = 0;
        last = 675;
    }
    // The range runs from `first` to `last`, or wraps round past zz when first > last.
    const auto inRange = [first, last](int i) {
        return first <= last ? i >= first && i <= last : i <= last || i >= first;
    };
    CommandFrame::SaveAreas &saved = frame.saveAreas();
    if (strings) {
        const Slots &from = restore ? saved.storedAbbreviations : e.abbreviations;
        const Slots &to = restore ? e.abbreviations : saved.storedAbbreviations;
        if (!fitsAbbreviationBytes(to, inRange, [&from](int i) {
                return from[static_cast<std::size_t>(i)].size();
            })) {
            RaiseError(frame, ErrRange);
            return;
        }
    }
    for (int i = 0; i <= 675; ++i) {
        if (!inRange(i))
            continue;
        if (strings) {
            if (restore)
                e.abbreviations[i] = saved.storedAbbreviations[i];
            else
                saved.storedAbbreviations[i] = e.abbreviations[i];
        } else if (restore) {
            e.variables[i] = saved.storedVariables[i];
        } else {
            saved.storedVariables[i] = e.variables[i];
        }
    }
}
