// The content of one page, built on its own (on any thread) and handed to the document
// in page order.
#pragma once

#include "affine.h"
#include "deflate.h"
#include "error.h"
#include "image.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pdf {

class Font;

// A colour as the command language stores it: red in bits 0-7, green 8-15, blue 16-23.
using Rgb = std::uint32_t;

enum class LineCap { Flat = 0, Round = 1, Square = 2 };
enum class LineJoin { Miter = 0, Round = 1, Bevel = 2 };

// One glyph of a run: its id in the face, where its origin lies in the run's frame
// (logical units, x along the baseline, y down), and the Unicode text it stands for
// (UTF-8; empty for the second and later glyphs of one character).
struct Glyph {
    std::uint32_t id = 0;
    double x = 0;
    double y = 0;
    // Drawn a quarter turn counter-clockwise about its origin: the upright glyphs of a
    // line that runs down the page.
    bool turned = false;
    std::string_view text;
};

// A shaped string: glyphs of one face at `size` (the em in logical units), placed on the
// page by `frame` (run frame → page: position, escapement, italic slant).
struct GlyphRun {
    const Font *font = nullptr;
    double size = 0;
    Affine frame;
    Rgb color = 0;
    // When above 0 the run is struck a second time this far to the right along the
    // baseline: bold made from a face that has none.
    double boldStrike = 0;
    std::span<const Glyph> glyphs;
};

// A face as one page uses it: the glyphs shown and the text of each, first one first.
struct PageFont {
    const Font *font = nullptr;
    std::vector<std::uint64_t> shown; // one bit per glyph id
    std::vector<std::uint64_t> named; // the glyph's text is in `texts`
    std::vector<std::pair<std::uint32_t, std::string>> texts;
};

// A content stream in logical units (1/1440 inch, y down from the paper's top-left) and
// the fonts and pictures it uses. Nothing in it depends on other pages or on the
// document, so pages can be built in parallel; the same calls give the same bytes.
//
// Paths: MoveTo/LineTo/CurveTo/Rect/ClosePath build a path that the next Stroke, Fill,
// FillStroke or Clip paints with the state set by then; any other drawing call drops a
// path left unpainted. StrokeLine
// instead draws a straight line at once, and consecutive StrokeLines with the same pen
// become one path with one stroke.
class Page {
public:
    // A page `paperWidth` × `paperHeight` tenths of a millimetre.
    Page(int paperWidth, int paperHeight);

    // Graphics state: Restore returns to what the matching Save saw (colours, pen, dash,
    // clip). A Save left open is closed by Finish.
    void Save();
    void Restore();
    void SetStrokeColor(Rgb color);
    void SetFillColor(Rgb color);
    // 0 is the thinnest line the device can draw; default 1.
    void SetLineWidth(double width);
    void SetLineCap(LineCap cap);
    void SetLineJoin(LineJoin join);
    // Dashes and gaps in turn along every stroked path, restarting at each subpath;
    // empty for solid lines.
    void SetDash(std::span<const double> pattern, double phase = 0);

    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3);
    void Rect(double x, double y, double w, double h);
    void ClosePath();
    void Stroke();
    void Fill(bool evenOdd = false);
    void FillStroke();
    // Intersects the clip with the path (until the next Restore).
    void Clip(bool evenOdd = false);

    void StrokeLine(double x1, double y1, double x2, double y2);

    // One text object: the glyphs positioned by the font's own advances, with an
    // adjustment only where a glyph's position differs from them. Draws nothing and
    // says why when the font cannot be embedded or a glyph id is beyond its glyphs.
    Error ShowGlyphs(const GlyphRun &run);

    // Draws `image` into the unit square (u right, v down: the picture's top-left pixel
    // at (0, 0)) as `placement` maps it onto the page; Affine::Rect places it in a
    // rectangle, mirrored by a negative width or height.
    Error DrawImage(std::shared_ptr<const Image> image, const Affine &placement);

    // Ends the content and compresses it at zlib `level` (no compression when
    // negative). Nothing may be drawn afterwards.
    void Finish(int level = kFastDeflate);

    // For the document.
    int PaperWidth() const { return m_paperWidth; }
    int PaperHeight() const { return m_paperHeight; }
    bool Finished() const { return m_finished; }
    bool Compressed() const { return m_compressed; }
    const std::string &Content() const { return m_content; }
    const std::vector<PageFont> &Fonts() const { return m_fonts; }
    const std::vector<std::shared_ptr<const Image>> &Images() const { return m_images; }

private:
    struct State {
        Rgb stroke = 0;
        Rgb fill = 0;
        double width = 1;
        LineCap cap = LineCap::Flat;
        LineJoin join = LineJoin::Miter;
        std::vector<double> dash;
        double dashPhase = 0;
        int font = -1;
        double fontSize = 0;

        bool SameStroke(const State &other) const;
    };
    enum class PathKind { None, Open, Lines };

    void number(double value, int decimals = 2);
    void op(std::string_view name);
    void matrix(const Affine &m, std::string_view name);
    void color(Rgb rgb, std::string_view grayOp, std::string_view rgbOp);
    void emitStroke(const State &want);
    void emitFill(const State &want);
    void startPath();
    void paint(std::string_view name, bool stroke, bool fill);
    void endPath();
    int fontResource(const Font &font);
    void writeGlyphs(const GlyphRun &run, const Affine &frame);
    void recordGlyphs(PageFont &use, std::span<const Glyph> glyphs);

    int m_paperWidth;
    int m_paperHeight;
    std::string m_out;
    std::string m_path;
    PathKind m_pathKind = PathKind::None;
    State m_lineState; // the pen of the pending StrokeLine path
    std::optional<Point> m_lineEnd; // where the pending StrokeLine path ends
    State m_have; // as the content stream has set it
    State m_want; // as the caller has set it
    std::vector<std::pair<State, State>> m_saved;
    std::vector<PageFont> m_fonts;
    std::vector<std::shared_ptr<const Image>> m_images;
    std::string m_content;
    bool m_finished = false;
    bool m_compressed = false;
};

} // namespace pdf
