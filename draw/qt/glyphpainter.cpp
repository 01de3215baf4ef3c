// Shaped text drawn with a QPainter.
#include "glyphpainter.h"

#include "fontcache.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTransform>

#include <vector>

namespace {

QTransform toTransform(const TextTransform &t)
{
    return QTransform(t.a, t.b, t.c, t.d, t.e, t.f);
}

// Draws `run` at the painter's transform, twice for synthetic bold.
void strike(QPainter &painter, const QGlyphRun &run, const ShapedText &text)
{
    painter.drawGlyphRun(QPointF(0, 0), run);
    if (text.boldStrike > 0)
        painter.drawGlyphRun(QPointF(text.boldStrike, 0), run);
}

} // namespace

void DrawShapedText(QPainter &painter, const QTransform &base, const TextBlock &block,
                    const ShapedText &text, const FontEntry &font)
{
    // A block that is only moved needs no transform of its own: its glyphs move instead.
    const bool moved = block.frame.isTranslation() && !block.clip;
    const QTransform frame = moved ? base : toTransform(block.frame) * base;
    const QPointF shift = moved ? QPointF(block.frame.e, block.frame.f) : QPointF();
    // The painter comes at `base`, which is `frame` when the block is only moved.
    bool atFrame = moved;
    if (block.clip) {
        painter.save();
        painter.setTransform(frame);
        painter.setClipRect(QRectF(0, 0, double(block.width), double(block.height)),
                            Qt::IntersectClip);
        atFrame = true;
    }

    // The glyph run reads its glyphs from these, which are kept for the next text.
    thread_local std::vector<quint32> ids;
    thread_local std::vector<QPointF> positions;
    QGlyphRun run;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        const ShapedLine &line = text.lines[i];
        const QPointF origin = shift + QPointF(LineLeft(block, line), LineTop(text, i));
        for (const ShapedRun &glyphs : line.runs) {
            run.setRawFont(font.rawFont(glyphs.font));
            ids.clear();
            positions.clear();
            for (const ShapedGlyph &g : glyphs.glyphs) {
                if (!g.upright) {
                    ids.push_back(g.id);
                    positions.push_back(origin + QPointF(g.x, text.ascent + g.y));
                    continue;
                }
                painter.setTransform(toTransform(PlaceGlyph(text, g)) *
                                     QTransform::fromTranslate(origin.x(), origin.y()) * frame);
                atFrame = false;
                const QPointF at(0, 0);
                run.setRawData(&g.id, &at, 1);
                strike(painter, run, text);
            }
            if (ids.empty())
                continue;
            if (!atFrame)
                painter.setTransform(frame);
            atFrame = true;
            run.setRawData(ids.data(), positions.data(), int(ids.size()));
            strike(painter, run, text);
        }
    }

    if (block.clip)
        painter.restore();
    else if (!(atFrame && moved))
        painter.setTransform(base);
}
