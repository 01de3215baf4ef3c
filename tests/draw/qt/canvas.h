// An image drawn on through the QPainter surface, and what the tests read back from it.
#pragma once

#include "draw/qt/qtsurface.h"

#include <QImage>
#include <QPainter>

#include <climits>

// A white image `widthMm` × `heightMm` at `dpi`, with a surface drawing on it.
struct Canvas {
    Canvas(qreal widthMm, qreal heightMm, qreal dpi);

    // Ends painting; the image is complete.
    const QImage &finish();
    // A logical coordinate in device dots, and back.
    int dots(qreal logical) const { return qRound(logical * dpi / 1440); }
    qreal logical(int dots) const { return dots * 1440 / dpi; }

    qreal dpi;
    QImage image;
    QPainter painter;
    QtSurface surface;
};

// The font `utf8Face` (written sideways when it begins with "@") at `height` logical units.
FontSpec MakeFont(const char *utf8Face, int height = 120, int weight = 400, bool italic = false);

// The smallest rectangle holding every pixel of `area` (default: all) that is not white.
QRect inkBounds(const QImage &image, QRect area = QRect(0, 0, INT_MAX, INT_MAX));
// The row in [y - 2, y + 2] with the most ink: where a thin rule at dot y landed.
int inkedRow(const QImage &image, int y);
// Pixels of `colour` in row `y` from `x0` to `x1`.
int countInRow(const QImage &image, int y, int x0, int x1, QColor colour);
// Lengths of the runs of ink along row `y`.
QList<int> inkRuns(const QImage &image, int y);
