// The drawing surface that writes PDF pages: lines, shapes and pictures. Text is in
// pdftext.cpp.
#include "pdfsurface.h"

#include "curves.h"
#include "pdfpicture.h"

#include "draw/dashes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr double kLogicalPerPageUnit = 1440.0 / 254;
// How far around the paper dashes are cut, as the QPainter surface cuts them.
constexpr double kVisibleMargin = 100;
// The most pieces a curve is cut into to be dashed by hand: a circle as large as the
// language allows still comes out smooth within the paper.
constexpr int kMaxPieces = 1 << 20;

struct Box {
    double l, t, r, b;
};

Box box(int l, int t, int r, int b)
{
    return {double(std::min(l, r)), double(std::min(t, b)), double(std::max(l, r)),
            double(std::max(t, b))};
}

// The angle, in degrees counter-clockwise as seen on the page, at which the ray from the
// centre of `e` through (x, y) meets it, measured as arcs on an ellipse are (the angle
// on the circle that the ellipse is stretched from).
double rayAngle(const Box &e, int x, int y)
{
    const double dx = x - (e.l + e.r) / 2, dy = y - (e.t + e.b) / 2;
    return std::atan2(-dy * (e.r - e.l), dx * (e.b - e.t)) * 180 / std::numbers::pi;
}

// The counter-clockwise sweep from `start` to `end` degrees, in (0, 360]: equal rays
// give the whole ellipse.
double sweep(double start, double end)
{
    double s = end - start;
    while (s <= 0)
        s += 360;
    return s;
}

// The point at `degrees` on the ellipse inscribed in `e`.
DashPoint onEllipse(const Box &e, double degrees)
{
    const double a = degrees * std::numbers::pi / 180;
    return {(e.l + e.r) / 2 + (e.r - e.l) / 2 * std::cos(a),
            (e.t + e.b) / 2 - (e.b - e.t) / 2 * std::sin(a)};
}

// Points along an arc of `e`, close enough to it that a dash cut along them lies on the
// curve; the first point is left out.
void flattenArc(const Box &e, double start, double sweep, std::vector<DashPoint> &out)
{
    const double radius = std::max(e.r - e.l, e.b - e.t) / 2;
    // A chord of angle θ strays R·θ²/8 from the circle: a quarter of a unit at most.
    const double step = std::sqrt(2 / std::max(radius, 1.0));
    const double turn = std::fabs(sweep) * std::numbers::pi / 180;
    const int pieces = std::clamp(static_cast<int>(std::ceil(turn / step)), 1, kMaxPieces);
    for (int i = 1; i <= pieces; ++i)
        out.push_back(onEllipse(e, start + sweep * i / pieces));
}

} // namespace

// An outline as the surface strokes it: a rectangle, a rounded rectangle or an arc of an
// ellipse, each one subpath running as the QPainter surface's paths run.
struct PdfSurface::Outline {
    enum class Kind { Rect, RoundRect, Arc } kind;
    Box box;
    double rx = 0, ry = 0;         // the corner radii of a rounded rectangle
    double start = 0, sweep = 0;   // the arc, in degrees

    // Adds the outline to the page's path.
    void append(pdf::Page &page) const
    {
        switch (kind) {
        case Kind::Rect: page.Rect(box.l, box.t, box.r - box.l, box.b - box.t); break;
        case Kind::RoundRect: pdf::AppendRoundedRect(page, box.l, box.t, box.r, box.b, rx, ry); break;
        case Kind::Arc: pdf::AppendArc(page, box.l, box.t, box.r, box.b, start, sweep, true); break;
        }
    }

