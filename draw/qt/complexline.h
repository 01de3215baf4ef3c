// Lines shaped by Qt's full text layout: font fallback, ligatures, marks, right-to-left
// text, anything whose glyphs may depend on the neighbouring characters.
#pragma once

#include "draw/shapedtext.h"

class FaceTable;
class QFont;
class QString;

// Whether the glyph of `c` depends on nothing but `c` once the face has it and no layout
// feature of the face touches that glyph: a character that is no mark, control or
// format character, is written left to right or is neutral, and belongs to a script that
// needs no shaping of its own (Latin, Greek, Cyrillic, kana, kanji, common signs).
bool ShapesAlone(char32_t c);

// `line` laid out in `font` as QPainter lays it out: its glyphs by face (fallback faces
// are added to `faces`), their pen positions and advances, the characters each stands
// for (matched through the characters that shape alone; a stretch between them goes to
// its glyphs one to one when their numbers agree, else to its first glyph; in a line
// with right-to-left text the whole line goes to its first glyph), and its width
// rounded to logical units.
ShapedLine ShapeComplexLine(const QFont &font, const QString &line, FaceTable &faces);
