// Text shaped into glyphs, and where a surface puts them: what drawing a text exactly as it
// was measured needs, without any graphics library.
#pragma once

#include "surface.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The font file that glyphs come from, at the size they are drawn in.
struct GlyphFont {
    std::string file;   // the font file; empty when it could not be found
    int faceIndex = 0;  // the face within a font collection
    double size = 0;    // the em, in logical units
    // An italic asked of a face that has none is the upright face slanted: its outlines
    // move right by `slant` times their height above the baseline. 0 for other faces.
    double slant = 0;
};

// One glyph of a line. Its own coordinates (the glyph space) have the origin on the
// baseline at the pen position, x along the advance and y downwards, in logical units.
struct ShapedGlyph {
    std::uint32_t id = 0; // glyph index in the font file
    double x = 0;         // pen position from the start of the line
    double y = 0;         // offset from the baseline, downwards (marks placed by the font)
    double advance = 0;
    // The characters of the line's text that the glyph stands for. When one character
    // takes several glyphs, or the glyphs of a stretch of text cannot be told apart, the
    // first glyph carries the characters and the others none.
    std::uint32_t textStart = 0;
    std::uint32_t textLength = 0;
    // Sideways faces: a full-width character standing upright in the turned line, drawn
    // in its vertical form where the font has one (see PlaceGlyph).
    bool upright = false;
};

// Consecutive glyphs of one font.
struct ShapedRun {
    const GlyphFont *font = nullptr; // lives as long as the shaper that made the run
    std::vector<ShapedGlyph> glyphs;
};

struct ShapedLine {
    std::u32string text; // the line's characters
    int width = 0;       // its advance as measured, rounded to logical units
    std::vector<ShapedRun> runs;
};

// A text (lines separated by CR LF) shaped in one font. Line i's cell begins
// i × lineHeight below the first; its baseline is `ascent` below the top of its cell.
struct ShapedText {
    std::vector<ShapedLine> lines;
    TextSize size; // the widest line and the height of all lines: what MeasureText gives
    int ascent = 0;
    int lineHeight = 0;
    // Bold of a face without a bold style: every glyph is drawn a second time, moved
    // `boldStrike` along its own x axis. 0 when the text is drawn once.
    double boldStrike = 0;
    // The face was named with "@": lines run down the page and full-width characters
    // stand upright; `emCentre` is the centre of the em box above the baseline.
    bool sideways = false;
    double emCentre = 0;
};

// The outline of one glyph in its glyph space (see ShapedGlyph), not slanted: subpaths
// of straight and cubic pieces.
struct GlyphOutline {
    enum class Op : std::uint8_t { MoveTo, LineTo, CubicTo, Close };
    std::vector<Op> ops;
    std::vector<double> points; // x, y: one point for MoveTo and LineTo, three for CubicTo
};

// Shapes texts exactly as a surface measures and draws them. One shaper serves one
// thread.
class TextShaper {
public:
    virtual ~TextShaper() = default;
    // `text` (code page 932, lines separated by CR LF) in `font`. The result stays valid
    // until the next call.
    virtual const ShapedText &Shape(const FontSpec &font, std::string_view text) = 0;
    // The installed face of that name, as Surface::FindFont gives it.
    virtual std::optional<FontInfo> FindFont(std::string_view face) = 0;
    // The outline of glyph `id` of `font` (a font of this shaper's runs), for a surface
    // that cannot read the face from its file; false when there is none.
    virtual bool Outline(const GlyphFont &font, std::uint32_t id, GlyphOutline &out) = 0;
};

// An affine map of the plane in logical units (y downwards), in the matrix form PDF uses:
// (x, y) → (a·x + c·y + e, b·x + d·y + f).
struct TextTransform {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    bool isTranslation() const { return a == 1 && b == 0 && c == 0 && d == 1; }
};

// Where the lines of a DrawText or TextOut call lie. The text frame has x along the lines
// and y down across them, its origin at the top-left of the first line's cell; `frame`
// maps it to logical units on the page. Drawing is clipped to `width` × `height` of the
// text frame when `clip` is set.
struct TextBlock {
    TextTransform frame;
    long long width = 0;
    long long height = 0;
    TextAlign align = TextAlign::Left;
    bool clip = false;
};

// The block of Surface::DrawText: nothing when the rectangle is empty. A font turned by
// 2700 runs down the page from (l, t), its lines stacking leftwards.
std::optional<TextBlock> DrawTextBlock(int l, int t, int r, int b, TextAlign align,
                                       const FontSpec &font, const ShapedText &text);
// The block of Surface::TextOut: turned by the font's escapement about (x, y).
TextBlock TextOutBlock(int x, int y, const FontSpec &font, const ShapedText &text);

// Where a line starts in the text frame: LineLeft is the x of its start (a centred line
// sits in the middle of the block's width), LineTop the top of line `index`'s cell.
double LineLeft(const TextBlock &block, const ShapedLine &line);
double LineTop(const ShapedText &text, std::size_t index);

// The map from `glyph`'s own space to its line's frame (x from the start of the line, y
// down from the top of its cell). An upright glyph is turned a quarter counter-clockwise
// about the middle of its cell (half its advance along the line, half the line height
// across), with the centre of its em box there.
TextTransform PlaceGlyph(const ShapedText &text, const ShapedGlyph &glyph);
