// The drawing surface that writes PDF pages: the same marks as the QPainter surface, as
// vector paths, subset fonts and pictures embedded once.
#pragma once

#include "draw/dashes.h"
#include "draw/shapedtext.h"
#include "draw/surface.h"
#include "page.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace pdf {
class Font;
class FontLibrary;
}

// One page of a PDF file as a command file draws it, and what drawing it had to say.
struct PdfPage {
    std::unique_ptr<pdf::Page> page;
    // Faces that could not be embedded, so that their text was drawn as outlines, with
    // the reason ("FILE: why; ..."), each once.
    std::vector<std::string> notes;
};

// Draws each page into a pdf::Page of its own, taken out with TakePage once the page has
// run, so that pages can be drawn on several threads and added to the document in order.
// Text is measured and shaped by `shaper`, the shaper of the QPainter surface, so sizes,
// anchoring and glyphs are exactly the other surfaces'; the faces come from `fonts` (the
// document's library, shared by every thread). A surface serves one thread.
//
// Text in a face that cannot be embedded is drawn as filled outlines from its file, or
// from `shaper` when it has no usable file: always the right marks, though not text a
// reader can search.
class PdfSurface : public Surface {
public:
    PdfSurface(pdf::FontLibrary &fonts, TextShaper &shaper);
    PdfSurface(const PdfSurface &) = delete;
    PdfSurface &operator=(const PdfSurface &) = delete;

    // The page drawn since the last StartPage, ended; empty before the first.
    PdfPage TakePage();

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
    struct Outline; // a path in logical units, kept for dashing
    struct PendingCorner {
        int x, y, size;
        Corner corner;
        Color background;
    };
    struct PendingPicture {
        std::shared_ptr<const pdf::Image> image;
        pdf::Affine placement;
        std::vector<PendingCorner> corners;
    };
    struct Face {
        const pdf::Font *font = nullptr; // null: no usable file
        std::string problem;             // why its text is drawn as outlines
    };

    // Whether there is a page to draw on; the picture held back for its corners is
    // drawn first, so that marks keep their order.
    bool drawing()
    {
        flushPicture();
        return m_page != nullptr;
    }
    // Where dashes are seen: the paper and 100 logical units around it.
    DashArea visibleArea() const;
    void flushPicture();
    void appendCorner(const PendingCorner &corner);
    void strokeOutline(const Outline &outline, const Pen &pen, bool paintGaps);
    void usePen(const Pen &pen, bool dashed);
    void drawShaped(const TextBlock &block, const FontSpec &font, const ShapedText &shaped,
                    Color color);
    void drawRun(const GlyphFont &glyphFont, const FontSpec &font, const pdf::GlyphRun &run);
    const Face &face(const GlyphFont &font);
    void note(const std::string &problem);

    pdf::FontLibrary &m_fonts;
    TextShaper &m_shaper;
    std::unique_ptr<pdf::Page> m_page;
    std::vector<std::string> m_notes;
    double m_paperWidth = 0; // logical units
    double m_paperHeight = 0;
    Color m_background = 0xFFFFFF;
    std::unordered_map<const GlyphFont *, Face> m_faces;
    std::optional<PendingPicture> m_picture; // drawn at the next operation

    // Storage reused from text to text.
    std::vector<pdf::Glyph> m_glyphs;
    std::string m_glyphText;
    std::vector<std::size_t> m_textEnds;
    GlyphOutline m_outline;
};
