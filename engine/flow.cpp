// Flow control: skip and nskip, repeat, page, and line ranges given by labels.
#include "arguments.h"
#include "errors.h"
#include "expression.h"
#include "frame.h"
#include "handlers.h"
#include "textlines.h"

namespace {

// Lines up to, not including, the next "##x" label line (x in either case) of `rest`, or
// -1. The label must follow a CR LF, so a label on the very next line is not found.
long long findLabel(std::string_view rest, char letter)
{
    // One search for both spellings: it stops at the first label, however far the text
    // runs on behind it.
    const char upper = static_cast<char>(letter - 32);
    for (std::size_t pos = rest.find("\r\n##"); pos != std::string_view::npos;
         pos = rest.find("\r\n##", pos + 1)) {
        if (pos + 4 < rest.size() && (rest[pos + 4] == letter || rest[pos + 4] == upper))
            return static_cast<long long>(CountLineFeeds(rest.substr(0, pos))) + 1;
    }
    return -1;
}

bool isLabelName(std::string_view t)
{
    return t.size() == 1 && t[0] >= 'a' && t[0] <= 'z';
}

// A page line among the first `lines` lines of the remaining text is reported as an error
// of that page line; the command itself goes on.
void checkForPageLine(CommandFrame &frame, long long lines, int code)
{
    std::string_view rest = frame.remaining->view();
    std::string_view range = rest.substr(0, LinesLength(rest, lines));
    std::size_t pos = FindPageLine(range);
    if (pos == std::string_view::npos)
        return;
    const std::string_view savedLine = frame.rawLine;
    int savedNo = frame.lineNo;
    frame.rawLine = FirstLine(range.substr(pos));
    frame.lineNo += 1 + static_cast<int>(CountLineFeeds(range.substr(0, pos)));
    RaiseError(frame, code);
    frame.rawLine = savedLine;
    frame.lineNo = savedNo;
}

// The condition "a op b"; false in `valid` for an operator the language does not have.
bool compare(std::string_view op, int a, int b, bool &valid)
{
    valid = true;
    if (op == "==" || op == "=") return a == b;
    if (op == "!=" || op == "<>") return a != b;
    if (op == "<") return a < b;
    if (op == ">=") return a >= b;
    if (op == ">") return a > b;
    if (op == "<=") return a <= b;
    if (op == "&&" || op == "and") return a != 0 && b != 0;
    if (op == "||" || op == "or") return a != 0 || b != 0;
    valid = false;
    return false;
}

} // namespace

void CmdSkip(CommandFrame &frame)
{
    frame.skipCount = 0;
    if (!CheckArgumentCount(frame, 4))
        return;
    long long lines = 0;
    if (isLabelName(frame.token(1))) {
        lines = findLabel(frame.remaining->view(), frame.token(1)[0]);
        if (lines < 0) {
            RaiseError(frame, ErrRange);
            return;
        }
    } else {
        int n = 0;
        if (!ReadNumber(frame, 1, n))
            return;
        if (n < 0) {
            RaiseError(frame, ErrRange);
            return;
        }
        lines = n;
    }
    bool negated = frame.token(0)[0] == 'n';
    if (negated && IsAbsent(frame, 2)) {
        RaiseError(frame, ErrFormat);
        return;
    }
    if (lines > 0)
        checkForPageLine(frame, lines, ErrPageInSkip);
    if (IsAbsent(frame, 2)) {
        frame.skipCount = lines;
        return;
    }
    int a = 0, b = 0;
    if (!ReadNumber(frame, 2, a) || !ReadNumber(frame, 4, b))
        return;
    bool valid = false;
    bool holds = compare(frame.token(3), a, b, valid);
    if (!valid) {
        RaiseError(frame, ErrFormat);
        return;
    }
    frame.skipCount = holds != negated ? lines : 0;
}

void CmdRepeat(CommandFrame &frame)
{
    if (!CheckArgumentCount(frame, 2))
        return;
    std::string_view rest = frame.remaining->view();
    long long lines = 0;
    if (isLabelName(frame.token(1))) {
        lines = findLabel(rest, frame.token(1)[0]);
    } else {
        int n = 0;
        if (!ReadNumber(frame, 1, n))
            return;
        lines = n;
    }
    int count = 0;
    if (!ReadNumber(frame, 2, count))
        return;
    if (frame.repeatEndLine != 0 && frame.repeatEndLine >= frame.lineNo) {
        RaiseError(frame, ErrNestedRepeat);
        return;
    }
    if (lines <= 0 || count <= 0 || count > 500 || CountLines(rest, lines) < lines) {
        RaiseError(frame, ErrRange);
        return;
    }
    if (count == 1)
        return;
    frame.repeatBody.assign(rest.substr(0, LinesLength(rest, lines)));
    frame.repeatStartLine = frame.lineNo;
    frame.repeatEndLine = frame.lineNo + static_cast<int>(lines);
    frame.repeatRemaining = count - 1;
    checkForPageLine(frame, lines, ErrPageInRepeat);
}

void CmdPage(CommandFrame &frame)
{
    // A page line ends the page's own text; in a called file it means nothing.
    if (frame.depth == 0)
        frame.stopped = true;
}
