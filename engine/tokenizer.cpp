// The line tokenizer shared by the dispatcher and the initialisation pass.
#include "tokenizer.h"

#include "codepage.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

// What the splitter does with one byte of the line as it reads it.
struct ByteRule {
    char byte = 0;      // the byte the token gets
    bool stop = false;  // ends a token: a blank or tab, or a byte the table does not cover
};
using ByteRules = std::array<ByteRule, 256>;

constexpr bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Rules for a line already normalised: blanks and tabs separate, every other byte is
// taken as it stands.
constexpr ByteRules normalisedRules()
{
    ByteRules rules{};
    for (int b = 0; b < 256; ++b)
        rules[b] = {static_cast<char>(b), isBlank(static_cast<char>(b))};
    return rules;
}

// Rules that normalise while splitting, for lines of one-byte characters: upper-case
// letters become lower case, a comma (and on a "$" line an "=") separates like a blank.
// A lead byte of a two-byte character stops the splitter, which then starts again on the
// line normalised in full (see TokenizeLine).
constexpr ByteRules asciiRules(bool equalsAreBlanks)
{
    ByteRules rules{};
    for (int b = 0; b < 256; ++b) {
        char c = static_cast<char>(b);
        if (b >= 'A' && b <= 'Z')
            c = static_cast<char>(b + 32);
        else if (b == ',' || (equalsAreBlanks && b == '='))
            c = ' ';
        rules[b] = {c, cp932::IsLeadByte(static_cast<unsigned char>(b)) || isBlank(c)};
    }
    return rules;
}

constexpr ByteRules kNormalised = normalisedRules();
constexpr ByteRules kAscii = asciiRules(false);
constexpr ByteRules kAsciiDollar = asciiRules(true);

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

enum class Split { Done, Foreign };

// Splits `line` into `tokens` through `rules`; `hasContent` as TokenizeLine returns it.
// Foreign: a byte that stops the splitter but is no blank was met, and the tokens are
// incomplete.
Split split(std::string_view line, const ByteRules &rules, TokenList &tokens,
            std::size_t maxLength, bool &hasContent)
{
    const auto byteAt = [&line](std::size_t i) { return static_cast<unsigned char>(line[i]); };
    const auto blankAt = [&](std::size_t i) { return isBlank(rules[byteAt(i)].byte); };
    const std::size_t n = line.size();
    std::size_t pos = 0;
    std::size_t used = 0;
    while (used < tokens.size()) {
        Token &t = tokens[used++];
        char *out = t.room();
        const std::size_t limit = std::min(n, pos + maxLength);
        std::size_t end = pos;
        for (; end < limit; ++end) {
            const ByteRule &r = rules[byteAt(end)];
            if (r.stop)
                break;
            out[end - pos] = r.byte;
        }
        t.resize(end - pos);
        if (end < limit && !blankAt(end))
            return Split::Foreign;
        pos = end;
        while (pos < n && rules[byteAt(pos)].stop) {
            if (!blankAt(pos))
                return Split::Foreign;
            ++pos;
        }
        if (used == 1)
            hasContent = t.empty() ? pos < n && line[pos] != '#' : line[0] != '#';
        if (pos >= n || line[pos] == '#')
            break;
    }
    for (; used < tokens.size(); ++used)
        tokens[used].clear();
    return Split::Done;
}

} // namespace

bool TokenizeLine(std::string_view line, TokenList &tokens, std::size_t maxLength,
                  bool equalsAreBlanks)
{
    // Up to its first lead byte, a line reads the same with or without the normalising
    // pass: only a lead byte changes how the bytes after it are read (its trail byte is
    // kept as it is, and with 0x81 0x40 makes a full-width blank). So the splitter
    // normalises the one-byte characters it meets itself, and only a line in which it
    // meets a lead byte is normalised in full and split again.
    bool hasContent = false;
    if (split(line, equalsAreBlanks ? kAsciiDollar : kAscii, tokens, maxLength, hasContent) ==
        Split::Done)
        return hasContent;
    thread_local std::string normalised;
    normalise(line, equalsAreBlanks, normalised);
    split(normalised, kNormalised, tokens, maxLength, hasContent);
    return hasContent;
}

bool Tokenize(CommandFrame &frame)
{
    const std::string_view line = frame.currentLine;
    return TokenizeLine(line, frame.tokens, Token::kMaxLength, !line.empty() && line[0] == '$');
}
