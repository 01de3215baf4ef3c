// The font files that the faces Qt draws with come from.
#pragma once

#include "draw/shapedtext.h"

#include <QRawFont>

#include <memory>
#include <vector>

// How FreeType slants the outlines of a face that has no italic of its own.
inline constexpr double kSyntheticSlant = 0x0366A / 65536.0;

// The file and face index of the face `raw` draws with, found through fontconfig and
// checked against the face's own tables (a file whose 'head' and 'name' tables differ is
// another face, whatever its name); its size in logical units; its slant when Qt slants
// an upright face for an italic. The file stays empty when no installed file holds the
// face. Files are looked up once per face and process.
GlyphFont DescribeFont(const QRawFont &raw);

// The faces that one font's glyphs come from: the font's own face first, then the
// fallback faces Qt took glyphs from, each with the GlyphFont that names it. Entries stay
// where they are for the table's life.
class FaceTable {
public:
    explicit FaceTable(const QRawFont &own);
    Q_DISABLE_COPY(FaceTable)

    const GlyphFont *own() const { return &m_faces.front()->font; }
    const QRawFont &ownRaw() const { return m_faces.front()->raw; }
    // The entry of `raw`, added when first met.
    const GlyphFont *add(const QRawFont &raw);
    // The face that `font` names; `font` comes from this table.
    const QRawFont &raw(const GlyphFont *font) const;
    // The face that `font` names, or null when `font` is not from this table.
    const QRawFont *find(const GlyphFont *font) const;

private:
    struct Face {
        QRawFont raw;
        GlyphFont font;
    };
    std::vector<std::unique_ptr<Face>> m_faces;
};
