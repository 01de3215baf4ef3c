// The text of the PDF surface: the glyphs the shaper measured, placed where the QPainter
// surface places them, in subset fonts or, failing those, as outlines.
#include "pdfsurface.h"

#include "font.h"
#include "outlines.h"

#include "engine/codepage.h"

namespace {

pdf::Affine toAffine(const TextTransform &t)
{
    return {t.a, t.b, t.c, t.d, t.e, t.f};
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

TextSize PdfSurface::MeasureText(const FontSpec &font, std::string_view text)
{
    return m_shaper.Shape(font, text).size;
}

std::optional<FontInfo> PdfSurface::FindFont(std::string_view face)
{
    return m_shaper.FindFont(face);
}

void PdfSurface::DrawText(int l, int t, int r, int b, TextAlign align, const FontSpec &font,
                          Color color, std::string_view text)
{
    if (!drawing())
        return;
    const ShapedText &shaped = m_shaper.Shape(font, text);
    if (const std::optional<TextBlock> block = DrawTextBlock(l, t, r, b, align, font, shaped))
        drawShaped(*block, font, shaped, color);
}

void PdfSurface::TextOut(int x, int y, const FontSpec &font, Color color, std::string_view text)
{
    if (!drawing())
        return;
    const ShapedText &shaped = m_shaper.Shape(font, text);
    drawShaped(TextOutBlock(x, y, font, shaped), font, shaped, color);
}

// Every line of `shaped` as `block` places it: one text object per run of glyphs of one
// face, in the run's frame (the line's baseline, slanted for an italic drawn from an
// upright face). Upright glyphs of a sideways line are turned within the run; when they
// are also slanted or struck twice, which happens along their own axes, each is a run of
// its own.
void PdfSurface::drawShaped(const TextBlock &block, const FontSpec &font,
                            const ShapedText &shaped, Color color)
{
    const pdf::Affine frame = toAffine(block.frame);
    if (block.clip) {
        m_page->Save();
        const double w = double(block.width), h = double(block.height);
        const pdf::Point corners[4] = {frame.Map(0, 0), frame.Map(w, 0), frame.Map(w, h),
                                       frame.Map(0, h)};
        m_page->MoveTo(corners[0].x, corners[0].y);
        for (int i = 1; i < 4; ++i)
            m_page->LineTo(corners[i].x, corners[i].y);
        m_page->ClosePath();
        m_page->Clip();
    }
    for (std::size_t i = 0; i < shaped.lines.size(); ++i) {
        const ShapedLine &line = shaped.lines[i];
        const pdf::Affine lineFrame =
            frame * pdf::Affine::Translate(LineLeft(block, line), LineTop(shaped, i));
        for (const ShapedRun &run : line.runs) {
            if (!run.font || run.glyphs.empty())
                continue;
            const double slant = run.font->slant;
            const bool ownRuns = slant != 0 || shaped.boldStrike > 0;
            pdf::GlyphRun glyphs;
            glyphs.size = run.font->size;
            glyphs.color = color;
            glyphs.boldStrike = shaped.boldStrike;
            glyphs.frame = lineFrame * pdf::Affine::Translate(0, shaped.ascent) *
                           pdf::Affine::Shear(-slant);

            // The texts first, the glyphs pointing into them once they stand still.
            m_glyphs.clear();
            m_glyphText.clear();
            m_textEnds.clear();
            for (const ShapedGlyph &g : run.glyphs) {
                for (std::uint32_t c = 0; c < g.textLength && g.textStart + c < line.text.size(); ++c)
                    appendUtf8(m_glyphText, line.text[g.textStart + c]);
                m_textEnds.push_back(m_glyphText.size());
            }
            std::size_t textStart = 0;
            for (std::size_t k = 0; k < run.glyphs.size(); ++k) {
                const ShapedGlyph &g = run.glyphs[k];
                const std::string_view text =
                    std::string_view(m_glyphText).substr(textStart, m_textEnds[k] - textStart);
                textStart = m_textEnds[k];
                if (!g.upright) {
                    // The slant leans the glyph about its own origin, not the baseline's.
                    m_glyphs.push_back({g.id, g.x + slant * g.y, g.y, false, text});
                    continue;
                }
                const TextTransform place = PlaceGlyph(shaped, g);
                if (!ownRuns) {
                    m_glyphs.push_back({g.id, place.e, place.f - shaped.ascent, true, text});
                    continue;
                }
                pdf::GlyphRun alone = glyphs;
                alone.frame = lineFrame * toAffine(place) * pdf::Affine::Shear(-slant);
                const pdf::Glyph glyph{g.id, 0, 0, false, text};
                alone.glyphs = std::span<const pdf::Glyph>(&glyph, 1);
                drawRun(*run.font, font, alone);
            }
            glyphs.glyphs = m_glyphs;
            if (!m_glyphs.empty())
                drawRun(*run.font, font, glyphs);
        }
    }
    if (block.clip)
        m_page->Restore();
}

// Shows `run` in its subset font; in a face that cannot be embedded, fills the glyphs'
// outlines instead, from the face's file or from the shaper, and says so. `font` is what
// the text was asked in.
void PdfSurface::drawRun(const GlyphFont &glyphFont, const FontSpec &font, const pdf::GlyphRun &run)
{
    const Face &f = face(glyphFont);
    pdf::GlyphRun shown = run;
    shown.font = f.font;
    std::string problem = f.problem;
    if (f.font && problem.empty()) {
        const pdf::Error error = m_page->ShowGlyphs(shown);
        if (!error)
            return;
        problem = error.message;
    }
    if (problem.empty())
        problem = "\"" + cp932::ToUtf8(font.face) + "\" has no font file";
    note(problem + "; its text is drawn as outlines");
    if (f.font && !pdf::FillGlyphOutlines(*m_page, shown))
        return;

    // The shaper's own outlines: a face without a file, or whose file is not the face.
    m_page->Save();
    m_page->SetFillColor(run.color);
    const int strikes = run.boldStrike > 0 ? 2 : 1;
    for (int strike = 0; strike < strikes; ++strike) {
        const pdf::Affine frame =
            strike == 0 ? run.frame : run.frame * pdf::Affine::Translate(run.boldStrike, 0);
        for (const pdf::Glyph &glyph : run.glyphs) {
            if (!m_shaper.Outline(glyphFont, glyph.id, m_outline))
                continue;
            pdf::Affine map = frame * pdf::Affine::Translate(glyph.x, glyph.y);
            if (glyph.turned)
                map = map * pdf::Affine::Rotate(90);
            std::size_t at = 0;
            for (const GlyphOutline::Op op : m_outline.ops) {
                const double *p = m_outline.points.data() + at;
                switch (op) {
                case GlyphOutline::Op::MoveTo: {
                    const pdf::Point q = map.Map(p[0], p[1]);
                    m_page->MoveTo(q.x, q.y);
                    at += 2;
                    break;
                }
                case GlyphOutline::Op::LineTo: {
                    const pdf::Point q = map.Map(p[0], p[1]);
                    m_page->LineTo(q.x, q.y);
                    at += 2;
                    break;
                }
                case GlyphOutline::Op::CubicTo: {
                    const pdf::Point a = map.Map(p[0], p[1]), b = map.Map(p[2], p[3]),
                                     c = map.Map(p[4], p[5]);
                    m_page->CurveTo(a.x, a.y, b.x, b.y, c.x, c.y);
                    at += 6;
                    break;
                }
                case GlyphOutline::Op::Close:
                    m_page->ClosePath();
                    break;
                }
            }
        }
        m_page->Fill();
    }
    m_page->Restore();
}

const PdfSurface::Face &PdfSurface::face(const GlyphFont &font)
{
    const auto known = m_faces.find(&font);
    if (known != m_faces.end())
        return known->second;
    Face &f = m_faces[&font];
    if (font.file.empty())
        return f;
    const pdf::FontLoad load = m_fonts.Load(font.file, static_cast<unsigned>(font.faceIndex));
    f.font = load.font;
    f.problem = load.error.message;
    return f;
}

void PdfSurface::note(const std::string &problem)
{
    for (const std::string &known : m_notes)
        if (known == problem)
            return;
    m_notes.push_back(problem);
}
