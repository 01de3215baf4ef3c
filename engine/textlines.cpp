// Line taking and the consumable text buffers of the interpreter.
#include "textlines.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

std::string_view TakeLine(std::string_view &text)
{
    if (text.empty())
        return kEndMarker;
    std::size_t lf = text.find('\n');
    std::string_view line;
    if (lf == std::string_view::npos) {
        line = text;
        text = {};
    } else {
        line = text.substr(0, lf);
        text.remove_prefix(lf + 1);
    }
    std::size_t cr = line.find('\r');
    if (cr != std::string_view::npos)
        line = line.substr(0, cr);
    return line;
}

std::string_view FirstLine(std::string_view text)
{
    return text.empty() ? std::string_view{} : TakeLine(text);
}

std::size_t CountLineFeeds(std::string_view text)
{
    // Every page run counts the line feeds of the whole text before its section, so the
    // count goes eight bytes at a time: a byte of `x` is zero exactly where the text has
    // a line feed, and `zeros` gets the top bit of each zero byte (no borrow between
    // bytes, so the count is exact).
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr std::uint64_t kLineFeeds = 0x0A0A0A0A0A0A0A0AULL;
    std::size_t n = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        const std::uint64_t x = word ^ kLineFeeds;
        const std::uint64_t zeros = ~(((x & kLow7) + kLow7) | x | kLow7);
        n += static_cast<std::size_t>(std::popcount(zeros));
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

bool IsPageLine(std::string_view s)
{
    return s.size() >= 3 && (s[0] | 0x20) == 'p' && (s[1] | 0x20) == 'a' &&
           (s[2] | 0x20) == 'g';
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

std::string NormalizeLineEnds(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

std::string_view RemainingText::TakeLine()
{
    std::string_view rest = view();
    std::string_view line = ::TakeLine(rest);
    m_pos = m_buffer.size() - rest.size();
    return line;
}

void RemainingText::Prepend(std::string_view body)
{
    if (body.size() <= m_pos) {
        // The taken lines before the cursor are free room: no copy of the rest.
        m_pos -= body.size();
        std::memmove(m_buffer.data() + m_pos, body.data(), body.size());
        return;
    }
    std::string joined;
    joined.reserve(body.size() + m_buffer.size() - m_pos);
    joined.append(body);
    joined.append(view());
    m_buffer = std::move(joined);
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
