// Code page 932 text: character walking, conversions through iconv, the full-width map.
#include "codepage.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <vector>

namespace cp932 {

namespace {

// One iconv descriptor per direction and thread, opened on first use: opening one costs
// far more than converting a short string, and text is converted for every text run.
class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Converts `in`; a byte sequence that cannot be converted is replaced by
    // `replacement` and skipped one byte at a time.
    std::string convert(std::string_view in, std::string_view replacement)
    {
        std::string out;
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            out.assign(in);
            return out;
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.resize(in.size() * 3 + 8);
        char *src = const_cast<char *>(in.data());
        std::size_t srcLeft = in.size();
        std::size_t used = 0;
        while (srcLeft > 0) {
            char *dst = out.data() + used;
            std::size_t dstLeft = out.size() - used;
            std::size_t r = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            used = out.size() - dstLeft;
            if (r != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL: an invalid or incomplete sequence. Emit the replacement
            // and go on after its first byte.
            out.resize(used);
            out.append(replacement);
            used = out.size();
            out.resize(used + srcLeft * 3 + 8);
            ++src;
            --srcLeft;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(used);
        return out;
    }

private:
    iconv_t m_cd;
};

// Converts the bytes of exactly one character; false when iconv takes them for no
// character. `out` receives at most 4 bytes.
bool convertOne(iconv_t cd, const char *in, std::size_t inLength, char *out,
                std::size_t &outLength)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char *src = const_cast<char *>(in);
    std::size_t srcLeft = inLength;
    char *dst = out;
    std::size_t dstLeft = 4;
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) ||
        srcLeft != 0)
        return false;
    // Flush a converter that holds back output until the end.
    if (iconv(cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1))
        return false;
    outLength = 4 - dstLeft;
    return true;
}

// Both directions of the code page as tables: code to Unicode character by code, and
// Unicode character to code for every character below U+10000 (code page 932 has none
// above). Asking iconv about every one of them once takes a few milliseconds.
struct CodeTables {
    static constexpr std::uint16_t kNone = 0xFFFF; // neither a code nor a character read
    std::vector<std::uint16_t> unicode = std::vector<std::uint16_t>(0x10000, kNone);
    std::vector<std::uint16_t> code = std::vector<std::uint16_t>(0x10000, kNone);

