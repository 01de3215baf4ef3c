// Code page 932 (Shift-JIS) text: lead bytes, character walking, conversions, full width.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cp932 {

// True when `b` starts a two-byte character: 0x80 to 0x9F or 0xE0 to 0xFF.
inline bool IsLeadByte(unsigned char b)
{
    return (b >= 0x80 && b <= 0x9F) || b >= 0xE0;
}

// Length in bytes of the character that starts at `pos`: 2 for a lead byte that has a
// following byte, otherwise 1. A lead byte at the very end counts as one character.
inline std::size_t CharLength(std::string_view s, std::size_t pos)
{
    return (IsLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size()) ? 2 : 1;
}

// Number of characters in `s`, two-byte characters counting once.
std::size_t CharCount(std::string_view s);

// The characters of `s` with `separator` between every two (two-byte characters whole).
std::string JoinCharacters(std::string_view s, std::string_view separator);

// Lower-case copy: single-byte A-Z become a-z; both bytes of two-byte characters stay.
std::string ToLower(std::string_view s);
void ToLowerInPlace(std::string &s);

// Conversions through iconv. Bytes that do not form a character of the source encoding
// become U+FFFD (to UTF-8) or "?" (to code page 932); nothing is dropped silently.
std::string ToUtf8(std::string_view cp932Text);
std::string FromUtf8(std::string_view utf8Text);

// Full-width form of `s`, as Windows' LCMAP_FULLWIDTH does in code page 932: printable
// ASCII to its full-width character, the blank to the full-width blank, half-width
// katakana to full-width katakana (a following voiced or semi-voiced mark is combined
// where such a character exists). Two-byte characters stay as they are.
std::string ToFullWidth(std::string_view s);

// Code page 932 bytes of a UTF-8 literal, converted once and kept: for the program's own
// texts (messages, the default face name) that the interpreter handles as bytes.
#define CP932(utf8Literal)                                                                   \
    ([]() -> const std::string & {                                                          \
        static const std::string converted = ::cp932::FromUtf8(utf8Literal);               \
        return converted;                                                                    \
    }())

} // namespace cp932
