// Lines of sideways ("@") faces: full-width characters stand upright in a turned line.
#include "sidewaystext.h"

#include "fontcache.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTransform>

namespace {

// Characters stored in one byte in code page 932: ASCII and half-width katakana.
bool isHalfWidth(char32_t c)
{
    return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F);
}

// Draws `character` upright against the line, its em box centred on `centre`.
void drawUpright(QPainter &painter, const QTransform &frame, FontEntry &font,
                 const QString &character, qreal advance, QPointF centre)
{
    const SidewaysGlyphs &glyphs = font.sidewaysGlyphs();
    QTransform cell = QTransform::fromTranslate(centre.x(), centre.y());
    cell.rotate(-90);
    painter.setTransform(cell * frame);
    const QPointF baselineStart(-advance / 2, glyphs.emCentre);

    const QList<quint32> indexes = glyphs.raw.glyphIndexesForString(character);
    if (indexes.size() != 1 || indexes[0] == 0) {
        // Not in the face: the font's fallback draws it, upright but in its plain form.
        painter.drawText(baselineStart, character);
        if (font.boldStrike() > 0)
            painter.drawText(baselineStart + QPointF(font.boldStrike(), 0), character);
        return;
    }
    QGlyphRun run;
    run.setRawFont(glyphs.raw);
    run.setGlyphIndexes({glyphs.vertical.substitute(indexes[0])});
    run.setPositions({QPointF(0, 0)});
    painter.drawGlyphRun(baselineStart, run);
    if (font.boldStrike() > 0)
        painter.drawGlyphRun(baselineStart + QPointF(font.boldStrike(), 0), run);
}

} // namespace

void drawSidewaysLine(QPainter &painter, const QTransform &frame, FontEntry &font,
                      const QString &line, QPointF origin)
{
    const QFontMetricsF &metrics = font.metrics();
    const qreal baseline = origin.y() + font.ascent();
    const qreal middle = origin.y() + font.lineHeight() / 2.0;
    qreal x = origin.x();

    // Half-width characters are drawn in runs, shaped as in any other face.
    qsizetype runStart = -1;
    auto drawRun = [&](qsizetype end) {
        if (runStart < 0)
            return;
        const QString run = line.mid(runStart, end - runStart);
        painter.setTransform(frame);
        painter.drawText(QPointF(x, baseline), run);
        if (font.boldStrike() > 0)
            painter.drawText(QPointF(x + font.boldStrike(), baseline), run);
        x += metrics.horizontalAdvance(run);
        runStart = -1;
    };

    for (qsizetype i = 0; i < line.size();) {
        char32_t c = line[i].unicode();
        qsizetype length = 1;
        if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(line[i], line[i + 1]);
            length = 2;
        }
        if (isHalfWidth(c)) {
            if (runStart < 0)
                runStart = i;
        } else {
            drawRun(i);
            const QString character = line.mid(i, length);
            const qreal advance = metrics.horizontalAdvance(character);
            drawUpright(painter, frame, font, character, advance,
                        QPointF(x + advance / 2, middle));
            x += advance;
        }
        i += length;
    }
    drawRun(line.size());
}
