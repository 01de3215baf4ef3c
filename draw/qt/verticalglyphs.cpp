// The vertical-writing data of an OpenType font, read from its GSUB and OS/2 tables.
#include "verticalglyphs.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr quint32 tag(char a, char b, char c, char d)
{
    return quint32(quint8(a)) << 24 | quint32(quint8(b)) << 16 | quint32(quint8(c)) << 8 |
           quint8(d);
}

// Big-endian reads from a font table. A read outside the table gives 0 and marks the
// reader failed, so a parser may read on and check once at the end.
class TableReader {
public:
    explicit TableReader(QByteArrayView data) : m_data(data) {}

    quint16 u16(qint64 offset)
    {
        if (!inside(offset, 2))
            return 0;
        return quint16(byte(offset) << 8 | byte(offset + 1));
    }
    quint32 u32(qint64 offset) { return quint32(u16(offset)) << 16 | u16(offset + 2); }
    bool failed() const { return m_failed; }
    void fail() { m_failed = true; }

private:
    bool inside(qint64 offset, qint64 length)
    {
        if (offset < 0 || offset + length > m_data.size()) {
            m_failed = true;
            return false;
        }
        return true;
    }
    quint32 byte(qint64 offset) const { return quint8(m_data[offset]); }

    QByteArrayView m_data;
    bool m_failed = false;
};

using Substitutions = QHash<quint32, quint32>;

// Calls visit(glyph, coverageIndex) for every glyph of the coverage table at `at`. Stops
// and fails the reader when `budget` (glyphs left to visit over the whole table) runs
// out, which only a malformed table with overlapping or repeated ranges can cause.
template <typename Visit>
void forEachCovered(TableReader &r, qint64 at, qint64 &budget, Visit visit)
{
    const quint16 format = r.u16(at);
    const quint16 count = r.u16(at + 2);
    if (format == 1) {
        for (quint16 i = 0; i < count && !r.failed(); ++i) {
            if (--budget < 0)
                return r.fail();
            visit(r.u16(at + 4 + 2 * qint64(i)), quint32(i));
        }
    } else if (format == 2) {
        for (quint16 i = 0; i < count && !r.failed(); ++i) {
            const qint64 record = at + 4 + 6 * qint64(i);
            const quint16 first = r.u16(record), last = r.u16(record + 2);
            const quint16 startIndex = r.u16(record + 4);
            if (last < first)
                return r.fail();
            budget -= last - first + 1;
            if (budget < 0)
                return r.fail();
            for (quint32 g = first; g <= last; ++g)
                visit(g, startIndex + (g - first));
        }
    } else {
        r.fail();
    }
}

// Adds the substitutions of a single-substitution subtable (lookup type 1) at `at` that
// `into` does not hold yet: the first subtable of a lookup that covers a glyph decides.
void readSingle(TableReader &r, qint64 at, qint64 &budget, Substitutions &into)
{
    const quint16 format = r.u16(at);
    const qint64 coverage = at + r.u16(at + 2);
    if (format == 1) {
        const quint16 delta = r.u16(at + 4);
        forEachCovered(r, coverage, budget, [&](quint32 glyph, quint32) {
            if (!into.contains(glyph))
                into.insert(glyph, (glyph + delta) & 0xFFFF);
        });
    } else if (format == 2) {
        const quint16 count = r.u16(at + 4);
        forEachCovered(r, coverage, budget, [&](quint32 glyph, quint32 index) {
            if (index >= count)
                return r.fail();
            if (!into.contains(glyph))
                into.insert(glyph, r.u16(at + 6 + 2 * qint64(index)));
        });
    } else {
        r.fail();
    }
}

// The single substitutions of the lookup at `at`, including those wrapped in extension
// subtables (type 7); other lookup types contribute nothing.
Substitutions readLookup(TableReader &r, qint64 at, qint64 &budget)
{
    Substitutions lookup;
    const quint16 type = r.u16(at);
    const quint16 subtables = r.u16(at + 4);
    for (quint16 i = 0; i < subtables && !r.failed(); ++i) {
        qint64 subtable = at + r.u16(at + 6 + 2 * qint64(i));
        quint16 subtableType = type;
        if (type == 7) {
            if (r.u16(subtable) != 1)
                continue;
            subtableType = r.u16(subtable + 2);
            subtable += r.u32(subtable + 4);
        }
        if (subtableType == 1)
            readSingle(r, subtable, budget, lookup);
    }
    return lookup;
}

} // namespace

VerticalGlyphs::VerticalGlyphs(QByteArrayView gsub)
{
    TableReader r(gsub);
    if (r.u16(0) != 1)
        return;
    const qint64 featureList = r.u16(6);
    const qint64 lookupList = r.u16(8);

    std::vector<quint16> lookupIndexes;
    const quint16 features = r.u16(featureList);
    for (quint16 i = 0; i < features && !r.failed(); ++i) {
        const qint64 record = featureList + 2 + 6 * qint64(i);
        const quint32 featureTag = r.u32(record);
        if (featureTag != tag('v', 'e', 'r', 't') && featureTag != tag('v', 'r', 't', '2'))
            continue;
        const qint64 feature = featureList + r.u16(record + 4);
        const quint16 count = r.u16(feature + 2);
        for (quint16 j = 0; j < count && !r.failed(); ++j)
            lookupIndexes.push_back(r.u16(feature + 4 + 2 * qint64(j)));
    }
    std::sort(lookupIndexes.begin(), lookupIndexes.end());
    lookupIndexes.erase(std::unique(lookupIndexes.begin(), lookupIndexes.end()),
                        lookupIndexes.end());

    // Lookups apply in list order, each to what the earlier ones produced.
    qint64 budget = 1 << 20;
    const quint16 lookups = r.u16(lookupList);
    Substitutions result;
    for (quint16 index : lookupIndexes) {
        if (index >= lookups || r.failed())
            break;
        const Substitutions lookup =
            readLookup(r, lookupList + r.u16(lookupList + 2 + 2 * qint64(index)), budget);
        for (auto it = result.begin(); it != result.end(); ++it)
            it.value() = lookup.value(it.value(), it.value());
        for (auto it = lookup.cbegin(); it != lookup.cend(); ++it)
            if (!result.contains(it.key()))
                result.insert(it.key(), it.value());
    }
    if (!r.failed())
        m_substitutes = std::move(result);
}

double emBoxCentre(QByteArrayView os2, int unitsPerEm)
{
    constexpr double usual = 0.38;
    TableReader r(os2);
    const auto ascender = qint16(r.u16(68));
    const auto descender = qint16(r.u16(70));
    if (r.failed() || unitsPerEm <= 0 || ascender <= descender ||
        std::abs(ascender - descender - unitsPerEm) > unitsPerEm / 20)
        return usual;
    return (ascender + descender) / 2.0 / unitsPerEm;
}
