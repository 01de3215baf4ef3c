// Lines of sideways ("@") faces: full-width characters stand upright in a turned line.
#pragma once

#include <QPointF>

class FontEntry;
class QPainter;
class QString;
class QTransform;

// Draws `line` in `font` with the top-left of its first cell at `origin` of `frame` (the
// line's own coordinates: x along the line, y across it, mapped to the device by
// `frame`). Characters that code page 932 keeps in one byte (ASCII, half-width katakana)
// lie along the line as in any face. All others are turned a quarter counter-clockwise
// against the line, so that they stand upright when the line runs down the page, each
// centred in its cell and in its vertical form where the font has one (、。 at the upper
// right, brackets opening downwards, ー running down). The cells advance exactly as the
// font measures the line.
void drawSidewaysLine(QPainter &painter, const QTransform &frame, FontEntry &font,
                      const QString &line, QPointF origin);
