// The dispatcher: line taking, abbreviation expansion, the command table, repeat upkeep.
#include "dispatch.h"

#include "bounds.h"
#include "engine.h"
#include "errors.h"
#include "expression.h"
#include "frame.h"
#include "handlers.h"
#include "textlines.h"
#include "tokenizer.h"
#include "viewstate.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

struct Command {
    char key[4];
    CommandHandler handler;
};

// The keywords of the language by their first three bytes, sorted for the lookup.
constexpr std::array<Command, 35> kCommands{{
    {"bol", CmdBold},
    {"col", CmdColor},
    {"cre", CmdStore},
    {"cst", CmdStore},
    {"fci", CmdCircle},
    {"fnu", CmdNumber},
    {"fre", CmdRectangle},
    {"fsi", CmdFontSize},
    {"fst", CmdNumberString},
    {"hli", CmdRule},
    {"hnu", CmdNumber},
    {"hra", CmdRange},
    {"hst", CmdNumberString},
    {"inc", CmdIncline},
    {"ita", CmdItalic},
    {"lci", CmdCircle},
    {"lin", CmdLine},
    {"lre", CmdRectangle},
    {"lwi", CmdLineWidth},
    {"nsk", CmdSkip},
    {"off", CmdOffset},
    {"ori", CmdOrigin},
    {"pag", CmdPage},
    {"por", CmdOrigin},
    {"pos", CmdPosition},
    {"psi", CmdPictureSize},
    {"rep", CmdRepeat},
    {"res", CmdStore},
    {"rpo", CmdPosition},
    {"ski", CmdSkip},
    {"sto", CmdStore},
    {"ver", CmdVertical},
    {"vli", CmdRule},
    {"vra", CmdRange},
    {"\xff\xff\xff", nullptr}, // sentinel: sorts last, so a lookup never runs off the end
}};

constexpr bool sorted()
{
    for (std::size_t i = 1; i < kCommands.size(); ++i)
        for (int k = 0; k < 3; ++k) {
            auto a = static_cast<unsigned char>(kCommands[i - 1].key[k]);
            auto b = static_cast<unsigned char>(kCommands[i].key[k]);
            if (a != b) {
                if (a > b)
                    return false;
                break;
            }
        }
    return true;
}
static_assert(sorted(), "the command table must stay sorted by key");

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAbbreviationReference(std::string_view s, std::size_t i)
{
    return i + 6 <= s.size() && s[i] == '{' && s[i + 1] == '{' && isLetter(s[i + 2]) &&
           isLetter(s[i + 3]) && s[i + 4] == '}' && s[i + 5] == '}';
}

// The forms that the keyword table does not hold, tried in order.
void dispatchOtherForms(CommandFrame &frame, bool hasContent)
{
    std::string_view t0 = frame.token(0);
    if (t0 == "*" || (t0 == "**" && frame.token(1).empty()))
        CmdDrawText(frame);
    else if (t0.size() >= 3 && t0[0] == '$' && isLetter(t0[1]) && isLetter(t0[2]))
        CmdAssign(frame);
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

CommandHandler FindCommand(std::string_view token0)
{
    if (token0.size() < 3)
        return nullptr;
    auto it = std::lower_bound(kCommands.begin(), kCommands.end(), token0,
                               [](const Command &c, std::string_view key) {
                                   return std::memcmp(c.key, key.data(), 3) < 0;
                               });
    return std::memcmp(it->key, token0.data(), 3) == 0 ? it->handler : nullptr;
}

int Expand(CommandFrame &frame)
{
    frame.rawLine = frame.currentLine;
    const std::string &raw = frame.rawLine;
    if (raw.size() <= 5 || raw.find("{{") == std::string::npos ||
        raw.find("}}", 4) == std::string::npos)
        return ErrNone;
    const CCommandEngine &e = *frame.engine;
    std::string &out = frame.currentLine;
    out.clear();
    for (std::size_t i = 0; i < raw.size();) {
        if (isAbbreviationReference(raw, i)) {
            out += e.abbreviations[VariableIndex(std::string_view(raw).substr(i + 2))];
            i += 6;
        } else {
            out += raw[i++];
        }
        if (out.size() > kMaxTextBytes) {
            out = raw;
            return ErrRange;
        }
    }
    return ErrNone;
}

void Dispatch(CommandFrame &frame)
{
    const std::string &line = frame.currentLine;
    if (line.empty()) {
        dispatchOtherForms(frame, Tokenize(frame));
        return;
    }
    switch (line[0]) {
    case ':':
        if (line.size() >= 2 && std::strchr(":&+.|", line[1]) && line[1] != '\0') {
            CmdRegister(frame);
            return;
        }
        break;
    case '!': CmdImage(frame); return;
    case '/': CmdFontName(frame); return;
    case '<': CmdCall(frame); return;
    case '=': CmdNumberFormat(frame); return;
    case '{':
        if (line.size() >= 4 && isLetter(line[1]) && isLetter(line[2]) && line[3] == '}') {
            CmdDefineAbbreviation(frame);
            return;
        }
        break;
    case '#': return;
    default: break;
    }
    bool hasContent = Tokenize(frame);
    if (CommandHandler handler = FindCommand(frame.token(0)))
        handler(frame);
    else
        dispatchOtherForms(frame, hasContent);
}

void RunText(CommandFrame &frame, Surface &dc, std::string_view text)
{
    RemainingText remaining(text);
    frame.dc = &dc;
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
            frame.currentLine.assign(line);
            if (int code = Expand(frame))
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
