// Code page 932 (Shift-JIS) text: lead bytes, character walking, conversions, full width.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cp932 {

// True when `b` starts a two-byte character: 0x80 to 0x9F or 0xE0 to 0xFF.
constexpr bool IsLeadByte(unsigned char b)
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

// One character at a time, by tables taken once from iconv. A code page 932 character is
// one number here: its byte, or lead byte * 256 + trail byte.
//
// The Unicode character (always below U+10000) that the code stands for, or -1 when these
// bytes form no character.
int UnicodeOf(unsigned code);
// The code that writes `c`, or -1 when code page 932 has no form for it. Besides every
// character that UnicodeOf gives, code page 932 writes a few characters under another
// Unicode mapping, which read back as that mapping: U+301C as 0x8160 (U+FF5E), U+2212 as
// 0x817C (U+FF0D), U+2016 as 0x8161 (U+2225), U+2014 as 0x815C (U+2015), U+00A2, U+00A3
// and U+00AC as 0x8191, 0x8192 and 0x81CA (U+FFE0, U+FFE1, U+FFE2), U+00A5 as 0x5C and
// U+203E as 0x7E. Some codes of the NEC and IBM extensions share their character with
// another code (0x8790 and 0x81E0 are both U+2252); it is written as one of them.
int CodeOf(char32_t c);

// True when `bytes` is well-formed UTF-8 throughout: no stray or missing continuation
// bytes, no overlong forms, surrogates or code points beyond U+10FFFF.
bool IsUtf8(std::string_view bytes);
// Code page 932 bytes of well-formed UTF-8 text, character by character as CodeOf writes
// them: a character that code page 932 cannot hold becomes one "?", and `unheld` is
// increased by one for each.
std::string FromUtf8Counting(std::string_view utf8Text, std::size_t &unheld);

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
