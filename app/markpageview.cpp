// Marks on the live preview's page: hit testing and outlines.
#include "markpageview.h"

#include <QMouseEvent>
#include <QPainter>

#include <limits>

namespace {

constexpr qreal kLogicalPerInch = 1440;
constexpr qreal kHitSlack = 4;    // pixels around a mark that still hit it: thin rules
constexpr qreal kOutlineSlack = 2; // pixels between a mark and its outline

} // namespace

MarkPageView::MarkPageView(QWidget *parent) : PageView(parent)
{
    setObjectName(QStringLiteral("livePageView"));
}

void MarkPageView::setMarks(int page, std::vector<Mark> marks, QPointF corner)
{
    m_marks = std::move(marks);
    m_marksPage = page;
    m_corner = corner;
    const int line = m_line;
    m_line = -1;
    setOutlinedLine(line);
}

void MarkPageView::setOutlinedLine(int line)
{
    if (line == m_line)
        return;
    m_line = line;
    m_outlined.clear();
    for (std::size_t i = 0; line > 0 && i < m_marks.size(); ++i)
        if (m_marks[i].line == line && m_outlined.size() < kMaxOutlines)
            m_outlined.push_back(static_cast<int>(i));
    viewport()->update();
}

bool MarkPageView::showsMarks() const
{
    return m_marksPage == currentPage();
}

QRectF MarkPageView::toViewport(const Mark &mark) const
{
    const QRectF page = pageRect();
    const QSizeF paper = paperInches();
    const qreal sx = page.width() / paper.width();
    const qreal sy = page.height() / paper.height();
    auto x = [&](int logical) { return page.left() + (m_corner.x() + logical / kLogicalPerInch) * sx; };
    auto y = [&](int logical) { return page.top() + (m_corner.y() + logical / kLogicalPerInch) * sy; };
    return QRectF(QPointF(x(mark.left), y(mark.top)), QPointF(x(mark.right), y(mark.bottom)));
}

QPoint MarkPageView::centreOf(const Mark &mark) const
{
    return toViewport(mark).center().toPoint();
}

int MarkPageView::lineAt(QPoint point) const
{
    if (!showsMarks())
        return 0;
    int line = 0;
    qreal smallest = std::numeric_limits<qreal>::max();
    for (const Mark &mark : m_marks) {
        const QRectF box = toViewport(mark);
        if (!box.adjusted(-kHitSlack, -kHitSlack, kHitSlack, kHitSlack).contains(point))
            continue;
        const qreal area = box.width() * box.height();
        if (area <= smallest) {
            smallest = area;
            line = mark.line;
        }
    }
    return line;
}

void MarkPageView::paintEvent(QPaintEvent *event)
{
    PageView::paintEvent(event);
    if (m_outlined.empty() || !showsMarks())
        return;
    QPainter painter(viewport());
    painter.setClipRect(pageRect());
    painter.setPen(QPen(QColor(0xFF, 0x8C, 0x00), 1.5));
    painter.setBrush(QColor(0xFF, 0xA5, 0x00, 40));
    for (int i : m_outlined)
        painter.drawRect(toViewport(m_marks[static_cast<std::size_t>(i)])
                             .adjusted(-kOutlineSlack, -kOutlineSlack, kOutlineSlack,
                                       kOutlineSlack));
}

void MarkPageView::mouseReleaseEvent(QMouseEvent *event)
{
    PageView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (const int line = lineAt(event->position().toPoint()))
        emit markClicked(line);
}