    // The outline as a polyline, from where its path starts.
    std::vector<DashPoint> flatten() const
    {
        std::vector<DashPoint> points;
        const double l = box.l, t = box.t, r = box.r, b = box.b;
        const double cx = std::min(rx, (r - l) / 2), cy = std::min(ry, (b - t) / 2);
        if (kind == Kind::Arc) {
            points.push_back(onEllipse(box, start));
            flattenArc(box, start, sweep, points);
        } else if (kind == Kind::Rect || cx <= 0 || cy <= 0) {
            points = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
        } else {
            // From the left edge clockwise, each corner a quarter ellipse.
            const Box corners[4] = {{l, t, l + 2 * cx, t + 2 * cy},
                                    {r - 2 * cx, t, r, t + 2 * cy},
                                    {r - 2 * cx, b - 2 * cy, r, b},
                                    {l, b - 2 * cy, l + 2 * cx, b}};
            points.push_back(onEllipse(corners[0], 180));
            for (int i = 0; i < 4; ++i) {
                points.push_back(onEllipse(corners[i], 180 - 90 * i));
                flattenArc(corners[i], 180 - 90 * i, -90, points);
            }
            points.push_back(points.front());
        }
        return points;
    }
};

PdfSurface::PdfSurface(pdf::FontLibrary &fonts, TextShaper &shaper)
    : m_fonts(fonts), m_shaper(shaper)
{
}

DashArea PdfSurface::visibleArea() const
{
    return {-kVisibleMargin, -kVisibleMargin, m_paperWidth + kVisibleMargin,
            m_paperHeight + kVisibleMargin};
}

PdfPage PdfSurface::TakePage()
{
    PdfPage taken;
    if (m_page) {
        flushPicture();
        m_page->Finish();
        taken.page = std::move(m_page);
    }
    taken.notes = std::move(m_notes);
    m_notes.clear();
    return taken;
}

void PdfSurface::StartPage(int, int paperWidth, int paperHeight)
{
    m_picture.reset();
    m_page = std::make_unique<pdf::Page>(paperWidth, paperHeight);
    m_notes.clear();
    m_background = kWhite;
    m_paperWidth = paperWidth * kLogicalPerPageUnit;
    m_paperHeight = paperHeight * kLogicalPerPageUnit;
}

// The pen of a solid outline (`dashed` false): `width` logical units wide with round
// ends and joins, or the thinnest line with flat ends when the width is 0; the thinnest
// line for dashes.
void PdfSurface::usePen(const Pen &pen, bool dashed)
{
    const bool thin = dashed || pen.width <= 0;
    m_page->SetStrokeColor(pen.color);
    m_page->SetLineWidth(thin ? 0 : pen.width);
    m_page->SetLineCap(thin ? pdf::LineCap::Flat : pdf::LineCap::Round);
    m_page->SetLineJoin(thin ? pdf::LineJoin::Miter : pdf::LineJoin::Round);
    m_page->SetDash(dashed ? DashPattern(pen.style) : std::span<const double>());
}

void PdfSurface::Line(int x1, int y1, int x2, int y2, const Pen &pen)
{
    if (!drawing())
        return;
    const std::span<const double> pattern = DashPattern(pen.style);
    if (pattern.empty()) {
        // A wide line of no length shows nothing, as on the other surfaces; the thinnest
        // one a dot.
        if (x1 == x2 && y1 == y2 && pen.width > 0)
            return;
        usePen(pen, false);
        m_page->StrokeLine(x1, y1, x2, y2);
        return;
    }
    // Dashes run from the line's start; only its part near the paper is written, with
    // the pattern's phase where that part begins, so a rule of any length costs no more
    // than the page is wide, to write and to read.
    const DashPoint a{double(x1), double(y1)}, b{double(x2), double(y2)};
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    double t0 = 0, t1 = 0;
    if (length == 0 || !InsideArea(a, b, visibleArea(), t0, t1))
        return;
    const double period = std::accumulate(pattern.begin(), pattern.end(), 0.0);
    usePen(pen, true);
    m_page->SetDash(pattern, std::fmod(t0 * length, period));
    m_page->StrokeLine(a.x + (b.x - a.x) * t0, a.y + (b.y - a.y) * t0, a.x + (b.x - a.x) * t1,
                       a.y + (b.y - a.y) * t1);
}

