// The live preview's page view: the print preview's page view that knows which line drew
// each mark on the page.
#pragma once

#include "pageview.h"

#include "draw/markrecorder.h"

#include <QPointF>

#include <vector>

// A click on a mark tells its line; the marks of one line (the caret's) are outlined.
// Marks are in logical units (1/1440 inch) from the corner of the printable area, which
// lies `corner` inches from the sheet's corner.
class MarkPageView : public PageView {
    Q_OBJECT
public:
    // Outlines are drawn for at most this many marks of one line.
    static constexpr int kMaxOutlines = 5000;

    explicit MarkPageView(QWidget *parent = nullptr);

    // The marks of page `page`, drawn on a sheet whose printable area begins at `corner`.
    void setMarks(int page, std::vector<Mark> marks, QPointF corner);
    const std::vector<Mark> &marks() const { return m_marks; }
    // Outlines the marks that line `line` drew (0: none).
    void setOutlinedLine(int line);
    int outlinedLine() const { return m_line; }
    int outlinedCount() const { return static_cast<int>(m_outlined.size()); }

    // The line that drew the mark at `point` (in the viewport), 0 when there is none there.
    // Of several marks there, the smallest wins (a word on a filled box), then the last.
    int lineAt(QPoint point) const;
    // Where the centre of `mark` lies in the viewport.
    QPoint centreOf(const Mark &mark) const;

signals:
    // A mark was clicked: the line that drew it.
    void markClicked(int line);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool showsMarks() const;
    QRectF toViewport(const Mark &mark) const;

    std::vector<Mark> m_marks;
    int m_marksPage = 0;
    QPointF m_corner;
    int m_line = 0;
    std::vector<int> m_outlined; // indices into m_marks
};
