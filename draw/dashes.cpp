// The dash patterns of the thin styled pens, cut along outlines in logical units.
#include "dashes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <tuple>
#include <utility>

namespace {

// Millimetres to logical units (1/1440 inch).
constexpr double mm(double millimetres)
{
    return millimetres * 1440.0 / 25.4;
}

constexpr std::array<double, 2> kDash = {mm(1.2), mm(0.4)};
constexpr std::array<double, 2> kDot = {mm(0.2), mm(0.2)};
constexpr std::array<double, 4> kDashDot = {mm(1.2), mm(0.4), mm(0.2), mm(0.4)};
constexpr std::array<double, 6> kDashDotDot = {mm(1.2), mm(0.4), mm(0.2),
                                               mm(0.4), mm(0.2), mm(0.4)};

double distance(DashPoint a, DashPoint b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

DashPoint along(DashPoint a, DashPoint b, double t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

// The part of the segment a→b inside `r`, as parameters 0 ≤ t0 ≤ t1 ≤ 1; t0 > t1 when
// the segment misses `r` (Liang-Barsky).
std::pair<double, double> insideRange(DashPoint a, DashPoint b, const DashArea &r)
{
    double t0 = 0, t1 = 1;
    const double d[2] = {b.x - a.x, b.y - a.y};
    const double lo[2] = {r.left - a.x, r.top - a.y};
    const double hi[2] = {r.right - a.x, r.bottom - a.y};
    for (int axis = 0; axis < 2; ++axis) {
        if (d[axis] == 0) {
            if (lo[axis] > 0 || hi[axis] < 0)
                return {1, 0};
            continue;
        }
        double enter = lo[axis] / d[axis], leave = hi[axis] / d[axis];
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
    DashWalker(std::span<const double> pattern, std::vector<DashSegment> &out)
        : m_pattern(pattern), m_period(std::accumulate(pattern.begin(), pattern.end(), 0.0)),
          m_left(pattern[0]), m_out(out)
    {
    }

    // Moves along `length` without drawing.
    void skip(double length)
    {
        length = std::fmod(length, m_period);
        while (length > 0) {
            const double step = std::min(m_left, length);
            length -= step;
            advance(step);
        }
    }

    // Cuts the dashes of the straight piece from → to.
    void walk(DashPoint from, DashPoint to)
    {
        double length = distance(from, to);
        while (length > 0) {
            const double step = std::min(m_left, length);
            const DashPoint end = step == length ? to : along(from, to, step / length);
            if (m_phase % 2 == 0)
                m_out.push_back({from, end});
            from = end;
            length -= step;
            advance(step);
        }
    }

private:
    void advance(double step)
    {
        m_left -= step;
        if (m_left <= 0) {
            m_phase = (m_phase + 1) % m_pattern.size();
            m_left = m_pattern[m_phase];
        }
    }

    std::span<const double> m_pattern;
    double m_period;
    std::size_t m_phase = 0; // even entries are dashes, odd ones gaps
    double m_left;           // length left of the current entry
    std::vector<DashSegment> &m_out;
};

} // namespace

bool InsideArea(DashPoint a, DashPoint b, const DashArea &area, double &t0, double &t1)
{
    std::tie(t0, t1) = insideRange(a, b, area);
    return t0 < t1;
}

std::span<const double> DashPattern(int style)
{
    switch (style) {
    case 1: return kDash;
    case 2: return kDot;
    case 3: return kDashDot;
    case 4: return kDashDotDot;
    default: return {};
    }
}

void CutDashes(std::span<const DashPoint> points, std::span<const double> pattern,
               const DashArea &area, std::vector<DashSegment> &out)
{
    if (pattern.empty())
        return;
    DashWalker walker(pattern, out);
    for (std::size_t i = 1; i < points.size(); ++i) {
        const DashPoint a = points[i - 1], b = points[i];
        const double length = distance(a, b);
        const auto [t0, t1] = insideRange(a, b, area);
        if (t0 >= t1) {
            walker.skip(length);
            continue;
        }
        walker.skip(t0 * length);
        walker.walk(along(a, b, t0), along(a, b, t1));
        walker.skip((1 - t1) * length);
    }
}
