// Command-file lines split into colour classes, by the dispatcher's rules.
#include "commandcolors.h"

#include "draw/pagedrawing.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>
#include <string>

namespace commandcolors {

namespace {

bool isLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// A byte that ends a token: blanks, tabs and commas; a full-width blank counts as two
// blanks; "=" in a line that begins with "$".
bool separates(QChar c, bool assignment)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == ',' || u == 0x3000 || (assignment && u == '=');
}

// `{{aa}}` at `i`: an abbreviation reference, expanded before the line runs.
bool isReference(QStringView line, qsizetype i)
{
    return i + 6 <= line.size() && line[i] == u'{' && line[i + 1] == u'{' &&
           isLetter(line[i + 2]) && isLetter(line[i + 3]) && line[i + 4] == u'}' &&
           line[i + 5] == u'}';
}

char lower(QChar c)
{
    const char16_t u = c.unicode();
    return static_cast<char>(u >= 'A' && u <= 'Z' ? u + 32 : u);
}

// The interpreter's command for the first three letters of `token`, as the dispatcher
// finds it ("col", "colo" and "colour" are all color); empty when there is none.
std::string keyword(QStringView token)
{
    if (token.size() < 3)
        return {};
    std::string key;
    for (qsizetype i = 0; i < 3; ++i) {
        if (token[i].unicode() >= 0x80)
            return {};
        key += lower(token[i]);
    }
    return DrawingCommands().Find(key) ? key : std::string();
}

// The words that `$aa` takes instead of an expression.
bool isAssignmentWord(QStringView token)
{
    static const char *const kWords[] = {"x",  "y",  "p",  "d",   "w",   "h",  "sw", "sh",
                                         "iw", "ih", "ipw", "iph", "*", ":&", ":+"};
    for (const char *word : kWords)
        if (token.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The comparison words of skip and nskip.
bool isOperator(QStringView token)
{
    static const char *const kOperators[] = {"==", "=", "!=", "<>", "<",   ">=",
                                             ">",  "<=", "&&", "||", "and", "or"};
    for (const char *op : kOperators)
        if (token.compare(QLatin1String(op), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

class Line {
public:
    explicit Line(QStringView text) : m_text(text), m_kinds(text.size())
    {
        std::fill(m_kinds.begin(), m_kinds.end(), Kind::Plain);
    }

    void mark(qsizetype from, qsizetype to, Kind kind)
    {
        for (qsizetype i = std::max<qsizetype>(from, 0); i < std::min(to, m_text.size()); ++i)
            m_kinds[i] = kind;
    }

    void classify();
    std::vector<Span> spans() const;
    Kind last() const { return m_kinds.isEmpty() ? Kind::Plain : m_kinds.back(); }

private:
    struct Token {
        qsizetype start, end;
        QStringView text;
    };
    void tokenised();
    void argument(const Token &token, Kind plainWord = Kind::Plain);
    void references();

    QStringView m_text;
    QVarLengthArray<Kind, 256> m_kinds;
};

// One argument: an integer, or an expression with its variables picked out; a word the
// command reads as a name gets `plainWord` (variable names are two letters).
void Line::argument(const Token &t, Kind plainWord)
{
    const QStringView s = t.text;
    if (plainWord == Kind::Variable && s.size() == 2 && isLetter(s[0]) && isLetter(s[1])) {
        mark(t.start, t.end, Kind::Variable);
        return;
    }
    qsizetype digits = s.startsWith(u'-') ? 1 : 0;
    while (digits < s.size() && isDigit(s[digits]))
        ++digits;
    if (digits == s.size() && !(s.size() == 1 && s[0] == u'-')) {
        mark(t.start, t.end, Kind::Number);
        return;
    }
    bool expression = true;
    for (qsizetype i = 0; i < s.size() && expression; ++i) {
        const char c = lower(s[i]);
        if (s[i] == u'$' && i + 2 < s.size() && isLetter(s[i + 1]) && isLetter(s[i + 2]))
            i += 2;
        else
            expression = s[i].unicode() < 0x80 && std::strchr("0123456789abcdefh+-*/().", c) != nullptr;
    }
    if (!expression) {
        mark(t.start, t.end, plainWord);
        return;
    }
    mark(t.start, t.end, Kind::Expression);
    for (qsizetype i = 0; i + 2 < s.size(); ++i)
        if (s[i] == u'$' && isLetter(s[i + 1]) && isLetter(s[i + 2]))
            mark(t.start + i, t.start + i + 3, Kind::Variable);
}

void Line::tokenised()
{
    const QStringView s = m_text;
    const bool assignment = s.startsWith(u'$');
    std::vector<Token> tokens;
    qsizetype pos = 0;
    qsizetype comment = -1;
    while (tokens.size() < 10) {
        const qsizetype start = pos;
        while (pos < s.size() && !separates(s[pos], assignment))
            ++pos;
        tokens.push_back({start, pos, s.sliced(start, pos - start)});
        while (pos < s.size() && separates(s[pos], assignment))
            ++pos;
        if (pos < s.size() && s[pos] == u'#') {
            comment = pos;
            break;
        }
        if (pos >= s.size())
            break;
    }
    if (comment >= 0)
        mark(comment, s.size(), Kind::Comment);

    const Token &first = tokens.front();
    const QStringView t0 = first.text;
    const qsizetype arguments = static_cast<qsizetype>(tokens.size());
    auto rest = [&](Kind plainWord) {
        for (qsizetype i = 1; i < arguments; ++i)
            argument(tokens[i], plainWord);
    };
    if (t0.isEmpty()) {
        // An indented line runs nothing; the interpreter rejects it unless it is a comment.
        if (arguments > 1 && !tokens[1].text.isEmpty())
            mark(tokens[1].start, s.size(), Kind::Unknown);
        return;
    }
    if (isReference(s, 0)) {
        // The command is known only once the abbreviation is expanded.
        rest(Kind::Plain);
        return;
    }
    if (t0 == u"*" || (t0 == u"**" && (arguments < 2 || tokens[1].text.isEmpty()))) {
        mark(first.start, first.end, Kind::Command);
        rest(Kind::Plain);
        return;
    }
    if (t0.size() >= 4 && t0.startsWith(u"$$") && isLetter(t0[2]) && isLetter(t0[3])) {
        mark(first.start, first.end, Kind::Variable);
        rest(Kind::Command);
        return;
    }
    if (t0.size() >= 3 && t0[0] == u'$' && isLetter(t0[1]) && isLetter(t0[2])) {
        mark(first.start, first.end, Kind::Variable);
        for (qsizetype i = 1; i < arguments; ++i) {
            const Token &t = tokens[i];
            if (i == 1 && isAssignmentWord(t.text))
                mark(t.start, t.end, Kind::Command);
            else if (i == 1 && t.text.size() == 4 && t.text[0] == u'{' && t.text[3] == u'}')
                mark(t.start, t.end, Kind::Abbreviation);
            else
                argument(t);
        }
        return;
    }
    if (t0.size() >= 5 && t0.startsWith(u"}{") && isLetter(t0[2]) && isLetter(t0[3]) &&
        t0[4] == u'}') {
        // The whole rest of the line is the abbreviation's text.
        mark(0, s.size(), Kind::Text);
        mark(0, 5, Kind::Abbreviation);
        return;
    }
    const std::string key = keyword(t0);
    if (key.empty()) {
        mark(first.start, first.end, Kind::Unknown);
        rest(Kind::Plain);
        return;
    }
    if (key == "pag") {
        mark(0, comment >= 0 ? comment : s.size(), Kind::Page);
        return;
    }
    mark(first.start, first.end, Kind::Command);
    const bool flow = key == "ski" || key == "nsk" || key == "rep";
    const bool names = key == "sto" || key == "res" || key == "cst" || key == "cre";
    for (qsizetype i = 1; i < arguments; ++i) {
        const Token &t = tokens[i];
        if (flow && i == 1 && t.text.size() == 1 && isLetter(t.text[0]))
            mark(t.start, t.end, Kind::Label);
        else if (flow && i == 3 && isOperator(t.text))
            mark(t.start, t.end, Kind::Expression);
        else
            argument(t, names ? Kind::Variable : Kind::Plain);
    }
}

void Line::classify()
{
    const QStringView s = m_text;
    if (s.isEmpty())
        return;
    const QChar c = s[0];
    if (c == u'#') {
        mark(0, s.size(), s.size() >= 3 && s[1] == u'#' && isLetter(s[2]) ? Kind::Label
                                                                          : Kind::Comment);
        return; // a comment's braces are nobody's business
    }
    if (c == u':' && s.size() >= 2 && QStringView(u":&+.|").contains(s[1])) {
        mark(2, s.size(), Kind::Text);
        mark(0, 2, Kind::Command);
    } else if (c == u'!') {
        const qsizetype sign = s.size() >= 2 && s[1] == u'!' ? 2 : 1;
        mark(sign, s.size(), Kind::Text);
        const QStringView path = s.sliced(sign).trimmed();
        if (!path.isEmpty() && isDigit(path[0]))
            mark(s.indexOf(path[0], sign), s.indexOf(path[0], sign) + 1, Kind::Number);
        mark(0, sign, Kind::Command);
    } else if (c == u'/' || c == u'<' || c == u'=') {
        mark(1, s.size(), Kind::Text);
        mark(0, 1, Kind::Command);
    } else if (c == u'{' && s.size() >= 4 && isLetter(s[1]) && isLetter(s[2]) && s[3] == u'}') {
        mark(4, s.size(), Kind::Text);
        mark(0, 4, Kind::Abbreviation);
    } else {
        tokenised();
    }
    references();
}

void Line::references()
{
    for (qsizetype i = 0; i + 6 <= m_text.size(); ++i)
        if (m_kinds[i] != Kind::Comment && isReference(m_text, i)) {
            mark(i, i + 6, Kind::Abbreviation);
            i += 5;
        }
}

std::vector<Span> Line::spans() const
{
    std::vector<Span> out;
    for (qsizetype i = 0; i < m_kinds.size();) {
        qsizetype j = i + 1;
        while (j < m_kinds.size() && m_kinds[j] == m_kinds[i])
            ++j;
        if (m_kinds[i] != Kind::Plain)
            out.push_back({static_cast<int>(i), static_cast<int>(j - i), m_kinds[i]});
        i = j;
    }
    return out;
}

} // namespace

std::vector<Span> Spans(QStringView text)
{
    Line line(text);
    line.classify();
    return line.spans();
}

Kind ContinuedKind(QStringView head)
{
    Line line(head);
    line.classify();
    return line.last();
}

} // namespace commandcolors
