// Keeping page images within a budget.
#include "pageimagecache.h"

QImage PageImageCache::find(int page, QSize size)
{
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry)
        if (entry->page == page && entry->image.size() == size) {
            m_entries.splice(m_entries.begin(), m_entries, entry);
            return m_entries.front().image;
        }
    return {};
}

void PageImageCache::insert(int page, const QImage &image)
{
    m_entries.push_front({page, image});
    m_bytes += image.sizeInBytes();
    while (m_bytes > m_budget && m_entries.size() > 1) {
        m_bytes -= m_entries.back().image.sizeInBytes();
        m_entries.pop_back();
    }
}
