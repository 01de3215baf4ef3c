// A surface that draws nothing and measures text with simple, font-free metrics: for
// tests of the commands, benchmarks of the interpreter, and runs that only count.
#pragma once

#include "surface.h"

// Metrics: a character height of 2 × height logical units (the em); a single-byte character
// is half an em wide, a two-byte character one em; each line is one em high. Faces: the
// Japanese Windows faces and their "@" forms (character set 128, fixed pitch), "Arial"
// (character set 0, variable pitch).
class NullSurface : public Surface {
public:
    void StartPage(int, int, int) override {}
    void Line(int, int, int, int, const Pen &) override {}
    void Rectangle(int, int, int, int, const Pen &) override {}
    void RoundRect(int, int, int, int, int, int, const Pen &, std::optional<Color>) override {}
    void FillSolidRect(int, int, int, int, Color) override {}
    void Arc(int, int, int, int, int, int, int, int, const Pen &) override {}
    void Pie(int, int, int, int, int, int, int, int, Color) override {}
    void Ellipse(int, int, int, int, Color) override {}
    TextSize MeasureText(const FontSpec &font, std::string_view text) override;
    void DrawText(int, int, int, int, TextAlign, const FontSpec &, Color,
                  std::string_view) override {}
    void TextOut(int, int, const FontSpec &, Color, std::string_view) override {}
    std::optional<FontInfo> FindFont(std::string_view face) override;
    void StretchPicture(const PictureSource &, const PicturePart &, int, int, int, int) override {}
    void CornerMask(int, int, int, Corner) override {}
};
