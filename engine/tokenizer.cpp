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
    for (std::size_t i = 0; i < out.size();) {
        std::size_t len = cp932::CharLength(out, i);
        if (len == 2) {
            if (static_cast<unsigned char>(out[i]) == 0x81 && out[i + 1] == 0x40)
                out[i] = out[i + 1] = ' ';
        } else {
            char &c = out[i];
            if (c == ',' || (equalsAreBlanks && c == '='))
                c = ' ';
            else if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        }
        i += len;
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
        while (pos < n && !isBlank(copy[pos]) && t.size() < maxLength)
            t.push(copy[pos++]);
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
