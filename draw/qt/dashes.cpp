// The dash patterns of the thin styled pens, cut along outlines in logical units.
#include "dashes.h"

#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>
#include <numeric>

namespace {

// Millimetres to logical units (1/1440 inch).
constexpr qreal mm(qreal millimetres)
{
    return millimetres * 1440.0 / 25.4;
}

constexpr std::array<qreal, 2> kDash = {mm(1.2), mm(0.4)};
constexpr std::array<qreal, 2> kDot = {mm(0.2), mm(0.2)};
constexpr std::array<qreal, 4> kDashDot = {mm(1.2), mm(0.4), mm(0.2), mm(0.4)};
constexpr std::array<qreal, 6> kDashDotDot = {mm(1.2), mm(0.4), mm(0.2),
                                              mm(0.4), mm(0.2), mm(0.4)};

// The part of the segment a→b inside `r`, as parameters 0 ≤ t0 ≤ t1 ≤ 1; t0 > t1 when
// the segment misses `r` (Liang-Barsky).
std::pair<qreal, qreal> insideRange(QPointF a, QPointF b, const QRectF &r)
{
    qreal t0 = 0, t1 = 1;
    const qreal d[2] = {b.x() - a.x(), b.y() - a.y()};
    const qreal lo[2] = {r.left() - a.x(), r.top() - a.y()};
    const qreal hi[2] = {r.right() - a.x(), r.bottom() - a.y()};
    for (int axis = 0; axis < 2; ++axis) {
        if (d[axis] == 0) {
            if (lo[axis] > 0 || hi[axis] < 0)
                return {1, 0};
            continue;
        }
        qreal enter = lo[axis] / d[axis], leave = hi[axis] / d[axis];
        if (enter > leave)
            std::swap(enter, leave);
        t0 = std::max(t0, enter);
        t1 = std::min(t1, leave);
    }
    return {t0, t1};
}

// Walks a pattern along a polyline: dashes are cut where the pattern is "on".
class DashWalker {
public:
    DashWalker(std::span<const qreal> pattern, QList<QLineF> &out)
        : m_pattern(pattern), m_period(std::accumulate(pattern.begin(), pattern.end(), 0.0)),
          m_left(pattern[0]), m_out(out)
    {
    }

    // Moves along `length` without drawing.
    void skip(qreal length)
    {
        length = std::fmod(length, m_period);
        while (length > 0) {
            const qreal step = std::min(m_left, length);
            length -= step;
            advance(step);
        }
    }

    // Cuts the dashes of the straight piece from → to.
    void walk(QPointF from, QPointF to)
    {
        qreal length = QLineF(from, to).length();
        while (length > 0) {
            const qreal step = std::min(m_left, length);
            const QPointF end = step == length ? to : from + (to - from) * (step / length);
            if (m_phase % 2 == 0)
                m_out.append(QLineF(from, end));
            from = end;
            length -= step;
            advance(step);
        }
    }

private:
    void advance(qreal step)
    {
        m_left -= step;
        if (m_left <= 0) {
            m_phase = (m_phase + 1) % m_pattern.size();
            m_left = m_pattern[m_phase];
        }
    }

    std::span<const qreal> m_pattern;
    qreal m_period;
    std::size_t m_phase = 0; // even entries are dashes, odd ones gaps
    qreal m_left;            // length left of the current entry
    QList<QLineF> &m_out;
};

} // namespace

std::span<const qreal> dashPattern(int style)
{
    switch (style) {
    case 1: return kDash;
    case 2: return kDot;
    case 3: return kDashDot;
    case 4: return kDashDotDot;
    default: return {};
    }
}

QList<QLineF> dashSegments(const QPainterPath &path, std::span<const qreal> pattern,
                           const QRectF &visible)
{
    QList<QLineF> dashes;
    if (pattern.empty())
        return dashes;
    for (const QPolygonF &polygon : path.toSubpathPolygons()) {
        DashWalker walker(pattern, dashes);
        for (qsizetype i = 1; i < polygon.size(); ++i) {
            const QPointF a = polygon[i - 1], b = polygon[i];
            const qreal length = QLineF(a, b).length();
            const auto [t0, t1] = insideRange(a, b, visible);
            if (t0 >= t1) {
                walker.skip(length);
                continue;
            }
            walker.skip(t0 * length);
            walker.walk(a + (b - a) * t0, a + (b - a) * t1);
            walker.skip((1 - t1) * length);
        }
    }
    return dashes;
}
