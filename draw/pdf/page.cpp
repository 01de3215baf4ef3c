// The content of one page, built on its own and handed to the document in page order.
#include "page.h"

#include "font.h"
#include "syntax.h"

#include <cmath>

namespace pdf {

namespace {

constexpr double kPointsPerPageUnit = 72.0 / 254; // tenths of a millimetre to points
constexpr double kPointsPerLogical = 72.0 / 1440;

// How far apart two positions may lie and still count as one (logical units).
constexpr double kSamePosition = 1e-3;

void setBit(std::vector<std::uint64_t> &bits, std::uint32_t id)
{
    bits[id / 64] |= std::uint64_t{1} << (id % 64);
}

bool bit(const std::vector<std::uint64_t> &bits, std::uint32_t id)
{
    return (bits[id / 64] >> (id % 64)) & 1;
}

} // namespace

bool Page::State::SameStroke(const State &other) const
{
    return stroke == other.stroke && width == other.width && cap == other.cap &&
           join == other.join && dash == other.dash && dashPhase == other.dashPhase;
}

Page::Page(int paperWidth, int paperHeight) : m_paperWidth(paperWidth), m_paperHeight(paperHeight)
{
    m_out.reserve(16 * 1024);
    // Logical units with y down, from the paper's top-left corner.
    matrix({kPointsPerLogical, 0, 0, -kPointsPerLogical, 0, paperHeight * kPointsPerPageUnit},
           "cm");
}

void Page::number(double value, int decimals)
{
    AppendReal(m_out, value, decimals);
    m_out += ' ';
}

void Page::op(std::string_view name)
{
    m_out += name;
    m_out += '\n';
}

void Page::matrix(const Affine &m, std::string_view name)
{
    number(m.a, 5);
    number(m.b, 5);
    number(m.c, 5);
    number(m.d, 5);
    number(m.e, 4);
    number(m.f, 4);
    op(name);
}

// A colour as a gray level when its components are equal, otherwise as RGB.
void Page::color(Rgb rgb, std::string_view grayOp, std::string_view rgbOp)
{
    const unsigned r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    number(r / 255.0, 3);
    if (r == g && g == b) {
        op(grayOp);
        return;
    }
    number(g / 255.0, 3);
    number(b / 255.0, 3);
    op(rgbOp);
}

void Page::Save()
{
    endPath();
    op("q");
    m_saved.emplace_back(m_have, m_want);
}

void Page::Restore()
{
    if (m_saved.empty())
        return;
    endPath();
    op("Q");
    m_have = m_saved.back().first;
    m_want = m_saved.back().second;
    m_saved.pop_back();
}

void Page::SetStrokeColor(Rgb color) { m_want.stroke = color & 0xFFFFFF; }
void Page::SetFillColor(Rgb color) { m_want.fill = color & 0xFFFFFF; }
void Page::SetLineWidth(double width) { m_want.width = RoundReal(std::fmax(0, width), 2); }
void Page::SetLineCap(LineCap cap) { m_want.cap = cap; }
void Page::SetLineJoin(LineJoin join) { m_want.join = join; }

void Page::SetDash(std::span<const double> pattern, double phase)
{
    m_want.dash.clear();
    double total = 0;
    for (const double length : pattern) {
        m_want.dash.push_back(RoundReal(std::fmax(0, length), 2));
        total += m_want.dash.back();
    }
    // A pattern of nothing but zeros is no pattern a reader can follow.
    if (total <= 0)
        m_want.dash.clear();
    m_want.dashPhase = m_want.dash.empty() ? 0 : RoundReal(phase, 2);
}

void Page::emitStroke(const State &want)
{
    if (want.stroke != m_have.stroke) {
        color(want.stroke, "G", "RG");
        m_have.stroke = want.stroke;
    }
    if (want.width != m_have.width) {
        number(want.width);
        op("w");
        m_have.width = want.width;
    }
    if (want.cap != m_have.cap) {
        number(static_cast<int>(want.cap));
        op("J");
        m_have.cap = want.cap;
    }
    if (want.join != m_have.join) {
        number(static_cast<int>(want.join));
        op("j");
        m_have.join = want.join;
    }
    if (want.dash != m_have.dash || want.dashPhase != m_have.dashPhase) {
        m_out += '[';
        for (std::size_t i = 0; i < want.dash.size(); ++i) {
            if (i > 0)
                m_out += ' ';
            AppendReal(m_out, want.dash[i]);
        }
        m_out += "] ";
        number(want.dashPhase);
        op("d");
        m_have.dash = want.dash;
        m_have.dashPhase = want.dashPhase;
    }
}

void Page::emitFill(const State &want)
{
    if (want.fill == m_have.fill)
        return;
    color(want.fill, "g", "rg");
    m_have.fill = want.fill;
}

void Page::startPath()
{
    if (m_pathKind == PathKind::Lines)
        endPath();
    m_pathKind = PathKind::Open;
}

void Page::endPath()
{
    if (m_pathKind == PathKind::Lines) {
        emitStroke(m_lineState);
        m_out += m_path;
        op("S");
    }
    m_path.clear();
    m_pathKind = PathKind::None;
}

void Page::paint(std::string_view name, bool stroke, bool fill)
{
    if (m_pathKind != PathKind::Open) {
        endPath();
        return;
    }
    if (stroke)
        emitStroke(m_want);
    if (fill)
        emitFill(m_want);
    m_out += m_path;
    op(name);
    m_path.clear();
    m_pathKind = PathKind::None;
}

void Page::MoveTo(double x, double y)
{
    startPath();
    AppendReal(m_path, x);
    m_path += ' ';
    AppendReal(m_path, y);
    m_path += " m\n";
}

void Page::LineTo(double x, double y)
{
    startPath();
    AppendReal(m_path, x);
    m_path += ' ';
    AppendReal(m_path, y);
    m_path += " l\n";
}

void Page::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3)
{
    startPath();
    for (const double v : {x1, y1, x2, y2, x3, y3}) {
        AppendReal(m_path, v);
        m_path += ' ';
    }
    m_path += "c\n";
}

