// An affine map of the plane, in the page's logical units (x right, y down).
#pragma once

#include <cmath>
#include <numbers>

namespace pdf {

struct Point {
    double x = 0;
    double y = 0;
};

// (x, y) → (a·x + c·y + e, b·x + d·y + f), the matrix form PDF itself uses.
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    static Affine Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Affine Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    // Turns by `degrees` counter-clockwise as seen on the page (whose y runs down).
    static Affine Rotate(double degrees)
    {
        const double r = degrees * std::numbers::pi / 180;
        const double cs = std::cos(r), sn = std::sin(r);
        return {cs, -sn, sn, cs, 0, 0};
    }
    // Shifts every point by `k` times its y along x: with a negative `k`, what lies above
    // the x axis leans right, as a slanted (italic) glyph does.
    static Affine Shear(double k) { return {1, 0, k, 1, 0, 0}; }
    // Maps the unit square (u right, v down) onto the rectangle at (x, y) of width `w`
    // and height `h`; a negative width or height mirrors on that axis.
    static Affine Rect(double x, double y, double w, double h) { return {w, 0, 0, h, x, y}; }

    // This map after `inner`: (*this)(inner(p)).
    Affine operator*(const Affine &inner) const
    {
        return {a * inner.a + c * inner.b, b * inner.a + d * inner.b,
                a * inner.c + c * inner.d, b * inner.c + d * inner.d,
                a * inner.e + c * inner.f + e, b * inner.e + d * inner.f + f};
    }
    Point Map(double x, double y) const { return {a * x + c * y + e, b * x + d * y + f}; }
};

} // namespace pdf
