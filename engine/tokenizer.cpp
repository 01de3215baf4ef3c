// The line tokenizer shared by the dispatcher and the initialisation pass.
#include "tokenizer.h"

#include "codepage.h"

#include <string>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The line as the tokenizer sees it: blanks for full-width blanks and separators, lower
// case for single-byte letters; the byte length of the line is kept.
void normalise(std::string_view line, bool equalsAreBlanks, std::string &out)
{
    out.assign(line);
    const std::size_t n = out.size();
    for (std::size_t i = 0; i < n;) {
        auto b = static_cast<unsigned char>(out[i]);
        if (cp932::IsLeadByte(b)) {
            if (i + 1 < n && b == 0x81 && out[i + 1] == 0x40)
                out[i] = out[i + 1] = ' ';
            i += 2; // both bytes of the character stay as they are
            continue;
        }
        if (b == ',' || (equalsAreBlanks && b == '='))
            out[i] = ' ';
        else if (b >= 'A' && b <= 'Z')
            out[i] = static_cast<char>(b + 32);
        ++i;
    }
}

} // namespace

bool TokenizeLine(std::string_view line, TokenList &tokens, std::size_t maxLength,
                  bool equalsAreBlanks)
{
    thread_local std::string copy;
    normalise(line, equalsAreBlanks, copy);
    for (Token &t : tokens)
        t.clear();

    std::size_t pos = 0;
    const std::size_t n = copy.size();
    for (Token &t : tokens) {
        std::size_t end = pos;
        while (end < n && !isBlank(copy[end]) && end - pos < maxLength)
            ++end;
        t.assign(copy.data() + pos, end - pos);
        pos = end;
        while (pos < n && isBlank(copy[pos]))
            ++pos;
        if (pos >= n || copy[pos] == '#')
            break;
    }

    std::size_t first = 0;
    while (first < n && isBlank(copy[first]))
        ++first;
    return first < n && copy[first] != '#';
}

bool Tokenize(CommandFrame &frame)
{
    const std::string &line = frame.currentLine;
    return TokenizeLine(line, frame.tokens, Token::kMaxLength, !line.empty() && line[0] == '$');
}
