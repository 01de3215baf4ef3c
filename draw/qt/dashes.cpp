// The dash patterns of the thin styled pens, cut along Qt's outlines.
#include "dashes.h"

#include "draw/dashes.h"

#include <QPainterPath>
#include <QPolygonF>

std::span<const qreal> dashPattern(int style)
{
    return DashPattern(style);
}

QList<QLineF> dashSegments(const QPainterPath &path, std::span<const qreal> pattern,
                           const QRectF &visible)
{
    QList<QLineF> dashes;
    if (pattern.empty())
        return dashes;
    const DashArea area{visible.left(), visible.top(), visible.right(), visible.bottom()};
    std::vector<DashPoint> points;
    std::vector<DashSegment> cut;
    for (const QPolygonF &polygon : path.toSubpathPolygons()) {
        points.clear();
        for (const QPointF &p : polygon)
            points.push_back({p.x(), p.y()});
        cut.clear();
        CutDashes(points, pattern, area, cut);
        for (const DashSegment &s : cut)
            dashes.append(QLineF(s.from.x, s.from.y, s.to.x, s.to.y));
    }
    return dashes;
}
