// Where the pages of a command text begin and which lines initialise every page: found
// once for a job, then only read by every page run of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Number of pages of a command text: one more than the lines that begin with "pag" (in
// any case) after the first, and one more again when the text itself begins with one.
int CountPages(std::string_view text);

// Lines of a text by their byte offset and line number, in text order: eight bytes a line,
// so that even a text of half a million page lines keeps a small index.
class LineList {
public:
    struct Line {
        std::size_t offset;
        int lineNo;
    };

    std::size_t size() const { return m_entries.size(); }
    Line operator[](std::size_t i) const;
    // `offset` is not below the offset of the last line added.
    void push_back(std::size_t offset, int lineNo);
    void shrink_to_fit() { m_entries.shrink_to_fit(); }

private:
    struct Entry {
        std::uint32_t offsetLow; // the offset modulo 4 GiB
        std::int32_t lineNo;
    };
    std::vector<Entry> m_entries;
    // The first entry at or beyond each further 4 GiB of text; empty for smaller texts.
    std::vector<std::size_t> m_wraps;
};

// The page index of one command text (code page 932, CR LF or LF line ends). It keeps the
// text it was built from, so that a page always runs on the text its index describes, and
// it never changes once built: page runs of one job may read it at the same time.
//
// A page line is a line that begins with "pag" in either case. Page 1 is the text from
// its top; page N after the (N - 1)-th page line below the first line, or after the
// (N - 2)-th when the text itself begins with a page line (whose first page is then empty).
// Line numbers count line feeds: a line's number is one more than the line feeds before it.
class PageIndex {
public:
    // The index of an empty text: one empty page.
    PageIndex() = default;
    explicit PageIndex(std::string text);

    std::string_view text() const { return m_text; }
    int pageCount() const { return static_cast<int>(m_sections.size()) + 1; }

    // Where page `page` starts its own lines: the line after its page line, and that line's
    // number. Pages below 2 start at the top, on line 1; a page beyond the last has none.
    std::optional<LineList::Line> Section(int page) const;

    // The page whose section holds line `lineNo`: a page line belongs to the page it ends,
    // and the initialisation lines to the page they stand on.
    int PageOfLine(int lineNo) const;

    // The lines that begin with "$$" and those that begin with "}{" in the first column,
    // the lines of the two initialisation passes.
    const LineList &variableLines() const { return m_variableLines; }
    const LineList &abbreviationLines() const { return m_abbreviationLines; }

private:
    std::string m_text;
    LineList m_sections; // the line after each page line that starts a page
    LineList m_variableLines;
    LineList m_abbreviationLines;
};
