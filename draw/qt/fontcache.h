// The fonts of the QPainter surface with their device-independent metrics, one per
// distinct font description, and the glyphs of the texts measured and drawn in them.
#pragma once

#include "draw/shapedtext.h"
#include "draw/surface.h"
#include "fontfiles.h"
#include "layoutglyphs.h"
#include "verticalglyphs.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRawFont>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

class FontResolver;

// One font description as a QFont of 2 × height logical units. Metrics are taken at that
// size with hinting and kerning off and without a paint device, so they are the same
// numbers on every device: ascent and descent are rounded, a line is ascent + descent
// high, a text as wide as the rounded advance of its widest line.
// Bold in a face without a bold style (the IPA faces have none) is drawn as the regular
// face struck twice, the second time a little to the right, as Qt's PDF output does:
// Qt's own emboldening is off for fonts as large as logical units make them.
//
// A text is shaped once and its glyphs are what both measuring and drawing use. Most
// characters shape alone (see ShapesAlone and LayoutGlyphs): their glyph and advance are
// kept per character, and a line made only of them is measured by adding up advances,
// exactly as the full shaping adds them up. Other lines go through Qt's full layout and
// are kept by their text.
class FontEntry {
public:
    FontEntry(const FontSpec &spec, FontResolver &resolver);
    Q_DISABLE_COPY(FontEntry)

    const QFont &font() const { return m_font; }
    int ascent() const { return m_ascent; }
    int lineHeight() const { return m_lineHeight; }

    // The size of `text` (code page 932, lines separated by CR LF): MeasureText.
    TextSize measure(std::string_view text);
    // `text` shaped; valid until the next call.
    const ShapedText &shape(std::string_view text);
    // The face that glyphs of `font` (from this entry's texts) are drawn in.
    const QRawFont &rawFont(const GlyphFont *font) const { return m_faces.raw(font); }
    // The same, or null when `font` is not from this entry's texts.
    const QRawFont *findRawFont(const GlyphFont *font) const { return m_faces.find(font); }

private:
    struct Choice {
        QFont font;
        bool sideways = false;
        qreal boldStrike = 0;
    };
    static Choice choose(const FontSpec &spec, FontResolver &resolver);
    explicit FontEntry(Choice choice);

    // What one code page 932 character (one or two bytes) becomes in this font.
    struct CharGlyph {
        enum Kind : quint8 { Unknown, Alone, Contextual, Invalid };
        enum Ligature : quint8 { Starts = 1, Continues = 2 };
        quint32 glyph = 0;
        qint32 advance = 0; // in 1/64 logical unit, as the shaping adds advances up
        char32_t unicode = 0;
        Kind kind = Unknown;
        quint8 ligature = 0;
    };
    using CharBlock = std::array<CharGlyph, 256>;
    enum class LineKind { Alone, Contextual, Invalid };

    CharGlyph &charGlyph(unsigned char lead, int trail);
    void classify(CharGlyph &c, unsigned char lead, int trail);
    LineKind scan(std::string_view text, std::size_t &pos, qint64 &advance);
    template <typename Visit>
    void forEachLine(std::string_view text, Visit visit);
    template <typename Visit>
    void forEachCharacter(std::string_view line, Visit visit);
    void aloneLine(std::string_view line, ShapedLine &out);
    const ShapedLine &complexLine(std::string_view line);
    ShapedLine complexLine(const QString &line);
    void shapeWhole(std::string_view text, ShapedText &into);

    QFont m_font;
    bool m_sideways;
    qreal m_boldStrike;
    QFontMetricsF m_metrics;
    int m_ascent = 0;
    int m_lineHeight = 0;
    FaceTable m_faces;
    LayoutGlyphs m_layout;
    VerticalGlyphs m_vertical; // sideways faces only
    double m_emCentre = 0;

    CharBlock m_single;
    std::array<qint32, 256> m_plainAdvance; // advance of a plain one-byte character, else -1
    std::array<std::unique_ptr<CharBlock>, 256> m_double;

    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const
        {
            return std::hash<std::string_view>{}(s);
        }
    };
    std::unordered_map<std::string, ShapedLine, StringHash, std::equal_to<>> m_complexLines;
    std::string m_shapedText;
    bool m_haveShaped = false;
    ShapedText m_shaped;
};

// The entries by font description. Entries stay where they are for the cache's life.
// As a TextShaper it gives other surfaces the glyphs this one measures and draws.
class FontCache : public TextShaper {
public:
    explicit FontCache(FontResolver &resolver) : m_resolver(resolver) {}
    Q_DISABLE_COPY(FontCache)

    FontEntry &entry(const FontSpec &spec);
    const ShapedText &Shape(const FontSpec &font, std::string_view text) override
    {
        return entry(font).shape(text);
    }
    std::optional<FontInfo> FindFont(std::string_view face) override;
    bool Outline(const GlyphFont &font, std::uint32_t id, GlyphOutline &out) override;

private:
    struct Key {
        std::string face;
        int height;
        int weight;
        bool italic;
        bool operator==(const Key &) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key &k) const;
    };

    FontResolver &m_resolver;
    std::unordered_map<Key, std::unique_ptr<FontEntry>, KeyHash> m_entries;
    const Key *m_lastKey = nullptr;
    FontEntry *m_last = nullptr;
};
