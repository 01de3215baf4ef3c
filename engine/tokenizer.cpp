// The line tokenizer shared by the dispatcher and the initialisation pass.
#include "tokenizer.h"

#include "codepage.h"

#include <array>
#include <cstdint>
#include <string>

namespace {

// What the splitter does with each byte: the byte the token gets, plus kStop for a byte
// that ends a token (a blank or tab, or a byte the rules do not cover).
using ByteRules = std::array<std::uint16_t, 256>;
constexpr std::uint16_t kStop = 0x100;

constexpr bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

constexpr std::uint16_t rule(int byte, bool stop)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(byte) | (stop ? kStop : 0));
}

// Rules for a line already normalised: blanks and tabs separate, every other byte is
// taken as it stands.
constexpr ByteRules normalisedRules()
{
    ByteRules rules{};
    for (int b = 0; b < 256; ++b)
        rules[b] = rule(b, isBlank(static_cast<char>(b)));
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
        int c = b;
        if (b >= 'A' && b <= 'Z')
            c = b + 32;
        else if (b == ',' || (equalsAreBlanks && b == '='))
            c = ' ';
        const bool lead = cp932::IsLeadByte(static_cast<unsigned char>(b));
        rules[b] = rule(c, lead || isBlank(static_cast<char>(c)));
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
    const auto blank = [&rules](unsigned char b) { return isBlank(static_cast<char>(rules[b])); };
    const auto *const begin = reinterpret_cast<const unsigned char *>(line.data());
    const auto *const end = begin + line.size();
    const auto *at = begin;
    std::size_t used = 0;
    while (used < tokens.size()) {
        Token &t = tokens[used++];
        char *out = t.room();
        const auto *const start = at;
        const auto *const limit =
            static_cast<std::size_t>(end - at) > maxLength ? at + maxLength : end;
        for (; at < limit && !(rules[*at] & kStop); ++at)
            *out++ = static_cast<char>(rules[*at]);
        t.resize(static_cast<std::size_t>(at - start));
        if (at < limit && !blank(*at))
            return Split::Foreign;
        for (; at < end && (rules[*at] & kStop); ++at) {
            if (!blank(*at))
                return Split::Foreign;
        }
        if (used == 1)
            hasContent = t.empty() ? at < end && *at != '#' : *begin != '#';
        if (at == end || *at == '#')
            break;
    }
    for (; used < tokens.size(); ++used)
        tokens[used].clear();
    return Split::Done;
}

// TokenizeLine for a line that holds a lead byte: normalised in full, then split. Out of
// line, so that the splitting of one-byte lines does not pay for it.
[[gnu::noinline]] bool tokenizeNormalised(std::string_view line, TokenList &tokens,
                                          std::size_t maxLength, bool equalsAreBlanks)
{
    thread_local std::string normalised;
    normalise(line, equalsAreBlanks, normalised);
    bool hasContent = false;
    split(normalised, kNormalised, tokens, maxLength, hasContent);
    return hasContent;
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
    return tokenizeNormalised(line, tokens, maxLength, equalsAreBlanks);
}

bool Tokenize(CommandFrame &frame)
{
    const std::string_view line = frame.currentLine;
    return TokenizeLine(line, frame.tokens, Token::kMaxLength, !line.empty() && line[0] == '$');
}
