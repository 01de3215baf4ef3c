// Arcs, ellipses and rounded rectangles as Bézier curves on a page's path.
#pragma once

namespace pdf {

class Page;

// The arc of the ellipse inscribed in the box (l, t)–(r, b) from `start` degrees through
// `sweep` degrees, counter-clockwise as seen on the page when `sweep` is positive. Angles
// are taken on the circle the ellipse is stretched from, as QPainterPath::arcTo takes
// them. Starts a subpath at the arc's start when `moveTo`, otherwise draws a line to it.
void AppendArc(Page &page, double l, double t, double r, double b, double start, double sweep,
               bool moveTo);

// The whole ellipse inscribed in the box, from its rightmost point clockwise, closed.
void AppendEllipse(Page &page, double l, double t, double r, double b);

// The rectangle (l, t)–(r, b) with its corners rounded by quarter ellipses of radii
// `rx`, `ry` (held to half the width and height), starting on the left edge and running
// clockwise, closed; a plain rectangle when a radius is 0.
void AppendRoundedRect(Page &page, double l, double t, double r, double b, double rx, double ry);

} // namespace pdf