// Strokes `outline` with `pen`. A dashed outline has its gaps painted in the background
// colour first when `paintGaps` is set. Dashes are the reader's own where the outline
// lies near the paper; elsewhere they are cut here, only where they can be seen.
void PdfSurface::strokeOutline(const Outline &outline, const Pen &pen, bool paintGaps)
{
    // An outline of a single point shows nothing, where a reader would draw a dot.
    if (outline.box.l == outline.box.r && outline.box.t == outline.box.b)
        return;
    const std::span<const double> pattern = DashPattern(pen.style);
    if (pattern.empty()) {
        usePen(pen, false);
        outline.append(*m_page);
        m_page->Stroke();
        return;
    }
    if (paintGaps) {
        usePen(Pen{PenSolid, 0, m_background}, false);
        outline.append(*m_page);
        m_page->Stroke();
    }
    // Near the paper: within its own size of it.
    const DashArea v = visibleArea();
    const double width = v.right - v.left, height = v.bottom - v.top;
    if (outline.box.l >= v.left - width && outline.box.t >= v.top - height &&
        outline.box.r <= v.right + width && outline.box.b <= v.bottom + height) {
        usePen(pen, true);
        outline.append(*m_page);
        m_page->Stroke();
        return;
    }
    std::vector<DashSegment> dashes;
    CutDashes(outline.flatten(), pattern, visibleArea(), dashes);
    usePen(Pen{PenSolid, 0, pen.color}, false);
    for (const DashSegment &d : dashes)
        m_page->StrokeLine(d.from.x, d.from.y, d.to.x, d.to.y);
}

void PdfSurface::Rectangle(int l, int t, int r, int b, const Pen &pen)
{
    if (!drawing())
        return;
    strokeOutline(Outline{Outline::Kind::Rect, box(l, t, r, b)}, pen, true);
}

void PdfSurface::RoundRect(int l, int t, int r, int b, int ew, int eh, const Pen &pen,
                           std::optional<Color> brush)
{
    if (!drawing())
        return;
    const Outline outline{Outline::Kind::RoundRect, box(l, t, r, b), std::abs(ew) / 2.0,
                          std::abs(eh) / 2.0};
    if (brush && outline.box.l != outline.box.r && outline.box.t != outline.box.b) {
        m_page->SetFillColor(*brush);
        outline.append(*m_page);
        m_page->Fill();
    }
    strokeOutline(outline, pen, true);
}

void PdfSurface::FillSolidRect(int x, int y, int w, int h, Color color)
{
    const bool draws = drawing();
    m_background = color;
    if (!draws)
        return;
    // A fill of no area shows nothing, where a reader would draw a hairline.
    if (w == 0 || h == 0)
        return;
    // The far corner in double precision: it may lie beyond the 32-bit range.
    const double x2 = double(x) + w, y2 = double(y) + h;
    m_page->SetFillColor(color);
    m_page->Rect(std::min<double>(x, x2), std::min<double>(y, y2), std::fabs(double(w)),
                 std::fabs(double(h)));
    m_page->Fill();
}

void PdfSurface::Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye, const Pen &pen)
{
    if (!drawing())
        return;
    Outline outline{Outline::Kind::Arc, box(l, t, r, b)};
    outline.start = rayAngle(outline.box, xs, ys);
    outline.sweep = sweep(outline.start, rayAngle(outline.box, xe, ye));
    strokeOutline(outline, pen, false);
}

void PdfSurface::Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye, Color color)
{
    if (!drawing())
        return;
    const Box e = box(l, t, r, b);
    if (e.l == e.r && e.t == e.b)
        return;
    const double start = rayAngle(e, xs, ys);
    m_page->MoveTo((e.l + e.r) / 2, (e.t + e.b) / 2);
    pdf::AppendArc(*m_page, e.l, e.t, e.r, e.b, start, sweep(start, rayAngle(e, xe, ye)), false);
    m_page->ClosePath();
    usePen(Pen{PenSolid, 0, color}, false);
    m_page->SetFillColor(color);
    m_page->FillStroke();
}

