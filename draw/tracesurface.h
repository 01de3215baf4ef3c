// A surface that writes every drawing operation as one line of text, then passes it on.
#pragma once

#include "surface.h"

#include <ostream>

// Lines, in logical units exactly as handed over (colours as RRGGBB, text as a quoted
// UTF-8 string):
//   page N paper W H
//   line X1 Y1 X2 Y2 pen=STYLE,WIDTH,RRGGBB
//   rect L T R B pen=... brush=none
//   roundrect L T R B EW EH pen=... brush=none|RRGGBB
//   fillrect X Y W H RRGGBB
//   arc L T R B XS YS XE YE pen=...
//   pie L T R B XS YS XE YE brush=RRGGBB
//   ellipse L T R B brush=RRGGBB
//   text L T R B center|left font="FACE",HEIGHT,WEIGHT,ITALIC,ESCAPEMENT color=RRGGBB "TEXT"
//   textout X Y font=... color=RRGGBB "TEXT"
// Measuring and font look-up write nothing.
class TraceSurface : public Surface {
public:
    TraceSurface(Surface &target, std::ostream &out) : m_target(target), m_out(out) {}

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

private:
    Surface &m_target;
    std::ostream &m_out;
    Color m_background = 0xFFFFFF; // what the corners of rounded pictures are painted in
};
