// The vertical-writing data of an OpenType font, read from its GSUB and OS/2 tables.
#pragma once

#include <QByteArrayView>
#include <QHash>

// The glyphs a font substitutes in vertical writing (the single substitutions of its
// 'vert' and 'vrt2' features): 、。 moved to the upper right of their cell, brackets
// turned, ー and ～ running downwards, small kana moved up and right.
class VerticalGlyphs {
public:
    VerticalGlyphs() = default;
    // Reads the substitutions of a GSUB table. Every offset is checked against the table;
    // a malformed table yields no substitutions at all.
    explicit VerticalGlyphs(QByteArrayView gsub);

    // The vertical form of `glyph`, or `glyph` itself when the font has none.
    quint32 substitute(quint32 glyph) const { return m_substitutes.value(glyph, glyph); }
    qsizetype size() const { return m_substitutes.size(); }

private:
    QHash<quint32, quint32> m_substitutes;
};

// Height of the centre of the ideographic em box above the baseline, as a fraction of
// the em: from the typographic ascender and descender of an OS/2 table when they span
// one em, else 0.38 (the usual box from 0.88 em above to 0.12 em below the baseline).
double emBoxCentre(QByteArrayView os2, int unitsPerEm);