void Page::Rect(double x, double y, double w, double h)
{
    startPath();
    for (const double v : {x, y, w, h}) {
        AppendReal(m_path, v);
        m_path += ' ';
    }
    m_path += "re\n";
}

void Page::ClosePath()
{
    if (m_pathKind == PathKind::Open)
        m_path += "h\n";
}

void Page::Stroke() { paint("S", true, false); }
void Page::Fill(bool evenOdd) { paint(evenOdd ? "f*" : "f", false, true); }
void Page::FillStroke() { paint("B", true, true); }
void Page::Clip(bool evenOdd) { paint(evenOdd ? "W* n" : "W n", false, false); }

void Page::StrokeLine(double x1, double y1, double x2, double y2)
{
    if (m_pathKind == PathKind::Lines && !m_lineState.SameStroke(m_want))
        endPath();
    if (m_pathKind != PathKind::Lines) {
        endPath();
        m_pathKind = PathKind::Lines;
        m_lineState = m_want;
        m_lineEnd.reset();
    }
    // A line that goes on from the last one's end continues its subpath, where that
    // cannot change the marks: no dashes to run on, and ends that look like joins.
    const bool joinable = m_lineState.dash.empty() &&
                          (m_lineState.width == 0 || (m_lineState.cap == LineCap::Round &&
                                                      m_lineState.join == LineJoin::Round));
    const bool continues = joinable && m_lineEnd && std::fabs(m_lineEnd->x - x1) <= kSamePosition &&
                           std::fabs(m_lineEnd->y - y1) <= kSamePosition;
    if (!continues) {
        AppendReal(m_path, x1);
        m_path += ' ';
        AppendReal(m_path, y1);
        m_path += " m ";
    }
    AppendReal(m_path, x2);
    m_path += ' ';
    AppendReal(m_path, y2);
    m_path += " l\n";
    m_lineEnd = Point{x2, y2};
}

int Page::fontResource(const Font &font)
{
    for (std::size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i].font == &font)
            return static_cast<int>(i);
    PageFont &use = m_fonts.emplace_back();
    use.font = &font;
    use.shown.assign((font.GlyphCount() + 63) / 64, 0);
    use.named.assign(use.shown.size(), 0);
    return static_cast<int>(m_fonts.size() - 1);
}

void Page::recordGlyphs(PageFont &use, std::span<const Glyph> glyphs)
{
    for (const Glyph &glyph : glyphs) {
        setBit(use.shown, glyph.id);
        if (!glyph.text.empty() && !bit(use.named, glyph.id)) {
            setBit(use.named, glyph.id);
            use.texts.emplace_back(glyph.id, std::string(glyph.text));
        }
    }
}

