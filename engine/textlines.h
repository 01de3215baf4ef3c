// Line taking over command text, and the two text buffers the interpreter consumes from
// the front: the remaining text of a run and the registered string.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// The end marker: returned by TakeLine when the text is exhausted; a line that consists of
// exactly this byte also ends a text.
inline constexpr std::string_view kEndMarker{"\x1A", 1};

// Takes the first line off `text`: everything before the first LF, cut at its first CR;
// that part and the LF leave `text`. Without an LF the whole text is the line and `text`
// becomes empty; an empty text gives kEndMarker. The line views the same bytes as `text`.
// Every line of every run is taken here, so it is kept inline.
inline std::string_view TakeLine(std::string_view &text)
{
    if (text.empty())
        return kEndMarker;
    const char *p = text.data();
    const void *lf = std::memchr(p, '\n', text.size());
    std::size_t length = lf ? static_cast<std::size_t>(static_cast<const char *>(lf) - p)
                            : text.size();
    text.remove_prefix(lf ? length + 1 : length);
    if (const void *cr = std::memchr(p, '\r', length))
        length = static_cast<std::size_t>(static_cast<const char *>(cr) - p);
    return {p, length};
}

// The first line of `text` as TakeLine would take it, without taking it; empty for an
// empty text.
std::string_view FirstLine(std::string_view text);

// Number of LF bytes in `text`.
std::size_t CountLineFeeds(std::string_view text);

// Length in bytes of the first `lines` lines of `text`, each with its line end; the whole
// text when it has fewer lines.
std::size_t LinesLength(std::string_view text, long long lines);

// Number of lines in `text` (LF count, plus one when the last line has no LF), counting
// no further than `limit`.
long long CountLines(std::string_view text, long long limit);

// True when `line` begins with "pag" in either case: a page line.
inline bool IsPageLine(std::string_view s)
{
    return s.size() >= 3 && (s[0] | 0x20) == 'p' && (s[1] | 0x20) == 'a' &&
           (s[2] | 0x20) == 'g';
}

// Position of the first line of `text` that begins with "pag" in either case, or npos.
std::size_t FindPageLine(std::string_view text);
// Position of the first line beginning with "pag" whose line feed lies at or after
// `from`: a page line at the very start of `text` is not one of them.
std::size_t FindPageLineAfter(std::string_view text, std::size_t from);


// Every LF that does not follow a CR becomes CR LF, the line end of command files. Text
// written with LF line ends then reads exactly like the same text written on Windows.
// A text without a lone LF is returned as it is, without a copy.
std::string NormalizeLineEnds(std::string text);

// The text a run consumes line by line. It views the text it was given (which must outlive
// it) and copies nothing, unless something other than the lines just taken is put in front.
class RemainingText {
public:
    explicit RemainingText(std::string_view text) : m_text(text) {}

    std::string_view view() const { return m_text.substr(m_pos); }
    std::string_view TakeLine()
    {
        std::string_view rest(m_text.data() + m_pos, m_text.size() - m_pos);
        const std::string_view line = ::TakeLine(rest);
        m_pos = m_text.size() - rest.size();
        return line;
    }
    // Puts `body` in front of the remaining text.
    void Prepend(std::string_view body);

private:
    std::string_view m_text; // the given text, or m_own
    std::size_t m_pos = 0;
    std::string m_own;
};

// The registered string of the text commands: set, extended, and consumed one line at a
// time from the front by text runs. Taking a line does not move the rest.
class RegisteredText {
public:
    std::string_view view() const { return std::string_view(m_buffer).substr(m_pos); }
    std::size_t size() const { return m_buffer.size() - m_pos; }
    bool empty() const { return size() == 0; }

    void assign(std::string_view s);
    void append(std::string_view s);
    // Takes the first line as TakeLine does; the line stays valid until the next change.
    std::string_view TakeLine();

private:
    void compact();

    std::string m_buffer;
    std::size_t m_pos = 0;
};