    CodeTables()
    {
        const auto failed = reinterpret_cast<iconv_t>(-1);
        iconv_t reader = iconv_open("UTF-16LE", "CP932");
        iconv_t writer = iconv_open("CP932", "UTF-16LE");
        if (reader == failed || writer == failed) {
            if (reader != failed)
                iconv_close(reader);
            if (writer != failed)
                iconv_close(writer);
            return;
        }
        char out[4];
        std::size_t length = 0;
        auto read = [&](unsigned c, const char *bytes, std::size_t n) {
            if (convertOne(reader, bytes, n, out, length) && length == 2)
                unicode[c] = static_cast<std::uint16_t>(static_cast<unsigned char>(out[0]) |
                                                        static_cast<unsigned char>(out[1]) << 8);
        };
        for (unsigned b = 0; b < 0x100; ++b) {
            const char single = static_cast<char>(b);
            read(b, &single, 1);
            if (!IsLeadByte(static_cast<unsigned char>(b)))
                continue;
            for (unsigned t = 0; t < 0x100; ++t) {
                const char pair[2] = {static_cast<char>(b), static_cast<char>(t)};
                read(b << 8 | t, pair, 2);
            }
        }
        for (unsigned c = 0; c < 0x10000; ++c) {
            if (c >= 0xD800 && c < 0xE000)
                continue; // surrogates are no characters
            const char utf16[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
            if (!convertOne(writer, utf16, 2, out, length))
                continue;
            if (length == 1)
                code[c] = static_cast<unsigned char>(out[0]);
            else if (length == 2)
                code[c] = static_cast<std::uint16_t>(static_cast<unsigned char>(out[0]) << 8 |
                                                     static_cast<unsigned char>(out[1]));
        }
        iconv_close(reader);
        iconv_close(writer);
    }
};

const CodeTables &codeTables()
{
    static const CodeTables tables;
    return tables;
}

Converter &toUtf8()
{
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter &fromUtf8()
{
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

std::string encodeUtf8(char32_t cp)
{
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

// Full-width katakana and punctuation for the half-width bytes 0xA1 to 0xDF.
constexpr char16_t kKatakana[63] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};

struct FullWidthTable {
    std::array<std::string, 256> single; // by byte; empty where the byte stays as it is
    std::string voiced[256];             // half-width byte + voiced mark
    std::string semiVoiced[256];         // half-width byte + semi-voiced mark

    FullWidthTable()
    {
        auto cp = [](char32_t c) { return FromUtf8(encodeUtf8(c)); };
        single[0x20] = cp(0x3000);
        for (int b = 0x21; b <= 0x7E; ++b)
            single[b] = cp(0xFF01 + (b - 0x21));
        for (int b = 0xA1; b <= 0xDF; ++b)
            single[b] = cp(kKatakana[b - 0xA1]);
        // Ka to To and Ha to Ho take the voiced mark as the next code point; Ha to Ho
        // also the semi-voiced mark as the one after it; U takes the voiced mark as Vu.
        for (int b = 0xB6; b <= 0xC4; ++b)
            voiced[b] = cp(kKatakana[b - 0xA1] + 1);
        for (int b = 0xCA; b <= 0xCE; ++b) {
            voiced[b] = cp(kKatakana[b - 0xA1] + 1);
            semiVoiced[b] = cp(kKatakana[b - 0xA1] + 2);
        }
        voiced[0xB3] = cp(0x30F4);
    }
};

const FullWidthTable &fullWidthTable()
{
    static const FullWidthTable table;
    return table;
}

} // namespace

std::size_t CharCount(std::string_view s)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
        ++n;
    return n;
}

std::string JoinCharacters(std::string_view s, std::string_view separator)
{
    std::string out;
    out.reserve(s.size() * (1 + separator.size()));
    for (std::size_t i = 0; i < s.size();) {
        std::size_t len = CharLength(s, i);
        if (i > 0)
            out.append(separator);
        out.append(s.substr(i, len));
        i += len;
    }
    return out;
}

void ToLowerInPlace(std::string &s)
{
    for (std::size_t i = 0; i < s.size();) {
        std::size_t len = CharLength(s, i);
        if (len == 1 && s[i] >= 'A' && s[i] <= 'Z')
            s[i] = static_cast<char>(s[i] + 32);
        i += len;
    }
}

std::string ToLower(std::string_view s)
{
    std::string out(s);
    ToLowerInPlace(out);
    return out;
}

std::string ToUtf8(std::string_view cp932Text)
{
    return toUtf8().convert(cp932Text, "\xEF\xBF\xBD");
}

std::string FromUtf8(std::string_view utf8Text)
{
    return fromUtf8().convert(utf8Text, "?");
}

int UnicodeOf(unsigned code)
{
    if (code > 0xFFFF)
        return -1;
    const std::uint16_t c = codeTables().unicode[code];
    return c == CodeTables::kNone ? -1 : c;
}

int CodeOf(char32_t c)
{
    if (c > 0xFFFF)
        return -1;
    const std::uint16_t code = codeTables().code[c];
    return code == CodeTables::kNone ? -1 : code;
}

namespace {

// Length of the UTF-8 sequence that `lead` begins (1 for a byte that begins none).
std::size_t utf8Length(unsigned char lead)
{
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// The code point of the UTF-8 sequence of `length` bytes at `s`, not checked.
char32_t utf8Decode(const char *s, std::size_t length)
{
    char32_t c = static_cast<unsigned char>(s[0]) & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k)
        c = c << 6 | (static_cast<unsigned char>(s[k]) & 0x3F);
    return length == 1 ? static_cast<unsigned char>(s[0]) : c;
}

} // namespace

bool IsUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = utf8Length(b);
        if (length == 1 || b > 0xF4 || i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        // Overlong forms, surrogates and code points beyond Unicode are no characters.
        constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        const char32_t c = utf8Decode(bytes.data() + i, length);
        if (c < kSmallest[length] || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

std::string FromUtf8Counting(std::string_view utf8Text, std::size_t &unheld)
{
    std::string out;
    out.reserve(utf8Text.size());
    for (std::size_t i = 0; i < utf8Text.size();) {
        const std::size_t length =
            std::min(utf8Length(static_cast<unsigned char>(utf8Text[i])), utf8Text.size() - i);
        const int code = CodeOf(utf8Decode(utf8Text.data() + i, length));
        if (code < 0) {
            out += '?';
            ++unheld;
        } else if (code > 0xFF) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else {
            out += static_cast<char>(code);
        }
        i += length;
    }
    return out;
}

std::string ToFullWidth(std::string_view s)
{
    const FullWidthTable &t = fullWidthTable();
    std::string out;
    out.reserve(s.size() * 2);
    for (std::size_t i = 0; i < s.size();) {
        std::size_t len = CharLength(s, i);
        auto b = static_cast<unsigned char>(s[i]);
        if (len == 2) {
            out.append(s.substr(i, 2));
        } else if (i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xDE &&
                   !t.voiced[b].empty()) {
            out += t.voiced[b];
            ++len;
        } else if (i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xDF &&
                   !t.semiVoiced[b].empty()) {
            out += t.semiVoiced[b];
            ++len;
        } else if (!t.single[b].empty()) {
            out += t.single[b];
        } else {
            out += s[i];
        }
        i += len;
    }
    return out;
}

} // namespace cp932
