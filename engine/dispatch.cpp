// The dispatcher: line taking, abbreviation expansion, the command table, repeat upkeep.
#include "dispatch.h"

#include "bounds.h"
#include "commandtable.h"
#include "engine.h"
#include "errors.h"
#include "expression.h"
#include "frame.h"
#include "textlines.h"
#include "tokenizer.h"
#include "viewstate.h"

#include <algorithm>

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAbbreviationReference(std::string_view s, std::size_t i)
{
    return i + 6 <= s.size() && s[i] == '{' && s[i + 1] == '{' && isLetter(s[i + 2]) &&
           isLetter(s[i + 3]) && s[i + 4] == '}' && s[i + 5] == '}';
}

// The form of a line by its first byte: the sign under which its handler is listed ("#" for
// a comment), or 0 for a line that is tokenised and looked up by its keyword.
char lineForm(std::string_view line)
{
    switch (line[0]) {
    case ':': {
        const char c = line.size() >= 2 ? line[1] : '\0';
        return c == ':' || c == '&' || c == '+' || c == '.' || c == '|' ? ':' : 0;
    }
    case '!':
    case '/':
    case '<':
    case '=':
    case '#':
        return line[0];
    case '{':
        return line.size() >= 4 && isLetter(line[1]) && isLetter(line[2]) && line[3] == '}'
                   ? '{'
                   : 0;
    default:
        return 0;
    }
}

// The forms that the keyword table does not hold, tried in order.
void dispatchOtherForms(CommandFrame &frame, bool hasContent)
{
    const CommandTable &commands = *frame.engine->commands;
    std::string_view t0 = frame.token(0);
    CommandHandler form = nullptr;
    if (t0 == "*" || (t0 == "**" && frame.token(1).empty()))
        form = commands.Form('*');
    else if (t0.size() >= 3 && t0[0] == '$' && isLetter(t0[1]) && isLetter(t0[2]))
        form = commands.Form('$');
    if (form)
        form(frame);
    else if (t0.size() >= 4 && t0[0] == '$' && t0[1] == '$' && isLetter(t0[2]) &&
             isLetter(t0[3]))
        ; // a variable initialisation, executed before the page
    else if (t0.size() >= 5 && t0[0] == '}' && t0[1] == '{' && isLetter(t0[2]) &&
             isLetter(t0[3]) && t0[4] == '}')
        ; // an abbreviation initialisation, executed before the page
    else if (!t0.empty())
        RaiseError(frame, ErrUnknownCommand);
    else if (hasContent)
        RaiseError(frame, ErrFormat);
}

// Expand() for a line that may hold references: the expansion goes to expandedLine. Out
// of line, so that the test every line makes stays cheap.
[[gnu::noinline]] int expandReferences(CommandFrame &frame, std::string_view line)
{
    const CCommandEngine &e = *frame.engine;
    std::string &out = frame.expandedLine;
    out.clear();
    for (std::size_t i = 0; i < line.size();) {
        if (isAbbreviationReference(line, i)) {
            out += e.abbreviations[VariableIndex(line.substr(i + 2))];
            i += 6;
        } else {
            out += line[i++];
        }
        if (out.size() > kMaxTextBytes)
            return ErrRange; // the line stays as written
    }
    frame.currentLine = out;
    return ErrNone;
}

// After every executed line: start the range again while repetitions remain, and forget
// the range once a line beyond it has run.
void repeatUpkeep(CommandFrame &frame)
{
    if (frame.repeatRemaining != 0 && frame.lineNo == frame.repeatEndLine) {
        frame.remaining->Prepend(frame.repeatBody);
        frame.lineNo = frame.repeatStartLine;
        frame.repeatRemaining = std::max(frame.repeatRemaining - 1, 0);
    } else if (frame.repeatEndLine != 0 && frame.repeatEndLine < frame.lineNo) {
        frame.repeatBody.clear();
        frame.repeatRemaining = frame.repeatEndLine = frame.repeatStartLine = 0;
    }
}

} // namespace

int Expand(CommandFrame &frame, std::string_view line)
{
    frame.rawLine = line;
    frame.currentLine = line;
    if (line.size() <= 5 || line.find("{{") == std::string_view::npos ||
        line.find("}}", 4) == std::string_view::npos)
        return ErrNone;
    return expandReferences(frame, line);
}

void Dispatch(CommandFrame &frame)
{
    const std::string_view line = frame.currentLine;
    const CommandTable &commands = *frame.engine->commands;
    if (!line.empty()) {
        const char form = lineForm(line);
        if (form == '#')
            return; // a comment
        if (CommandHandler handler = form ? commands.Form(form) : nullptr) {
            handler(frame);
            return;
        }
    }
    bool hasContent = Tokenize(frame);
    if (CommandHandler handler = commands.Find(frame.token(0)))
        handler(frame);
    else
        dispatchOtherForms(frame, hasContent);
}

void RunText(CommandFrame &frame, std::string_view text)
{
    RemainingText remaining(text);
    frame.remaining = &remaining;
    frame.skipCount = 0;
    frame.stopped = false;
    std::string_view line = remaining.TakeLine();
    if (line == kEndMarker)
        return;
    for (;;) {
        if (frame.skipCount >= 1) {
            --frame.skipCount;
        } else {
            if (int code = Expand(frame, line))
                RaiseError(frame, code);
            else
                Dispatch(frame);
            if (frame.stopped || JobStopped(*frame.engine->view))
                break;
            repeatUpkeep(frame);
        }
        ++frame.lineNo;
        line = remaining.TakeLine();
        if (line == kEndMarker)
            break;
    }
    frame.remaining = nullptr;
}