Error Page::ShowGlyphs(const GlyphRun &run)
{
    if (!run.font)
        return {ErrorCode::FontUnreadable, "no font"};
    if (!run.font->Embeddable())
        return {ErrorCode::FontNotEmbeddable, run.font->Path() + ": " + run.font->EmbedProblem()};
    for (const Glyph &glyph : run.glyphs)
        if (glyph.id >= run.font->GlyphCount())
            return {ErrorCode::BadGlyph, run.font->Path() + ": no glyph " +
                                             std::to_string(glyph.id)};
    if (run.glyphs.empty() || !(run.size > 0))
        return {};

    endPath();
    State want = m_have;
    want.fill = run.color & 0xFFFFFF;
    emitFill(want);
    const int resource = fontResource(*run.font);
    op("BT");
    const double size = RoundReal(run.size, 2);
    if (resource != m_have.font || size != m_have.fontSize) {
        m_out += "/F";
        AppendInt(m_out, resource);
        m_out += ' ';
        number(size);
        op("Tf");
        m_have.font = resource;
        m_have.fontSize = size;
    }
    writeGlyphs(run, run.frame);
    if (run.boldStrike > 0) {
        // The second strike stands for no text of its own: readers that extract text
        // take the empty replacement text instead of the characters a second time.
        op("/Span<</ActualText()>>BDC");
        writeGlyphs(run, run.frame * Affine::Translate(run.boldStrike, 0));
        op("EMC");
    }
    op("ET");
    recordGlyphs(m_fonts[static_cast<std::size_t>(resource)], run.glyphs);
    return {};
}

// The glyphs as runs of hex codes: a new text matrix where a glyph leaves the baseline
// or is turned, a TJ adjustment (thousandths of an em, leftwards) where a glyph does not
// sit where the advances of those before it put it.
void Page::writeGlyphs(const GlyphRun &run, const Affine &frame)
{
    const double size = m_have.fontSize;
    std::string shown;
    bool adjusted = false, inHex = false;
    auto flush = [&] {
        if (inHex)
            shown += '>';
        if (!shown.empty()) {
            if (adjusted)
                m_out += '[';
            m_out += shown;
            m_out += adjusted ? "]TJ\n" : "Tj\n";
        }
        shown.clear();
        adjusted = inHex = false;
    };

    double penX = 0, baseline = 0;
    bool newMatrix = true;
    for (const Glyph &glyph : run.glyphs) {
        if (newMatrix || glyph.turned || std::fabs(glyph.y - baseline) > kSamePosition) {
            flush();
            Affine m = frame * Affine::Translate(glyph.x, glyph.y);
            if (glyph.turned)
                m = m * Affine::Rotate(90);
            // Glyphs stand upright in text space, whose y runs up.
            matrix(m * Affine::Scale(1, -1), "Tm");
            penX = glyph.x;
            baseline = glyph.y;
            newMatrix = glyph.turned;
        } else {
            const double adjust = RoundReal((penX - glyph.x) * 1000 / size, 1);
            if (adjust != 0) {
                if (inHex)
                    shown += '>';
                inHex = false;
                AppendReal(shown, adjust, 1);
                adjusted = true;
                penX -= adjust * size / 1000;
            }
        }
        if (!inHex)
            shown += '<';
        inHex = true;
        AppendHex4(shown, glyph.id);
        penX += run.font->Width(glyph.id) * size / 1000;
    }
    flush();
}

Error Page::DrawImage(std::shared_ptr<const Image> image, const Affine &placement)
{
    if (!image || !image->Valid())
        return {ErrorCode::BadImage, image ? "picture " + image->key + ": pixels do not match its size"
                                           : "no picture"};
    endPath();
    std::size_t index = 0;
    while (index < m_images.size() && m_images[index]->key != image->key)
        ++index;
    if (index == m_images.size())
        m_images.push_back(std::move(image));
    op("q");
    // The unit square of image space has the picture's first row at its top (y = 1).
    const Affine &p = placement;
    matrix({p.a, p.b, -p.c, -p.d, p.c + p.e, p.d + p.f}, "cm");
    m_out += "/I";
    AppendInt(m_out, static_cast<long long>(index));
    m_out += " Do\nQ\n";
    return {};
}

void Page::Finish(int level)
{
    if (m_finished)
        return;
    endPath();
    while (!m_saved.empty())
        Restore();
    m_compressed = level >= 0;
    if (m_compressed)
        DeflateAppend(m_out, level, m_content);
    else
        m_content = std::move(m_out);
    m_out = std::string();
    m_path = std::string();
    m_finished = true;
}

} // namespace pdf
