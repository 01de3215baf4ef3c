// The fonts of the QPainter surface with their device-independent metrics, one per
// distinct font description, and the measured lines of the texts drawn in them.
#pragma once

#include "draw/surface.h"
#include "verticalglyphs.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRawFont>
#include <QString>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class FontResolver;

// A text split at its CR LF line breaks, each line with its advance in logical units.
struct TextLayout {
    std::vector<QString> lines;
    std::vector<int> widths;
    TextSize size;
};

// What drawing sideways ("@") text needs beyond the QFont: the font's glyphs and their
// vertical forms.
struct SidewaysGlyphs {
    QRawFont raw;
    VerticalGlyphs vertical;
    qreal emCentre = 0; // centre of the ideographic em box above the baseline
};

// One font description as a QFont of 2 × height logical units. Metrics are taken at that
// size with hinting off and without a paint device, so they are the same integers on
// every device: ascent and descent are rounded, a line is ascent + descent high, a text
// as wide as the rounded advance of its widest line.
// Bold in a face without a bold style (the IPA faces have none) is drawn as the regular
// face struck twice, the second time a little to the right, as Qt's PDF output does:
// Qt's own emboldening is off for fonts as large as logical units make them.
class FontEntry {
public:
    FontEntry(const FontSpec &spec, FontResolver &resolver);
    Q_DISABLE_COPY(FontEntry)

    const QFont &font() const { return m_font; }
    const QFontMetricsF &metrics() const { return m_metrics; }
    int ascent() const { return m_ascent; }
    int lineHeight() const { return m_lineHeight; }
    // The face began with "@": full-width characters stand upright in a turned line.
    bool sideways() const { return m_sideways; }
    // How far right of the first the second impression of synthetic bold lies; 0 when
    // the text is struck once.
    qreal boldStrike() const { return m_boldStrike; }

    // `text` (code page 932) converted, split and measured; kept for the next call.
    const TextLayout &layout(std::string_view text);
    // Loaded on first use.
    const SidewaysGlyphs &sidewaysGlyphs();

private:
    struct Choice {
        QFont font;
        bool sideways = false;
        qreal boldStrike = 0;
    };
    static Choice choose(const FontSpec &spec, FontResolver &resolver);
    explicit FontEntry(Choice choice);

    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const
        {
            return std::hash<std::string_view>{}(s);
        }
    };

    QFont m_font;
    bool m_sideways;
    qreal m_boldStrike;
    QFontMetricsF m_metrics;
    int m_ascent = 0;
    int m_lineHeight = 0;
    std::unordered_map<std::string, TextLayout, StringHash, std::equal_to<>> m_layouts;
    std::unique_ptr<SidewaysGlyphs> m_sidewaysGlyphs;
};

// The entries by font description. Entries stay where they are for the cache's life.
class FontCache {
public:
    explicit FontCache(FontResolver &resolver) : m_resolver(resolver) {}
    Q_DISABLE_COPY(FontCache)

    FontEntry &entry(const FontSpec &spec);

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
