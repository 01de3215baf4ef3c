// The small pieces of PDF syntax every part of the writer appends.
#include "syntax.h"

#include <charconv>
#include <cmath>

namespace pdf {

namespace {

constexpr long long kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
constexpr double kLimit = 1e12;
constexpr char kHex[] = "0123456789ABCDEF";

// The next code point of `s` from `i`, advancing `i`; U+FFFD for a malformed sequence.
char32_t nextCodePoint(std::string_view s, std::size_t &i)
{
    const unsigned char lead = static_cast<unsigned char>(s[i++]);
    if (lead < 0x80)
        return lead;
    int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (extra < 0 || lead >= 0xF5)
        return 0xFFFD;
    char32_t c = lead & (0x3F >> extra);
    for (; extra > 0; --extra) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 0xFFFD;
    return c;
}

} // namespace

void AppendInt(std::string &out, long long value)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

double RoundReal(double value, int decimals)
{
    const long long scale = kPowers[decimals];
    if (!(value == value))
        return 0;
    value = std::fmax(-kLimit, std::fmin(kLimit, value));
    return static_cast<double>(std::llround(value * static_cast<double>(scale))) /
           static_cast<double>(scale);
}

void AppendReal(std::string &out, double value, int decimals)
{
    // Whole numbers, most of what a page holds, need no rounding.
    if (value >= -1e9 && value <= 1e9 && value == static_cast<double>(static_cast<long long>(value))) {
        AppendInt(out, static_cast<long long>(value));
        return;
    }
    const long long scale = kPowers[decimals];
    if (!(value == value))
        value = 0;
    value = std::fmax(-kLimit, std::fmin(kLimit, value));
    long long n = std::llround(value * static_cast<double>(scale));
    if (n < 0) {
        out += '-';
        n = -n;
    }
    AppendInt(out, n / scale);
    long long fraction = n % scale;
    if (fraction == 0)
        return;
    int digits = decimals;
    while (fraction % 10 == 0) {
        fraction /= 10;
        --digits;
    }
    char buffer[8];
    for (int i = digits - 1; i >= 0; --i) {
        buffer[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    out += '.';
    out.append(buffer, static_cast<std::size_t>(digits));
}

void AppendHex4(std::string &out, std::uint32_t code)
{
    const char digits[4] = {kHex[(code >> 12) & 15], kHex[(code >> 8) & 15],
                            kHex[(code >> 4) & 15], kHex[code & 15]};
    out.append(digits, 4);
}

void AppendName(std::string &out, std::string_view name)
{
    out += '/';
    for (const char ch : name) {
        const unsigned char c = static_cast<unsigned char>(ch);
        const bool plain = c > 0x20 && c < 0x7F && std::string_view("()<>[]{}/%#").find(ch) ==
                                                        std::string_view::npos;
        if (plain) {
            out += ch;
        } else {
            out += '#';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
}

void AppendUtf16Hex(std::string &out, std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t c = nextCodePoint(utf8, i);
        if (c < 0x10000) {
            AppendHex4(out, c);
        } else {
            AppendHex4(out, 0xD800 + ((c - 0x10000) >> 10));
            AppendHex4(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
}

void AppendTextString(std::string &out, std::string_view utf8)
{
    bool ascii = true;
    for (const char ch : utf8)
        ascii = ascii && ch >= 0x20 && ch < 0x7F;
    if (!ascii) {
        out += "<FEFF";
        AppendUtf16Hex(out, utf8);
        out += '>';
        return;
    }
    out += '(';
    for (const char ch : utf8) {
        if (ch == '(' || ch == ')' || ch == '\\')
            out += '\\';
        out += ch;
    }
    out += ')';
}

} // namespace pdf
