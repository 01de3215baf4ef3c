// Shaped text drawn with a QPainter.
#pragma once

#include "draw/shapedtext.h"

class FontEntry;
class QPainter;
class QTransform;

// Draws the lines of `text` (shaped by `font`) as `block` places them, in the painter's
// pen colour; `base` maps logical units to the device. Glyphs of a line are drawn in
// runs, upright glyphs of sideways lines one by one. Leaves the painter's transform at
// `base`.
void DrawShapedText(QPainter &painter, const QTransform &base, const TextBlock &block,
                    const ShapedText &text, const FontEntry &font);