void PdfSurface::Ellipse(int l, int t, int r, int b, Color color)
{
    if (!drawing())
        return;
    const Box e = box(l, t, r, b);
    if (e.l == e.r && e.t == e.b)
        return;
    pdf::AppendEllipse(*m_page, e.l, e.t, e.r, e.b);
    usePen(Pen{PenSolid, 0, color}, false);
    m_page->SetFillColor(color);
    m_page->FillStroke();
}

void PdfSurface::StretchPicture(const PictureSource &picture, const PicturePart &part, int x,
                                int y, int w, int h)
{
    if (!drawing() || w == 0 || h == 0)
        return;
    if (std::shared_ptr<const pdf::Image> image = PdfPicture(picture, part))
        m_picture = PendingPicture{std::move(image), pdf::Affine::Rect(x, y, w, h), {}};
}

void PdfSurface::CornerMask(int x, int y, int size, Corner corner)
{
    if (size <= 0)
        return;
    // The corners of the picture just drawn are painted with it.
    if (m_picture) {
        m_picture->corners.push_back({x, y, size, corner, m_background});
        return;
    }
    if (!drawing())
        return;
    appendCorner(PendingCorner{x, y, size, corner, m_background});
    m_page->SetFillColor(m_background);
    m_page->Fill();
}

// The part of a corner's square outside the quarter disc, as a subpath: from the outer
// corner to where the circle meets the square's sides, and back along the circle. The
// disc's centre is the square's corner that points into the picture.
void PdfSurface::appendCorner(const PendingCorner &c)
{
    const bool left = c.corner == Corner::TopLeft || c.corner == Corner::BottomLeft;
    const bool top = c.corner == Corner::TopLeft || c.corner == Corner::TopRight;
    const double s = c.size;
    const double cx = left ? c.x + s : c.x, cy = top ? c.y + s : c.y;
    const Box disc{cx - s, cy - s, cx + s, cy + s};
    const double outward = left ? (top ? 135 : 225) : (top ? 45 : 315);
    const DashPoint from = onEllipse(disc, outward - 45), to = onEllipse(disc, outward + 45);
    m_page->MoveTo(from.x, from.y);
    m_page->LineTo(left ? c.x : c.x + s, top ? c.y : c.y + s);
    m_page->LineTo(to.x, to.y);
    pdf::AppendArc(*m_page, disc.l, disc.t, disc.r, disc.b, outward + 45, -90, false);
    m_page->ClosePath();
}

// Draws the picture held back for its corners: clipped so that it never reaches into them
// (where a reader's smoothed edges would leave a faint line of the picture's colour beside
// the paint), then the corners painted in the background colour of their call.
void PdfSurface::flushPicture()
{
    if (!m_picture)
        return;
    PendingPicture picture = std::move(*m_picture);
    m_picture.reset();
    if (!picture.corners.empty()) {
        m_page->Save();
        const pdf::Affine &p = picture.placement;
        const pdf::Point corners[4] = {p.Map(0, 0), p.Map(1, 0), p.Map(1, 1), p.Map(0, 1)};
        m_page->MoveTo(corners[0].x, corners[0].y);
        for (int i = 1; i < 4; ++i)
            m_page->LineTo(corners[i].x, corners[i].y);
        m_page->ClosePath();
        for (const PendingCorner &c : picture.corners)
            appendCorner(c);
        m_page->Clip(true);
    }
    m_page->DrawImage(std::move(picture.image), picture.placement);
    if (picture.corners.empty())
        return;
    m_page->Restore();
    for (const PendingCorner &c : picture.corners) {
        appendCorner(c);
        m_page->SetFillColor(c.background);
        m_page->Fill();
    }
}
