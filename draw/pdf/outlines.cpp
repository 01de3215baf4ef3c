// Glyphs drawn as filled paths from the font file.
#include "outlines.h"

#include "font.h"

#include <hb.h>

namespace pdf {

namespace {

// Where HarfBuzz's pen goes: font units mapped onto the page.
struct Pen {
    Page *page;
    Affine map;
};

void moveTo(hb_draw_funcs_t *, void *data, hb_draw_state_t *, float x, float y, void *)
{
    auto *pen = static_cast<Pen *>(data);
    const Point p = pen->map.Map(x, y);
    pen->page->MoveTo(p.x, p.y);
}

void lineTo(hb_draw_funcs_t *, void *data, hb_draw_state_t *, float x, float y, void *)
{
    auto *pen = static_cast<Pen *>(data);
    const Point p = pen->map.Map(x, y);
    pen->page->LineTo(p.x, p.y);
}

void cubicTo(hb_draw_funcs_t *, void *data, hb_draw_state_t *, float x1, float y1, float x2,
             float y2, float x, float y, void *)
{
    auto *pen = static_cast<Pen *>(data);
    const Point a = pen->map.Map(x1, y1), b = pen->map.Map(x2, y2), p = pen->map.Map(x, y);
    pen->page->CurveTo(a.x, a.y, b.x, b.y, p.x, p.y);
}

// A quadratic piece (TrueType) as the cubic that traces it.
void quadraticTo(hb_draw_funcs_t *funcs, void *data, hb_draw_state_t *state, float cx, float cy,
                 float x, float y, void *user)
{
    const float x0 = state->current_x, y0 = state->current_y;
    cubicTo(funcs, data, state, x0 + 2.f / 3 * (cx - x0), y0 + 2.f / 3 * (cy - y0),
            x + 2.f / 3 * (cx - x), y + 2.f / 3 * (cy - y), x, y, user);
}

void closePath(hb_draw_funcs_t *, void *data, hb_draw_state_t *, void *)
{
    static_cast<Pen *>(data)->page->ClosePath();
}

hb_draw_funcs_t *drawFuncs()
{
    static hb_draw_funcs_t *const funcs = [] {
        hb_draw_funcs_t *f = hb_draw_funcs_create();
        hb_draw_funcs_set_move_to_func(f, moveTo, nullptr, nullptr);
        hb_draw_funcs_set_line_to_func(f, lineTo, nullptr, nullptr);
        hb_draw_funcs_set_quadratic_to_func(f, quadraticTo, nullptr, nullptr);
        hb_draw_funcs_set_cubic_to_func(f, cubicTo, nullptr, nullptr);
        hb_draw_funcs_set_close_path_func(f, closePath, nullptr, nullptr);
        hb_draw_funcs_make_immutable(f);
        return f;
    }();
    return funcs;
}

} // namespace

Error FillGlyphOutlines(Page &page, const GlyphRun &run)
{
    if (!run.font)
        return {ErrorCode::FontUnreadable, "no font"};
    for (const Glyph &glyph : run.glyphs)
        if (glyph.id >= run.font->GlyphCount())
            return {ErrorCode::BadGlyph, run.font->Path() + ": no glyph " +
                                             std::to_string(glyph.id)};
    const double scale = run.size / run.font->UnitsPerEm();
    page.Save();
    page.SetFillColor(run.color);
    const int strikes = run.boldStrike > 0 ? 2 : 1;
    for (int strike = 0; strike < strikes; ++strike) {
        const Affine frame =
            strike == 0 ? run.frame : run.frame * Affine::Translate(run.boldStrike, 0);
        for (const Glyph &glyph : run.glyphs) {
            Affine map = frame * Affine::Translate(glyph.x, glyph.y);
            if (glyph.turned)
                map = map * Affine::Rotate(90);
            // Font units run up from the baseline.
            Pen pen{&page, map * Affine::Scale(scale, -scale)};
            // hb_font_get_glyph_shape is what HarfBuzz 6 calls hb_font_draw_glyph.
            hb_font_get_glyph_shape(run.font->HbFont(), glyph.id, drawFuncs(), &pen);
        }
        page.Fill();
    }
    page.Restore();
    return {};
}

} // namespace pdf
