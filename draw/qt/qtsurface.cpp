// The drawing surface over a QPainter: printer, print preview, PDF or image.
#include "qtsurface.h"
#include "intermediate.h"

#include "dashes.h"
#include "glyphpainter.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

namespace {

constexpr qreal kLogicalPerInch = 1440;
constexpr Color kWhite = 0xFFFFFF;

QColor toQColor(Color c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The thinnest line the device can draw. Flat ends leave the end point unpainted.
QPen thinPen(Color color)
{
    QPen pen(toQColor(color), 0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    return pen;
}

// A solid pen as `pen` asks for it: `width` logical units wide with round ends and joins,
// or the thinnest line when the width is 0.
QPen solidPen(const Pen &pen)
{
    if (pen.width <= 0)
        return thinPen(pen.color);
    return QPen(toQColor(pen.color), pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QRectF box(int l, int t, int r, int b)
{
    return QRectF(QPointF(l, t), QPointF(r, b)).normalized();
}

// The angle, in degrees counter-clockwise as seen on the page, at which the ray from the
// centre of `ellipse` through (x, y) meets it, measured as Qt's arcs measure angles on an
// ellipse (the angle on the circle that the ellipse is stretched from).
qreal rayAngle(const QRectF &ellipse, int x, int y)
{
    const qreal dx = x - ellipse.center().x();
    const qreal dy = y - ellipse.center().y();
    return qRadiansToDegrees(std::atan2(-dy * ellipse.width(), dx * ellipse.height()));
}

// The counter-clockwise sweep from `start` to `end` degrees, in (0, 360]: equal rays
// give the whole ellipse.
qreal sweep(qreal start, qreal end)
{
    qreal s = end - start;
    while (s <= 0)
        s += 360;
    return s;
}

} // namespace

QtSurface::QtSurface(QPainter *painter, qreal dpiX, qreal dpiY, FontResolver &resolver)
    : m_painter(painter),
      m_base(QTransform::fromScale(dpiX / kLogicalPerInch, dpiY / kLogicalPerInch)),
      m_fonts(resolver)
{
    resetPainter();
}

void QtSurface::StartPage(int, int, int)
{
    m_background = kWhite;
    resetPainter();
}

void QtSurface::resetPainter()
{
    // A painter that has not begun on its device yet is set up when the page starts.
    if (!m_painter || !m_painter->isActive())
        return;
    m_painter->setTransform(m_base);
    // Outlines are cut into dashes only where they can be seen, so that a dashed rule of
    // any length costs no more than the page is wide.
    const QPaintDevice *device = m_painter->device();
    m_visible = device && m_base.isInvertible()
                    ? m_base.inverted()
                          .mapRect(QRectF(0, 0, device->width(), device->height()))
                          .adjusted(-100, -100, 100, 100)
                    : QRectF(-1e12, -1e12, 2e12, 2e12);
}

void QtSurface::strokeOutline(const QPainterPath &path, const Pen &pen, bool paintGaps)
{
    m_painter->setBrush(Qt::NoBrush);
    const std::span<const qreal> pattern = dashPattern(pen.style);
    if (pattern.empty()) {
        m_painter->setPen(solidPen(pen));
        m_painter->drawPath(path);
        return;
    }
    if (paintGaps) {
        m_painter->setPen(thinPen(m_background));
        m_painter->drawPath(path);
    }
    m_painter->setPen(thinPen(pen.color));
    m_painter->drawLines(dashSegments(path, pattern, m_visible));
}

void QtSurface::Line(int x1, int y1, int x2, int y2, const Pen &pen)
{
    if (!m_painter)
        return;
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    if (dashPattern(pen.style).empty()) {
        m_painter->setPen(solidPen(pen));
        m_painter->drawLine(QLineF(x1, y1, x2, y2));
        return;
    }
    QPainterPath path(QPointF(x1, y1));
    path.lineTo(x2, y2);
    strokeOutline(path, pen, false);
}

void QtSurface::Rectangle(int l, int t, int r, int b, const Pen &pen)
{
    if (!m_painter)
        return;
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    QPainterPath path;
    path.addRect(box(l, t, r, b));
    strokeOutline(path, pen, true);
}

void QtSurface::RoundRect(int l, int t, int r, int b, int ew, int eh, const Pen &pen,
                          std::optional<Color> brush)
{
    if (!m_painter)
        return;
    m_painter->setRenderHint(QPainter::Antialiasing, true);
    QPainterPath path;
    path.addRoundedRect(box(l, t, r, b), std::abs(ew) / 2.0, std::abs(eh) / 2.0);
    if (brush)
        m_painter->fillPath(path, toQColor(*brush));
    strokeOutline(path, pen, true);
}

void QtSurface::FillSolidRect(int x, int y, int w, int h, Color color)
{
    m_background = color;
    if (!m_painter)
        return;
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->fillRect(QRectF(x, y, w, h).normalized(), toQColor(color));
}

void QtSurface::Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye, const Pen &pen)
{
    if (!m_painter)
        return;
    m_painter->setRenderHint(QPainter::Antialiasing, true);
    const QRectF ellipse = box(l, t, r, b);
    const qreal start = rayAngle(ellipse, xs, ys);
    QPainterPath path;
    path.arcMoveTo(ellipse, start);
    path.arcTo(ellipse, start, sweep(start, rayAngle(ellipse, xe, ye)));
    strokeOutline(path, pen, false);
}

void QtSurface::Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye, Color color)
{
    if (!m_painter)
        return;
    m_painter->setRenderHint(QPainter::Antialiasing, true);
    const QRectF ellipse = box(l, t, r, b);
    const qreal start = rayAngle(ellipse, xs, ys);
    QPainterPath path(ellipse.center());
    path.arcTo(ellipse, start, sweep(start, rayAngle(ellipse, xe, ye)));
    path.closeSubpath();
    m_painter->setPen(thinPen(color));
    m_painter->setBrush(toQColor(color));
    m_painter->drawPath(path);
}

void QtSurface::Ellipse(int l, int t, int r, int b, Color color)
{
    if (!m_painter)
        return;
    m_painter->setRenderHint(QPainter::Antialiasing, true);
    m_painter->setPen(thinPen(color));
    m_painter->setBrush(toQColor(color));
    m_painter->drawEllipse(box(l, t, r, b));
}

TextSize QtSurface::MeasureText(const FontSpec &font, std::string_view text)
{
    return m_fonts.entry(font).measure(text);
}

void QtSurface::DrawText(int l, int t, int r, int b, TextAlign align, const FontSpec &font,
                         Color color, std::string_view text)
{
    if (!m_painter)
        return;
    FontEntry &entry = m_fonts.entry(font);
    const ShapedText &shaped = entry.shape(text);
    const std::optional<TextBlock> block = DrawTextBlock(l, t, r, b, align, font, shaped);
    if (!block)
        return;
    m_painter->setPen(toQColor(color));
    DrawShapedText(*m_painter, m_base, *block, shaped, entry);
}

void QtSurface::TextOut(int x, int y, const FontSpec &font, Color color, std::string_view text)
{
    if (!m_painter)
        return;
    FontEntry &entry = m_fonts.entry(font);
    const ShapedText &shaped = entry.shape(text);
    m_painter->setPen(toQColor(color));
    DrawShapedText(*m_painter, m_base, TextOutBlock(x, y, font, shaped), shaped, entry);
}

std::optional<FontInfo> QtSurface::FindFont(std::string_view face)
{
    return m_fonts.FindFont(face);
}

void QtSurface::StretchPicture(const PictureSource &picture, const PicturePart &part, int x,
                               int y, int w, int h)
{
    if (!m_painter || w == 0 || h == 0)
        return;
    const QImage image = IntermediatePicture(picture, part);
    if (image.isNull())
        return;
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRectF target = QRectF(x, y, w, h).normalized();
    if (w < 0 || h < 0)
        m_painter->drawImage(target, image.mirrored(w < 0, h < 0));
    else
        m_painter->drawImage(target, image);
}

void QtSurface::CornerMask(int x, int y, int size, Corner corner)
{
    if (!m_painter || size <= 0)
        return;
    const bool left = corner == Corner::TopLeft || corner == Corner::BottomLeft;
    const bool top = corner == Corner::TopLeft || corner == Corner::TopRight;
    // The disc's centre is the square's corner that points into the picture.
    const QPointF centre(left ? x + size : x, top ? y + size : y);
    // Painted in device dots: the picture's smoothed edges partly cover the dots its box's
    // edges cross, so the paint takes those dots whole on the square's two outer sides, or
    // a faint line of the picture's colour stays outside the curve.
    constexpr qreal kSlack = 1e-6; // an edge on a dot boundary stays there
    QRectF square = m_base.mapRect(QRectF(x, y, size, size));
    if (left)
        square.setLeft(std::floor(square.left() + kSlack));
    else
        square.setRight(std::ceil(square.right() - kSlack));
    if (top)
        square.setTop(std::floor(square.top() + kSlack));
    else
        square.setBottom(std::ceil(square.bottom() - kSlack));
    QPainterPath paint;
    paint.addRect(square);
    QPainterPath disc;
    disc.addEllipse(centre, size, size);
    m_painter->setRenderHint(QPainter::Antialiasing, true);
    m_painter->setTransform(QTransform());
    m_painter->fillPath(paint.subtracted(m_base.map(disc)), toQColor(m_background));
    m_painter->setTransform(m_base);
}
