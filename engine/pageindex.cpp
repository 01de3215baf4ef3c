// The page index: one pass over the text's lines.
#include "pageindex.h"

#include "textlines.h"

#include <algorithm>
#include <cstring>

int CountPages(std::string_view text)
{
    int pages = IsPageLine(text) ? 2 : 1;
    for (std::size_t pos = 0; (pos = FindPageLineAfter(text, pos)) != std::string_view::npos;)
        ++pages;
    return pages;
}

LineList::Line LineList::operator[](std::size_t i) const
{
    const Entry &e = m_entries[i];
    const auto high = static_cast<std::uint64_t>(
        std::upper_bound(m_wraps.begin(), m_wraps.end(), i) - m_wraps.begin());
    return {static_cast<std::size_t>(high << 32 | e.offsetLow), e.lineNo};
}

void LineList::push_back(std::size_t offset, int lineNo)
{
    while ((static_cast<std::uint64_t>(offset) >> 32) > m_wraps.size())
        m_wraps.push_back(m_entries.size());
    m_entries.push_back({static_cast<std::uint32_t>(offset), lineNo});
}

PageIndex::PageIndex(std::string text) : m_text(std::move(text))
{
    const std::string_view t = m_text;
    // Counted wide: a line number beyond the int range wraps as the page run's does.
    long long lineNo = 1;
    for (std::size_t start = 0; start < t.size(); ++lineNo) {
        const void *lf = std::memchr(t.data() + start, '\n', t.size() - start);
        const std::size_t next =
            lf ? static_cast<std::size_t>(static_cast<const char *>(lf) - t.data()) + 1 : t.size();
        const std::string_view line = t.substr(start, next - start);
        if (IsPageLine(line))
            m_sections.push_back(next, static_cast<int>(lineNo + 1));
        else if (line.starts_with("$$"))
            m_variableLines.push_back(start, static_cast<int>(lineNo));
        else if (line.starts_with("}{"))
            m_abbreviationLines.push_back(start, static_cast<int>(lineNo));
        start = next;
    }
    m_sections.shrink_to_fit();
    m_variableLines.shrink_to_fit();
    m_abbreviationLines.shrink_to_fit();
}

std::optional<LineList::Line> PageIndex::Section(int page) const
{
    if (page < 2)
        return LineList::Line{0, 1};
    const auto i = static_cast<std::size_t>(page) - 2;
    if (i >= m_sections.size())
        return std::nullopt;
    return m_sections[i];
}

int PageIndex::PageOfLine(int lineNo) const
{
    // Sections start at ascending lines: count those that start at or above the line.
    std::size_t below = 0, above = m_sections.size();
    while (below < above) {
        const std::size_t middle = below + (above - below) / 2;
        if (m_sections[middle].lineNo <= lineNo)
            below = middle + 1;
        else
            above = middle;
    }
    return static_cast<int>(below) + 1;
}
