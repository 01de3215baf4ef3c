// Error messages and the error list of a job.
#include "errors.h"

#include "codepage.h"
#include "engine.h"
#include "frame.h"
#include "viewstate.h"

#include <cstdio>

namespace {

// Tabs become blanks up to the next multiple of four columns, at least one.
std::string expandTabs(std::string_view line)
{
    std::string out;
    out.reserve(line.size() + 8);
    for (char c : line) {
        if (c == '\t') {
            do
                out += ' ';
            while (out.size() % 4 != 0);
        } else {
            out += c;
        }
    }
    return out;
}

std::string withNumber(const std::string &format, int number, std::string_view suffix)
{
    // The formats hold exactly one %d, optionally followed by %s (the call path).
    std::string out;
    std::size_t d = format.find("%d");
    out.append(format, 0, d);
    out += std::to_string(number);
    std::size_t rest = d + 2;
    std::size_t s = format.find("%s", rest);
    if (s == std::string::npos) {
        out.append(format, rest);
    } else {
        out.append(format, rest, s - rest);
        out.append(suffix);
        out.append(format, s + 2);
    }
    return out;
}

} // namespace

void ErrorText::clear()
{
    m_text.clear();
    m_entries.clear();
    m_lines.clear();
}

void ErrorText::add(int lineNo, std::string_view lineText, std::string_view message, int code)
{
    if (!m_lines.insert(lineNo).second)
        return;
    m_entries.push_back({lineNo, code, std::string(lineText), std::string(message)});
    m_text += '(';
    m_text += std::to_string(lineNo);
    m_text += ") ";
    m_text += expandTabs(lineText);
    m_text += "\r\n      ";
    m_text += message;
    m_text += "\r\n";
}

void ErrorText::append(const ErrorText &later)
{
    for (const ErrorEntry &e : later.m_entries)
        add(e.lineNo, e.lineText, e.message, e.code);
}

std::string ErrorMessage(int code, int callLine, std::string_view callPath)
{
    switch (code) {
    case ErrExprCharacter: return CP932("数式に対象外の文字が含まれています");
    case ErrExprParentheses: return CP932("数式の括弧が合っていません");
    case ErrExprTooDeep: return CP932("数式の括弧が深すぎます");
    case ErrExprMalformed: return CP932("数式として解釈できません");
    case ErrExprDivideByZero: return CP932("数式内でゼロ除算がありました");
    case ErrUnknownCommand: return CP932("定義されていないコマンドです");
    case ErrFormat: return CP932("コマンドのフォーマットが間違っています");
    case ErrRange: return CP932("数値が範囲外です");
    case ErrNoFont: return CP932("フォントがありません");
    case ErrNoFile: return CP932("ファイルがありません");
    case ErrOutsideRoot: return CP932("ファイルがありません（ルートフォルダの外にあります）");
    case ErrBadImage: return CP932("画像ファイルに異常があります");
    case ErrNestedRepeat: return CP932("繰返しが入れ子になっています");
    case ErrPageInSkip: return CP932("スキップ範囲内に改ページがあります");
    case ErrPageInRepeat: return CP932("繰返し範囲内に改ページがあります");
    case ErrCallTooDeep: return withNumber(CP932("ネスト超過(%d)%s"), callLine, callPath);
    case ErrInCalledFile:
        if (callPath.empty())
            return withNumber(CP932("呼び出しファイル中でエラーが発生 (%d)"), callLine, {});
        return withNumber(CP932("ネスト中(%d)%s"), callLine, callPath);
    default: return CP932("未知のエラーです");
    }
}

void AppendError(CCommandEngine &engine, int code, std::string_view lineText, int lineNo)
{
    if (!engine.recordErrors || engine.view == nullptr)
        return;
    if (engine.view->errorText.hasLine(lineNo))
        return;
    std::string message = ErrorMessage(code, engine.errorCallLine, engine.errorCallPath);
    if (engine.recordNumber > 0)
        message += CP932("（レコード ") + std::to_string(engine.recordNumber) + CP932("）");
    engine.view->errorText.add(lineNo, lineText, message,
                               code == ErrOutsideRoot ? ErrNoFile : code);
}

void RaiseError(CommandFrame &frame, int code)
{
    CCommandEngine &engine = *frame.engine;
    if (!engine.recordErrors)
        return;
    if (frame.depth == 0) {
        AppendError(engine, code, frame.rawLine, frame.lineNo);
        return;
    }
    // Inside a called file: remember the first code (29 outranks the rest) and where the
    // first error happened; the calling line reports it.
    if (frame.firstErrorCode == 0)
        frame.firstErrorCode = code;
    else if (code == ErrCallTooDeep && frame.firstErrorCode != ErrCallTooDeep)
        frame.firstErrorCode = ErrCallTooDeep;
    if (engine.errorCallLine == 0 || (code == ErrCallTooDeep && frame.depth >= 7)) {
        engine.errorCallPath = engine.nestedCallPath;
        engine.errorCallLine = frame.lineNo;
    }
}
