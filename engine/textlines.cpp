// Line taking and the consumable text buffers of the interpreter.
#include "textlines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

std::string_view FirstLine(std::string_view text)
{
    return text.empty() ? std::string_view{} : TakeLine(text);
}

std::size_t CountLineFeeds(std::string_view text)
{
    // Eight bytes at a time: a byte of `x` is zero exactly where the text has a line feed,
    // and `hits` gets 1 in each such byte (no borrow between bytes, so it is exact). The
    // hits add up per byte for up to 255 words and are then summed across the bytes, so
    // no bit count is needed (the baseline x86-64 build has none in hardware).
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr std::uint64_t kLineFeeds = 0x0A0A0A0A0A0A0A0AULL;
    constexpr std::uint64_t kEvenBytes = 0x00FF00FF00FF00FFULL;
    std::size_t n = 0;
    std::size_t i = 0;
    while (i + 8 <= text.size()) {
        std::uint64_t perByte = 0;
        for (int words = 0; words < 255 && i + 8 <= text.size(); ++words, i += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + i, 8);
            const std::uint64_t x = word ^ kLineFeeds;
            perByte += ~(((x & kLow7) + kLow7) | x | kLow7) >> 7;
        }
        // Pairs of bytes into four 16-bit sums, then those four into the top 16 bits.
        const std::uint64_t pairs = (perByte & kEvenBytes) + (perByte >> 8 & kEvenBytes);
        n += static_cast<std::size_t>(pairs * 0x0001000100010001ULL >> 48);
    }
    for (; i < text.size(); ++i)
        n += text[i] == '\n';
    return n;
}

std::size_t LinesLength(std::string_view text, long long lines)
{
    std::size_t pos = 0;
    for (long long i = 0; i < lines; ++i) {
        const void *lf = std::memchr(text.data() + pos, '\n', text.size() - pos);
        if (!lf)
            return text.size();
        pos = static_cast<std::size_t>(static_cast<const char *>(lf) - text.data()) + 1;
    }
    return pos;
}

long long CountLines(std::string_view text, long long limit)
{
    long long n = 0;
    std::size_t pos = 0;
    while (n < limit && pos < text.size()) {
        const void *lf = std::memchr(text.data() + pos, '\n', text.size() - pos);
        ++n;
        if (!lf)
            break;
        pos = static_cast<std::size_t>(static_cast<const char *>(lf) - text.data()) + 1;
    }
    return n;
}

std::size_t FindPageLine(std::string_view text)
{
    return IsPageLine(text) ? 0 : FindPageLineAfter(text, 0);
}

std::size_t FindPageLineAfter(std::string_view text, std::size_t from)
{
    // One pass over the bytes: cheaper than a search call per line for short lines.
    const char *p = text.data();
    for (std::size_t i = from; i + 3 < text.size(); ++i)
        if (p[i] == '\n' && (p[i + 1] | 0x20) == 'p' && (p[i + 2] | 0x20) == 'a' &&
            (p[i + 3] | 0x20) == 'g')
            return i + 1;
    return std::string_view::npos;
}

std::string NormalizeLineEnds(std::string text)
{
    // Text with CR LF throughout, as command files are, is given back as it came.
    std::size_t lf = 0;
    while ((lf = text.find('\n', lf)) != std::string::npos && lf > 0 && text[lf - 1] == '\r')
        ++lf;
    if (lf == std::string::npos)
        return text;
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    // Copies the bytes up to each lone LF at once.
    std::size_t from = 0;
    for (; lf != std::string::npos; lf = text.find('\n', lf + 1)) {
        if (lf > 0 && text[lf - 1] == '\r')
            continue;
        out.append(text, from, lf - from);
        out += "\r\n";
        from = lf + 1;
    }
    out.append(text, from);
    return out;
}

void RemainingText::Prepend(std::string_view body)
{
    // A repeated range goes back in front right after its own lines were taken: stepping
    // back over them puts the same bytes in front without a copy.
    if (body.size() <= m_pos && m_text.substr(m_pos - body.size(), body.size()) == body) {
        m_pos -= body.size();
        return;
    }
    std::string joined;
    joined.reserve(body.size() + m_text.size() - m_pos);
    joined.append(body);
    joined.append(view());
    m_own = std::move(joined);
    m_text = m_own;
    m_pos = 0;
}

void RegisteredText::assign(std::string_view s)
{
    m_buffer.assign(s);
    m_pos = 0;
}

void RegisteredText::append(std::string_view s)
{
    compact();
    m_buffer.append(s);
}

std::string_view RegisteredText::TakeLine()
{
    std::string_view rest = view();
    std::string_view line = ::TakeLine(rest);
    m_pos = m_buffer.size() - rest.size();
    return line;
}

void RegisteredText::compact()
{
    // Dropping the taken lines moves the rest, so only when they are the larger part.
    if (m_pos > 0 && m_pos >= m_buffer.size() / 2) {
        m_buffer.erase(0, m_pos);
        m_pos = 0;
    }
}
