// The drawing surface that every drawing command draws through, in logical units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A colour as the command language stores it: red in bits 0-7, green 8-15, blue 16-23.
using Color = std::uint32_t;

// Pen styles handed to pen creation: the five cosmetic styles and the wide solid pen.
enum PenStyle : int {
    PenSolid = 0,
    PenDash = 1,
    PenDot = 2,
    PenDashDot = 3,
    PenDashDotDot = 4,
    PenWide = 0x10000, // solid, `width` logical units wide
};

struct Pen {
    int style = PenSolid;
    int width = 0; // logical units; 0 is the thinnest line the device can draw
    Color color = 0;
};

// A font as the text commands describe it. `face` is the name as the command file gave it
// (code page 932 bytes, "@" in front for sideways faces); `height` is in tenths of a point
// and becomes a character height of 2 × height logical units; `escapement` is the angle
// of the baseline in tenths of a degree, counter-clockwise.
struct FontSpec {
    std::string face;
    int height = 120;
    int weight = 400;
    bool italic = false;
    int escapement = 0;
    int charset = 128;
    int pitchFamily = 1;
};

// What the font list says of a face: its character set and pitch, as the `/` command
// records them.
struct FontInfo {
    int charset = 0;
    int pitchFamily = 2;
};

struct TextSize {
    int width = 0;
    int height = 0;
};

enum class TextAlign { Center, Left };

// The pixels of a picture as a surface reads them: either a picture decoded from a file
// (Windows DIB layout: header, colour table, bottom-up rows) or a clipboard picture
// (32-bit 0xAARRGGBB pixels, rows top-down). `width` × `height` is its own size, unturned.
struct PictureSource {
    int width = 0;
    int height = 0;
    const std::vector<unsigned char> *bitmapInfo = nullptr; // a file picture
    const unsigned char *bits = nullptr;
    std::size_t bitsSize = 0;
    const std::uint32_t *pixels = nullptr; // a clipboard picture
    // Where a surface may keep what it prepared from a file picture for the rest of the
    // job (null for clipboard pictures, whose content can change between jobs).
    std::shared_ptr<void> *drawHandle = nullptr;
};

// The part of a picture to draw: columns u0 to u0 + uw − 1 and rows v0 to v0 + vh − 1
// counted from the picture's top-left pixel, first scaled to an intermediate of iw × ih
// pixels, then turned a quarter counter-clockwise when `turn` is set.
struct PicturePart {
    int u0 = 0, v0 = 0, uw = 0, vh = 0;
    int iw = 0, ih = 0;
    bool turn = false;
};

// The corners of a rounded picture, in the order they are painted.
enum class Corner { TopLeft, BottomLeft, BottomRight, TopRight };

// The output surface of one page. Coordinates are logical units of 1/1440 inch, x to the
// right and y downwards from the device origin. Operations draw at once; the only state a
// surface keeps between them is the background colour, white at the start of a page and
// set by FillSolidRect, which fills the gaps of dashed rectangle outlines.
class Surface {
public:
    virtual ~Surface() = default;

    // A new page begins; the paper is `paperWidth` × `paperHeight` tenths of a millimetre.
    virtual void StartPage(int page, int paperWidth, int paperHeight) = 0;

    // A straight line from (x1, y1) towards (x2, y2); dash gaps stay transparent.
    virtual void Line(int x1, int y1, int x2, int y2, const Pen &pen) = 0;
    // A rectangle outline, not filled; dash gaps are painted in the background colour.
    virtual void Rectangle(int l, int t, int r, int b, const Pen &pen) = 0;
    // A rectangle whose corners are rounded by an ellipse `ew` × `eh`; filled with `brush`
    // when given, otherwise an outline like Rectangle.
    virtual void RoundRect(int l, int t, int r, int b, int ew, int eh, const Pen &pen,
                           std::optional<Color> brush) = 0;
    // Fills a rectangle without outline and makes `color` the background colour.
    virtual void FillSolidRect(int x, int y, int w, int h, Color color) = 0;
    // The arc of the ellipse in (l, t, r, b) counter-clockwise from the ray through
    // (xs, ys) to the ray through (xe, ye); equal rays draw the whole ellipse. Transparent
    // dash gaps.
    virtual void Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye,
                     const Pen &pen) = 0;
    // The filled slice of the ellipse between the same two rays, outlined in its colour.
    virtual void Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye,
                     Color color) = 0;
    // A filled ellipse, outlined in its colour.
    virtual void Ellipse(int l, int t, int r, int b, Color color) = 0;

    // Width of the widest line and total height of `text` (lines separated by CR LF) in
    // `font`, as the font lies before any rotation.
    virtual TextSize MeasureText(const FontSpec &font, std::string_view text) = 0;
    // Draws `text` (lines separated by CR LF) into the rectangle, line below line, each
    // line centred or starting at the left edge, clipped to the rectangle. For a font with
    // an escapement of 2700 the rectangle has l > r: the text starts at (l, t) and runs
    // downwards.
    virtual void DrawText(int l, int t, int r, int b, TextAlign align, const FontSpec &font,
                          Color color, std::string_view text) = 0;
    // Draws one line with the top-left of its first character cell at (x, y), turned by
    // the font's escapement about that point.
    virtual void TextOut(int x, int y, const FontSpec &font, Color color,
                         std::string_view text) = 0;
    // The installed face of that name (code page 932 bytes), if there is one.
    virtual std::optional<FontInfo> FindFont(std::string_view face) = 0;

    // Stretches the part of a picture into the rectangle (x, y, w, h); a negative width
    // or height mirrors the picture on that axis (the rectangle then runs from x + w to x,
    // or from y + h to y).
    virtual void StretchPicture(const PictureSource &picture, const PicturePart &part, int x,
                                int y, int w, int h) = 0;
    // Paints the square of side `size` at (x, y) in the background colour, except the
    // quarter disc of radius `size` centred on the square's corner that points into the
    // picture: one rounded corner of a picture.
    virtual void CornerMask(int x, int y, int size, Corner corner) = 0;
};
