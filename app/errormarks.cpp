// Error marks in the editor: positions that follow the edits, drawn block by block.
#include "errormarks.h"

#include "editorblocks.h"

#include <QPainter>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

const QColor kMarkColor(0xD0, 0x10, 0x10);
constexpr qreal kMarginBar = 3;      // pixels wide, in the document's left margin
constexpr qreal kLeastUnderline = 8; // pixels: an underline under an empty part shows

bool breaksLine(QChar c)
{
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// A wavy line as a tile of one wave, repeated along the line: far cheaper to paint than
// a path, and lines are short.
const QBrush &waveBrush()
{
    static const QBrush brush = []() {
        QPixmap tile(4, 3);
        tile.fill(Qt::transparent);
        QPainter painter(&tile);
        painter.setPen(kMarkColor);
        painter.drawPoint(0, 2);
        painter.drawPoint(1, 1);
        painter.drawPoint(2, 0);
        painter.drawPoint(3, 1);
        return QBrush(tile);
    }();
    return brush;
}

} // namespace

ErrorMarks::ErrorMarks(QTextDocument &document) : QObject(&document), m_document(document)
{
    connect(&document, &QTextDocument::contentsChange, this, &ErrorMarks::moved);
}

void ErrorMarks::set(const QList<LineError> &errors)
{
    QList<qsizetype> order(errors.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return errors[a].line < errors[b].line; });
    QList<int> lines;
    lines.reserve(errors.size());
    for (qsizetype i : order)
        lines.append(errors[i].line);
    const QList<int> positions = editorblocks::LinePositions(m_document, lines);
    m_positions.clear();
    m_messages.clear();
    for (qsizetype i = 0; i < positions.size(); ++i) {
        if (positions[i] < 0)
            continue;
        m_positions.push_back(positions[i]);
        m_messages.push_back(errors[order[i]].message);
    }
    emit changed();
}

void ErrorMarks::clear()
{
    if (m_positions.empty())
        return;
    m_positions.clear();
    m_messages.clear();
    emit changed();
}

void ErrorMarks::moved(int position, int removed, int added)
{
    if (m_positions.empty())
        return;
    auto it = std::lower_bound(m_positions.begin(), m_positions.end(), position);
    for (; it != m_positions.end(); ++it) {
        int &mark = *it;
        if (mark == position) {
            // Text put in front of a marked line: the line goes on after the last line
            // break put there.
            for (int i = position + added - 1; i >= position; --i)
                if (breaksLine(m_document.characterAt(i))) {
                    mark = i + 1;
                    break;
                }
        } else if (mark < position + removed) {
            mark = position; // its line was joined to the line where the change begins
        } else {
            mark += added - removed;
        }
    }
}

QString ErrorMarks::messageAt(int position) const
{
    if (m_positions.empty())
        return {};
    const int start = editorblocks::LineStart(m_document, position);
    const auto it = std::lower_bound(m_positions.begin(), m_positions.end(), start);
    if (it == m_positions.end() || *it > editorblocks::LineEnd(m_document, position))
        return {};
    return m_messages[static_cast<std::size_t>(it - m_positions.begin())];
}

void ErrorMarks::paintBlock(QPainter &painter, const QTextBlock &block,
                            const QPointF &topLeft) const
{
    const int blockStart = block.position();
    const int blockEnd = blockStart + block.length() - 1; // before the block's end
    auto it = std::lower_bound(m_positions.begin(), m_positions.end(), blockStart);
    if (it == m_positions.end() || *it > blockEnd)
        return;
    // Where each line of the block ends; a row of the layout never holds two lines, since
    // the line separator breaks the row.
    const QString text = block.text();
    std::vector<int> ends;
    for (qsizetype at = text.indexOf(QChar::LineSeparator); at >= 0;
         at = text.indexOf(QChar::LineSeparator, at + 1))
        ends.push_back(static_cast<int>(at));
    ends.push_back(static_cast<int>(text.size()));
    const QTextLayout *layout = block.layout();
    std::size_t line = 0;
    for (int i = 0; i < layout->lineCount() && it != m_positions.end() && *it <= blockEnd; ++i) {
        const QTextLine row = layout->lineAt(i);
        while (line + 1 < ends.size() && ends[line] < row.textStart())
            ++line;
        // Marks of lines above this row are passed by.
        const int lineStart = line == 0 ? 0 : ends[line - 1] + 1;
        while (it != m_positions.end() && *it - blockStart < lineStart)
            ++it;
        if (it == m_positions.end() || *it - blockStart > ends[line])
            continue;
        const QRectF rect = row.rect().translated(topLeft);
        painter.fillRect(QRectF(1, rect.top(), kMarginBar, rect.height()), kMarkColor);
        const qreal x = topLeft.x() + row.x();
        const qreal width = std::max<qreal>(row.naturalTextWidth(), kLeastUnderline);
        const qreal y = std::floor(rect.top() + row.ascent() + row.descent() - 3);
        painter.setBrushOrigin(0, y);
        painter.fillRect(QRectF(x, y, width, 3), waveBrush());
    }
}
