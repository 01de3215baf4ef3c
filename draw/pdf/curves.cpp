// Arcs, ellipses and rounded rectangles as Bézier curves on a page's path.
#include "curves.h"

#include "page.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pdf {

void AppendArc(Page &page, double l, double t, double r, double b, double start, double sweep,
               bool moveTo)
{
    const double cx = (l + r) / 2, cy = (t + b) / 2;
    const double rx = std::fabs(r - l) / 2, ry = std::fabs(b - t) / 2;
    auto at = [&](double radians) {
        return Point{cx + rx * std::cos(radians), cy - ry * std::sin(radians)};
    };
    const double from = start * std::numbers::pi / 180;
    const double total = std::clamp(sweep, -360.0, 360.0) * std::numbers::pi / 180;
    const Point first = at(from);
    if (moveTo)
        page.MoveTo(first.x, first.y);
    else
        page.LineTo(first.x, first.y);

    // Each piece spans at most a quarter turn; its control points lie along the tangents
    // at a distance that makes the curve meet the circle at the piece's middle.
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(total) / (std::numbers::pi / 2) - 1e-9)));
    const double step = total / pieces;
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    for (int i = 0; i < pieces; ++i) {
        const double a0 = from + step * i, a1 = a0 + step;
        const Point p0 = at(a0), p1 = at(a1);
        // The derivative of at() with respect to the angle.
        const Point d0{-rx * std::sin(a0), -ry * std::cos(a0)};
        const Point d1{-rx * std::sin(a1), -ry * std::cos(a1)};
        page.CurveTo(p0.x + k * d0.x, p0.y + k * d0.y, p1.x - k * d1.x, p1.y - k * d1.y, p1.x,
                     p1.y);
    }
}

void AppendEllipse(Page &page, double l, double t, double r, double b)
{
    AppendArc(page, l, t, r, b, 0, -360, true);
    page.ClosePath();
}

void AppendRoundedRect(Page &page, double l, double t, double r, double b, double rx, double ry)
{
    const double left = std::min(l, r), right = std::max(l, r);
    const double top = std::min(t, b), bottom = std::max(t, b);
    rx = std::min(std::fabs(rx), (right - left) / 2);
    ry = std::min(std::fabs(ry), (bottom - top) / 2);
    if (rx <= 0 || ry <= 0) {
        page.Rect(left, top, right - left, bottom - top);
        return;
    }
    const double w = 2 * rx, h = 2 * ry;
    AppendArc(page, left, top, left + w, top + h, 180, -90, true);
    AppendArc(page, right - w, top, right, top + h, 90, -90, false);
    AppendArc(page, right - w, bottom - h, right, bottom, 0, -90, false);
    AppendArc(page, left, bottom - h, left + w, bottom, 270, -90, false);
    page.ClosePath();
}

} // namespace pdf
