// The dash patterns of the thin styled pens, and the dashes they cut along outlines, in
// logical units.
#pragma once

#include <span>
#include <vector>

struct DashPoint {
    double x = 0;
    double y = 0;
};

struct DashSegment {
    DashPoint from;
    DashPoint to;
};

// The part of the page where dashes are cut (left < right, top < bottom).
struct DashArea {
    double left = 0, top = 0, right = 0, bottom = 0;
};

// The on and off lengths, in logical units, of pen style 1 to 4 (dash, dot, dash-dot,
// dash-dot-dot); empty for every other style, which draws solid. The lengths are
// physical, so a dashed rule looks the same on a screen, a PNG, a PDF and a printer.
std::span<const double> DashPattern(int style);

// The part of the segment a→b inside `area`, as parameters 0 ≤ t0 < t1 ≤ 1 of the
// segment; false when the segment misses `area`.
bool InsideArea(DashPoint a, DashPoint b, const DashArea &area, double &t0, double &t1);

// Appends to `out` the dashes of `pattern` along the polyline `points` (one subpath) that
// fall inside `area`. The pattern starts at the first point and runs on around corners;
// pieces outside `area` are skipped without cutting them, so a rule of any length costs
// no more than its part inside `area`.
void CutDashes(std::span<const DashPoint> points, std::span<const double> pattern,
               const DashArea &area, std::vector<DashSegment> &out);
