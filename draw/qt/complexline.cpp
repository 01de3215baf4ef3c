// Lines shaped by Qt's full text layout: font fallback, ligatures, marks, right-to-left
// text, anything whose glyphs may depend on the neighbouring characters.
#include "complexline.h"

#include "fontfiles.h"

#include <QGlyphRun>
#include <QTextLayout>

#include <algorithm>

namespace {

// How far past a stretch of other glyphs the glyph of the next character that shapes
// alone is looked for.
constexpr std::size_t kMatchWindow = 32;

struct Placed {
    const GlyphFont *font;
    ShapedGlyph glyph;
};

bool rightToLeft(QChar::Direction d)
{
    switch (d) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirAN:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirRLI:
    case QChar::DirFSI:
        return true;
    default:
        return false;
    }
}

// Gives the glyphs the characters of `text` they stand for (see ShapeComplexLine).
void assignText(const std::u32string &text, std::vector<Placed> &glyphs, const FaceTable &faces)
{
    if (glyphs.empty())
        return;
    const bool rtl = std::any_of(text.begin(), text.end(), [](char32_t c) {
        return rightToLeft(QChar::direction(c));
    });
    if (rtl) {
        glyphs.front().glyph.textLength = std::uint32_t(text.size());
        return;
    }
    const GlyphFont *own = faces.own();
    const QRawFont &ownRaw = faces.ownRaw();
    auto nominal = [&](char32_t c) -> quint32 {
        if (!ShapesAlone(c))
            return 0;
        const QChar ch{char16_t(c)};
        quint32 glyph = 0;
        int count = 1;
        return ownRaw.glyphIndexesForChars(&ch, 1, &glyph, &count) ? glyph : 0;
    };

    std::size_t next = 0;                     // the first glyph not yet given characters
    std::size_t stretch = std::u32string::npos; // first character of the open stretch
    std::size_t stretchGlyph = 0;
    auto close = [&](std::size_t charEnd, std::size_t glyphEnd) {
        if (stretch == std::u32string::npos)
            return;
        const std::size_t chars = charEnd - stretch, count = glyphEnd - stretchGlyph;
        if (count == chars) {
            for (std::size_t k = 0; k < count; ++k) {
                glyphs[stretchGlyph + k].glyph.textStart = std::uint32_t(stretch + k);
                glyphs[stretchGlyph + k].glyph.textLength = 1;
            }
        } else if (count > 0) {
            glyphs[stretchGlyph].glyph.textStart = std::uint32_t(stretch);
            glyphs[stretchGlyph].glyph.textLength = std::uint32_t(chars);
        }
        stretch = std::u32string::npos;
    };
    for (std::size_t ci = 0; ci < text.size(); ++ci) {
        if (const quint32 want = nominal(text[ci])) {
            const std::size_t limit =
                std::min(glyphs.size(), next + (stretch == std::u32string::npos ? 1 : kMatchWindow));
            std::size_t k = next;
            while (k < limit && !(glyphs[k].font == own && glyphs[k].glyph.id == want))
                ++k;
            if (k < limit) {
                close(ci, k);
                glyphs[k].glyph.textStart = std::uint32_t(ci);
                glyphs[k].glyph.textLength = 1;
                next = k + 1;
                continue;
            }
        }
        if (stretch == std::u32string::npos) {
            stretch = ci;
            stretchGlyph = next;
        }
    }
    close(text.size(), glyphs.size());
}

} // namespace

bool ShapesAlone(char32_t c)
{
    // The fraction slash makes the digits around it a fraction.
    if (c < 0x20 || c > 0xFFFF || c == 0x2044 || c == QChar::ObjectReplacementCharacter)
        return false;
    const QChar ch{char16_t(c)};
    switch (ch.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return false;
    default:
        break;
    }
    switch (ch.direction()) {
    case QChar::DirL:
    case QChar::DirEN:
    case QChar::DirES:
    case QChar::DirET:
    case QChar::DirCS:
    case QChar::DirON:
    case QChar::DirWS:
        break;
    default:
        return false;
    }
    switch (ch.script()) {
    case QChar::Script_Common:
    case QChar::Script_Latin:
    case QChar::Script_Greek:
    case QChar::Script_Cyrillic:
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
        return true;
    default:
        return false;
    }
}

ShapedLine ShapeComplexLine(const QFont &font, const QString &line, FaceTable &faces)
{
    ShapedLine out;
    const QList<uint> characters = line.toUcs4();
    out.text.assign(characters.begin(), characters.end());

    // A line or paragraph separator makes Qt break the line; the parts follow each other.
    QTextLayout layout(line, font);
    layout.setCacheEnabled(false);
    layout.beginLayout();
    while (layout.createLine().isValid()) {
    }
    layout.endLayout();

    std::vector<Placed> glyphs;
    qreal pen = 0;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine part = layout.lineAt(i);
        const qreal baseline = part.y() + part.ascent();
        for (const QGlyphRun &run : part.glyphRuns()) {
            const GlyphFont *face = faces.add(run.rawFont());
            const QList<quint32> ids = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            const QList<QPointF> advances = run.rawFont().advancesForGlyphIndexes(ids);
            for (qsizetype k = 0; k < ids.size(); ++k) {
                ShapedGlyph g;
                g.id = ids[k];
                g.x = positions[k].x() - part.x() + pen;
                g.y = positions[k].y() - baseline;
                g.advance = k < advances.size() ? advances[k].x() : 0;
                glyphs.push_back({face, g});
            }
        }
        pen += part.horizontalAdvance();
    }
    out.width = qRound(pen);

    assignText(out.text, glyphs, faces);
    for (const Placed &p : glyphs) {
        if (out.runs.empty() || out.runs.back().font != p.font)
            out.runs.push_back({p.font, {}});
        out.runs.back().glyphs.push_back(p.glyph);
    }
    return out;
}
