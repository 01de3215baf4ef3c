// The dash patterns of the thin styled pens (draw/dashes.h), cut along Qt's paths.
#pragma once

#include <QList>
#include <QLineF>
#include <QRectF>

#include <span>

class QPainterPath;

// The on and off lengths, in logical units, of pen style 1 to 4 (dash, dot, dash-dot,
// dash-dot-dot); empty for every other style, which draws solid. The lengths are
// physical, so a dashed rule looks the same on a screen, a PNG, a PDF and a printer.
std::span<const qreal> dashPattern(int style);

// The dashes of `pattern` along every subpath of `path` that fall inside `visible`,
// curves flattened. The pattern starts afresh at the start of each subpath and runs on
// around its corners; parts outside `visible` are skipped without cutting them, so a rule
// of any length costs no more than its visible part.
QList<QLineF> dashSegments(const QPainterPath &path, std::span<const qreal> pattern,
                           const QRectF &visible);
