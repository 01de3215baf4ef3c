// The fonts of the QPainter surface with their device-independent metrics, one per
// distinct font description, and the glyphs of the texts measured and drawn in them.
#include "fontcache.h"

#include "complexline.h"
#include "fontresolver.h"

#include "engine/codepage.h"

#include <QFontDatabase>
#include <QPainterPath>

#include <algorithm>

namespace {

// Lines kept per font; beyond that the kept ones are dropped and collecting starts anew.
constexpr std::size_t kMaxLines = 4096;

// Whether `family` has a style of weight `weight` or heavier.
bool hasStyleAsHeavy(const QString &family, int weight)
{
    const QStringList styles = QFontDatabase::styles(family);
    return std::any_of(styles.begin(), styles.end(), [&](const QString &style) {
        return QFontDatabase::weight(family, style) >= weight;
    });
}

// Characters stored in one byte in code page 932: ASCII and half-width katakana. In a
// sideways line they lie along the line; all others stand upright.
bool isHalfWidth(char32_t c)
{
    return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F);
}

// An advance in 1/64 logical unit rounded to logical units, as the measured width is.
int roundAdvance(qint64 advance)
{
    return qRound(double(advance) / 64.0);
}

} // namespace

FontEntry::Choice FontEntry::choose(const FontSpec &spec, FontResolver &resolver)
{
    Choice choice;
    const std::optional<ResolvedFace> face = resolver.resolve(spec.face);
    choice.sideways = face ? face->sideways : !spec.face.empty() && spec.face[0] == '@';
    QFont &font = choice.font;
    if (face) {
        font.setFamily(face->family);
    } else {
        const std::string_view name = std::string_view(spec.face).substr(choice.sideways ? 1 : 0);
        font.setFamily(QString::fromStdString(cp932::ToUtf8(name)));
    }
    // The character height (em) is 2 logical units per tenth of a point.
    font.setPixelSize(std::max(1, 2 * spec.height));
    // Weights are the same 1-1000 scale as QFont's; 0 means "any", the normal weight.
    const int weight = spec.weight <= 0 ? 400 : std::min(spec.weight, 1000);
    if (weight >= QFont::DemiBold && !hasStyleAsHeavy(font.family(), QFont::DemiBold)) {
        font.setWeight(QFont::Normal);
        choice.boldStrike = font.pixelSize() / 36.0;
    } else {
        font.setWeight(QFont::Weight(weight));
    }
    font.setItalic(spec.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return choice;
}

FontEntry::FontEntry(const FontSpec &spec, FontResolver &resolver)
    : FontEntry(choose(spec, resolver))
{
}

FontEntry::FontEntry(Choice choice)
    : m_font(std::move(choice.font)), m_sideways(choice.sideways),
      m_boldStrike(choice.boldStrike), m_metrics(m_font), m_faces(QRawFont::fromFont(m_font))
{
    m_plainAdvance.fill(-1);
    m_ascent = qRound(m_metrics.ascent());
    m_lineHeight = m_ascent + qRound(m_metrics.descent());
    const QRawFont &raw = m_faces.ownRaw();
    const bool otherShaping = !raw.fontTable("morx").isEmpty() ||
                              !raw.fontTable("mort").isEmpty() ||
                              !raw.fontTable("Silf").isEmpty();
    m_layout = LayoutGlyphs(raw.fontTable("GSUB"), raw.fontTable("GPOS"), raw.fontTable("GDEF"),
                            otherShaping);
    if (m_sideways) {
        m_vertical = VerticalGlyphs(raw.fontTable("GSUB"));
        m_emCentre = emBoxCentre(raw.fontTable("OS/2"), qRound(raw.unitsPerEm())) *
                     m_font.pixelSize();
    }
}

// The character of bytes `lead` (and `trail`, or -1 for a one-byte character).
FontEntry::CharGlyph &FontEntry::charGlyph(unsigned char lead, int trail)
{
    CharGlyph *c = &m_single[lead];
    if (trail >= 0) {
        std::unique_ptr<CharBlock> &block = m_double[lead];
        if (!block)
            block = std::make_unique<CharBlock>();
        c = &(*block)[trail];
    }
    if (c->kind == CharGlyph::Unknown)
        classify(*c, lead, trail);
    return *c;
}

void FontEntry::classify(CharGlyph &c, unsigned char lead, int trail)
{
    const char bytes[2] = {char(lead), char(trail)};
    const QString s = QString::fromStdString(cp932::ToUtf8(std::string_view(bytes, trail < 0 ? 1 : 2)));
    const QList<uint> characters = s.toUcs4();
    // Bytes that are no character of the code page convert to U+FFFD, which the code
    // page itself never gives.
    if (characters.size() != 1 || characters[0] == 0xFFFD) {
        c.kind = CharGlyph::Invalid;
        return;
    }
    c.unicode = characters[0];
    c.kind = CharGlyph::Contextual;
    if (!ShapesAlone(c.unicode))
        return;
    quint32 glyph = 0;
    int count = 1;
    if (!m_faces.ownRaw().glyphIndexesForChars(s.constData(), 1, &glyph, &count) || glyph == 0 ||
        m_layout.contextual(glyph))
        return;
    c.kind = CharGlyph::Alone;
    c.glyph = glyph;
    c.advance = qRound(m_metrics.horizontalAdvance(s) * 64);
    c.ligature = (m_layout.startsLigature(glyph) ? CharGlyph::Starts : 0) |
                 (m_layout.continuesLigature(glyph) ? CharGlyph::Continues : 0);
    if (trail < 0 && c.ligature == 0)
        m_plainAdvance[lead] = c.advance;
}

// Calls visit(character) for every character of `line`, a lead byte and its trail byte
// together. A lead byte that ends the line is no character and is left out.
template <typename Visit>
void FontEntry::forEachCharacter(std::string_view line, Visit visit)
{
    for (std::size_t i = 0; i < line.size();) {
        const auto b = static_cast<unsigned char>(line[i]);
        if (!cp932::IsLeadByte(b)) {
            visit(charGlyph(b, -1));
            ++i;
        } else if (i + 1 < line.size()) {
            visit(charGlyph(b, static_cast<unsigned char>(line[i + 1])));
            i += 2;
        } else {
            return;
        }
    }
}

// Scans the line that starts at `pos` of `text` up to its CR LF or the end of the text,
// leaving `pos` there. Alone: every character shapes alone with no ligature between two
// of them, and `advance` is the sum of their advances. Invalid: bytes that are no
// character. This is what measuring costs for most texts, so the characters met before
// are looked up here directly.
FontEntry::LineKind FontEntry::scan(std::string_view text, std::size_t &pos, qint64 &advance)
{
    LineKind kind = LineKind::Alone;
    qint64 sum = 0;
    const CharGlyph *previous = nullptr;
    const std::size_t n = text.size();
    std::size_t i = pos;
    while (i < n) {
        // A run of one-byte characters that shape alone and begin or continue no ligature:
        // most texts are nothing else.
        const std::size_t runStart = i;
        for (qint32 a; i < n && (a = m_plainAdvance[static_cast<unsigned char>(text[i])]) >= 0; ++i)
            sum += a;
        if (i == n)
            break;
        if (i != runStart)
            previous = nullptr;
        const auto b = static_cast<unsigned char>(text[i]);
        const CharGlyph *c;
        if (!cp932::IsLeadByte(b)) {
            if (b == '\r' && i + 1 < n && text[i + 1] == '\n')
                break;
            c = &m_single[b];
            if (c->kind == CharGlyph::Unknown)
                c = &charGlyph(b, -1);
            ++i;
        } else {
            if (i + 1 == n) {
                kind = LineKind::Invalid;
                break;
            }
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            const CharBlock *block = m_double[b].get();
            c = block ? &(*block)[trail] : nullptr;
            if (!c || c->kind == CharGlyph::Unknown)
                c = &charGlyph(b, trail);
            i += 2;
        }
        if (c->kind != CharGlyph::Alone) {
            if (c->kind == CharGlyph::Invalid) {
                kind = LineKind::Invalid;
                break;
            }
            kind = LineKind::Contextual;
        } else if (previous && (c->ligature & CharGlyph::Continues) &&
                   (previous->ligature & CharGlyph::Starts) &&
                   m_layout.ligaturePair(previous->glyph, c->glyph)) {
            kind = LineKind::Contextual;
        }
        sum += c->advance;
        previous = c;
    }
    pos = i;
    advance = sum;
    return kind;
}

// A line whose characters all shape alone: one run of the face's nominal glyphs. Fills
// `out` in place, so that shaping line after line reuses its storage.
void FontEntry::aloneLine(std::string_view line, ShapedLine &out)
{
    out.text.clear();
    out.runs.resize(1);
    ShapedRun &run = out.runs.front();
    run.font = m_faces.own();
    run.glyphs.clear();
    run.glyphs.reserve(line.size());
    out.text.reserve(line.size());
    qint64 pen = 0;
    forEachCharacter(line, [&](const CharGlyph &c) {
        ShapedGlyph &g = run.glyphs.emplace_back();
        g.id = c.glyph;
        g.x = double(pen) / 64.0;
        g.advance = double(c.advance) / 64.0;
        g.textStart = std::uint32_t(out.text.size());
        g.textLength = 1;
        if (m_sideways && !isHalfWidth(c.unicode)) {
            g.upright = true;
            g.id = m_vertical.substitute(g.id);
        }
        out.text.push_back(c.unicode);
        pen += c.advance;
    });
    out.width = roundAdvance(pen);
    if (run.glyphs.empty())
        out.runs.clear();
}

const ShapedLine &FontEntry::complexLine(std::string_view line)
{
    const auto known = m_complexLines.find(line);
    if (known != m_complexLines.end())
        return known->second;
    if (m_complexLines.size() >= kMaxLines)
        m_complexLines.clear();
    ShapedLine shaped = complexLine(QString::fromStdString(cp932::ToUtf8(line)));
    return m_complexLines.emplace(line, std::move(shaped)).first->second;
}

// Qt's full layout of `line`; in a sideways face, glyphs of full-width characters stand
// upright, in their vertical forms when they come from the face itself.
ShapedLine FontEntry::complexLine(const QString &line)
{
    ShapedLine shaped = ShapeComplexLine(m_font, line, m_faces);
    if (!m_sideways)
        return shaped;
    bool upright = false;
    for (ShapedRun &run : shaped.runs) {
        for (ShapedGlyph &g : run.glyphs) {
            // Glyphs that stand for no character of their own go with the one before.
            if (g.textLength > 0)
                upright = !isHalfWidth(shaped.text[g.textStart]);
            g.upright = upright;
            if (upright && run.font == m_faces.own())
                g.id = m_vertical.substitute(g.id);
        }
    }
    return shaped;
}

// Text holding bytes that are no character: converted whole, as the code page converts
// it, and every line laid out in full.
void FontEntry::shapeWhole(std::string_view text, ShapedText &into)
{
    const QString all = QString::fromStdString(cp932::ToUtf8(text));
    for (const QString &line : all.split(QStringLiteral("\r\n")))
        into.lines.push_back(complexLine(line));
}

// Calls visit(kind, line, advance) for every line of `text` with what scan() found, until
// a line is invalid.
template <typename Visit>
void FontEntry::forEachLine(std::string_view text, Visit visit)
{
    for (std::size_t pos = 0;;) {
        const std::size_t start = pos;
        qint64 advance = 0;
        const LineKind kind = scan(text, pos, advance);
        visit(kind, text.substr(start, pos - start), advance);
        if (kind == LineKind::Invalid || pos == text.size())
            return;
        pos += 2; // the CR LF
    }
}

TextSize FontEntry::measure(std::string_view text)
{
    TextSize size;
    int lines = 0;
    bool invalid = false;
    forEachLine(text, [&](LineKind kind, std::string_view line, qint64 advance) {
        invalid = kind == LineKind::Invalid;
        const int width = kind == LineKind::Alone ? roundAdvance(advance)
                          : invalid                ? 0
                                                   : complexLine(line).width;
        size.width = std::max(size.width, width);
        ++lines;
    });
    if (invalid)
        return shape(text).size;
    size.height = lines * m_lineHeight;
    return size;
}

const ShapedText &FontEntry::shape(std::string_view text)
{
    if (m_haveShaped && m_shapedText == text)
        return m_shaped;
    m_shapedText.assign(text);
    m_haveShaped = true;
    ShapedText &out = m_shaped;
    out.ascent = m_ascent;
    out.lineHeight = m_lineHeight;
    out.boldStrike = m_boldStrike;
    out.sideways = m_sideways;
    out.emCentre = m_emCentre;

    // The lines of the text before are overwritten, keeping their storage.
    std::size_t used = 0;
    bool invalid = false;
    forEachLine(text, [&](LineKind kind, std::string_view line, qint64) {
        if (kind == LineKind::Invalid) {
            invalid = true;
            return;
        }
        if (used == out.lines.size())
            out.lines.emplace_back();
        ShapedLine &into = out.lines[used++];
        if (kind == LineKind::Alone)
            aloneLine(line, into);
        else
            into = complexLine(line);
    });
    out.lines.resize(used);
    if (invalid) {
        out.lines.clear();
        shapeWhole(text, out);
    }
    out.size = TextSize();
    for (const ShapedLine &line : out.lines)
        out.size.width = std::max(out.size.width, line.width);
    out.size.height = int(out.lines.size()) * m_lineHeight;
    return out;
}

std::size_t FontCache::KeyHash::operator()(const Key &k) const
{
    std::size_t h = std::hash<std::string>{}(k.face);
    for (std::size_t v : {std::size_t(k.height), std::size_t(k.weight), std::size_t(k.italic)})
        h = h * 1000003u ^ v;
    return h;
}

FontEntry &FontCache::entry(const FontSpec &spec)
{
    if (m_last && m_lastKey->height == spec.height && m_lastKey->weight == spec.weight &&
        m_lastKey->italic == spec.italic && m_lastKey->face == spec.face)
        return *m_last;
    Key key{spec.face, spec.height, spec.weight, spec.italic};
    auto found = m_entries.find(key);
    if (found == m_entries.end())
        found = m_entries.emplace(std::move(key), std::make_unique<FontEntry>(spec, m_resolver))
                    .first;
    m_lastKey = &found->first;
    m_last = found->second.get();
    return *m_last;
}

std::optional<FontInfo> FontCache::FindFont(std::string_view face)
{
    const std::optional<ResolvedFace> resolved = m_resolver.resolve(face);
    if (!resolved)
        return std::nullopt;
    return resolved->info;
}

bool FontCache::Outline(const GlyphFont &font, std::uint32_t id, GlyphOutline &out)
{
    const QRawFont *raw = nullptr;
    for (auto it = m_entries.begin(); it != m_entries.end() && !raw; ++it)
        raw = it->second->findRawFont(&font);
    if (!raw)
        return false;
    const QPainterPath path = raw->pathForGlyph(id);
    out.ops.clear();
    out.points.clear();
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (!out.ops.empty())
                out.ops.push_back(GlyphOutline::Op::Close);
            out.ops.push_back(GlyphOutline::Op::MoveTo);
            break;
        case QPainterPath::LineToElement:
            out.ops.push_back(GlyphOutline::Op::LineTo);
            break;
        case QPainterPath::CurveToElement:
            out.ops.push_back(GlyphOutline::Op::CubicTo);
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
        // Qt's outline of a slanted face is slanted already; the interface's is not.
        out.points.push_back(e.x + font.slant * e.y);
        out.points.push_back(e.y);
    }
    if (!out.ops.empty())
        out.ops.push_back(GlyphOutline::Op::Close);
    return true;
}
