// The page images a preview keeps: the latest it showed, within a memory budget.
#pragma once

#include <QImage>

#include <list>

// Images of pages, most recently used first. Going back to a page shown a moment ago costs
// nothing; a job of any number of pages holds no more than the budget (and always the
// latest image, however large).
class PageImageCache {
public:
    explicit PageImageCache(qint64 budgetBytes) : m_budget(budgetBytes) {}

    // The image of `page` of exactly `size`, or a null image.
    QImage find(int page, QSize size);
    void insert(int page, const QImage &image);

    qint64 bytes() const { return m_bytes; }
    int count() const { return static_cast<int>(m_entries.size()); }

private:
    struct Entry {
        int page;
        QImage image;
    };
    std::list<Entry> m_entries;
    qint64 m_budget;
    qint64 m_bytes = 0;
};
