// Which glyphs of a font the shaping of horizontal text may change or move, read from its
// OpenType layout tables.
#pragma once

#include <QByteArrayView>

#include <unordered_set>
#include <vector>

// The glyphs that the layout features applied to horizontal text by default (composition,
// localised forms, required and standard ligatures, contextual forms, mark positioning...;
// not kerning, which the surface turns off) may touch. A glyph outside them keeps its
// nominal form and advance wherever it stands, except where a ligature begins: a ligature
// needs its first two glyphs side by side, and those pairs are kept apart.
class LayoutGlyphs {
public:
    // A font without layout tables: shaping changes no glyph.
    LayoutGlyphs() = default;
    // Reads the GSUB, GPOS and GDEF tables. A table that cannot be read, and a font that
    // is shaped by other means (AAT or Graphite tables), make every glyph contextual.
    LayoutGlyphs(QByteArrayView gsub, QByteArrayView gpos, QByteArrayView gdef,
                 bool otherShaping);

    // Shaping may change or move `glyph` in any text.
    bool contextual(quint32 glyph) const { return m_all || has(glyph, Contextual); }
    // `glyph` is the first or the second glyph of some ligature.
    bool startsLigature(quint32 glyph) const { return has(glyph, Starts); }
    bool continuesLigature(quint32 glyph) const { return has(glyph, Continues); }
    // A ligature begins with `first` followed by `second`.
    bool ligaturePair(quint32 first, quint32 second) const
    {
        return m_pairs.count(first << 16 | second) != 0;
    }

private:
    enum Flag : quint8 { Contextual = 1, Starts = 2, Continues = 4 };
    bool has(quint32 glyph, Flag flag) const
    {
        return glyph < m_flags.size() && (m_flags[glyph] & flag) != 0;
    }
    void mark(quint32 glyph, Flag flag);
    bool readTable(QByteArrayView table, bool substitutions);
    void readGlyphClasses(QByteArrayView gdef);

    bool m_all = false;
    std::vector<quint8> m_flags;
    std::unordered_set<quint32> m_pairs;
};
