// Error codes of the interpreter, their messages, and how a failing line is reported.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class CCommandEngine;
struct CommandFrame;

// The codes a command can fail with. 0 means success.
enum ErrorCode : int {
    ErrNone = 0,
    ErrExprCharacter = 1,  // a character outside the expression alphabet
    ErrExprParentheses = 2,
    ErrExprTooDeep = 3,
    ErrExprMalformed = 4,
    ErrExprDivideByZero = 9,
    ErrUnknownCommand = 20,
    ErrFormat = 21,
    ErrRange = 22,
    ErrNoFont = 23,
    ErrNoFile = 24,
    ErrBadImage = 25,
    ErrNestedRepeat = 26,
    ErrPageInSkip = 27,
    ErrPageInRepeat = 28,
    ErrCallTooDeep = 29,
    ErrInCalledFile = 30,
    // A called file or picture outside the folder the job is confined to: listed as 24,
    // with a message that says why.
    ErrOutsideRoot = 224,
};

// One entry of the error list as data, for tools that read errors: the line number, the
// code as listed, the line as written and the message (both code page 932).
struct ErrorEntry {
    int lineNo;
    int code;
    std::string lineText;
    std::string message;
};

// The error list of one print or preview job: two lines per failing line, code page 932.
// Only the first error of a line number is kept.
class ErrorText {
public:
    const std::string &str() const { return m_text; }
    // The same entries, in the same order.
    const std::vector<ErrorEntry> &entries() const { return m_entries; }
    bool empty() const { return m_text.empty(); }
    bool hasLine(int lineNo) const { return m_lines.count(lineNo) != 0; }
    void clear();
    // Appends the entry for `lineNo` unless that number already has one.
    void add(int lineNo, std::string_view lineText, std::string_view message, int code = 0);
    // Appends the entries of `later`, the list of pages rendered after these on their
    // own, whose line numbers have none here yet: the list one job rendering all of them
    // in turn would have.
    void append(const ErrorText &later);

private:
    std::string m_text;
    std::vector<ErrorEntry> m_entries;
    std::unordered_set<int> m_lines;
};

// The message of `code` in code page 932; for 29 and 30 formatted with the location of the
// first error inside a called file.
std::string ErrorMessage(int code, int callLine, std::string_view callPath);

// Reports `code` for the current line of `frame`: listed for the page's own text, folded
// into the calling line for a called file. Nothing happens while errors are not recorded.
void RaiseError(CommandFrame &frame, int code);

// Appends one entry to the job's error list when the engine records errors.
void AppendError(CCommandEngine &engine, int code, std::string_view lineText, int lineNo);
