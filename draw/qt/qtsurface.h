// The drawing surface over a QPainter: printer, print preview, PDF or image.
#pragma once

#include "draw/surface.h"
#include "fontcache.h"
#include "fontresolver.h"

#include <QRectF>
#include <QTransform>

class QPainter;
class QPainterPath;
class QPen;

// Draws on a painter whose device has `dpiX` × `dpiY` dots per inch. The painter's
// transform is set so that one unit is 1/1440 inch with the origin at the device origin;
// the surface owns the painter's state while it draws. A null painter only measures and
// looks up fonts (checking and tracing runs). Text is measured device-independently
// (see FontEntry), so every device gives the same sizes, and drawn from the very glyphs
// that measuring shaped, which shaper() gives to other surfaces.
class QtSurface : public Surface {
public:
    QtSurface(QPainter *painter, qreal dpiX, qreal dpiY,
              FontResolver &resolver = FontResolver::shared());
    Q_DISABLE_COPY(QtSurface)

    void StartPage(int page, int paperWidth, int paperHeight) override;
    void Line(int x1, int y1, int x2, int y2, const Pen &pen) override;
    void Rectangle(int l, int t, int r, int b, const Pen &pen) override;
    void RoundRect(int l, int t, int r, int b, int ew, int eh, const Pen &pen,
                   std::optional<Color> brush) override;
    void FillSolidRect(int x, int y, int w, int h, Color color) override;
    void Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye, const Pen &pen) override;
    void Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye, Color color) override;
    void Ellipse(int l, int t, int r, int b, Color color) override;
    TextSize MeasureText(const FontSpec &font, std::string_view text) override;
    void DrawText(int l, int t, int r, int b, TextAlign align, const FontSpec &font, Color color,
                  std::string_view text) override;
    void TextOut(int x, int y, const FontSpec &font, Color color, std::string_view text) override;
    std::optional<FontInfo> FindFont(std::string_view face) override;
    void StretchPicture(const PictureSource &picture, const PicturePart &part, int x, int y,
                        int w, int h) override;
    void CornerMask(int x, int y, int size, Corner corner) override;

    TextShaper &shaper() { return m_fonts; }

private:
    void resetPainter();
    void strokeOutline(const QPainterPath &path, const Pen &pen, bool paintGaps);

    QPainter *m_painter;
    QTransform m_base;         // logical units to device dots
    QRectF m_visible;          // the device's area in logical units, with a margin
    Color m_background = 0xFFFFFF;
    FontCache m_fonts;
};
