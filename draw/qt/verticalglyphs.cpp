// The vertical-writing data of an OpenType font, read from its GSUB and OS/2 tables.
#include "verticalglyphs.h"

#include "fonttable.h"

#include <cstdlib>
#include <vector>

namespace {

using Substitutions = QHash<quint32, quint32>;

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

} // namespace

VerticalGlyphs::VerticalGlyphs(QByteArrayView gsub)
{
    TableReader r(gsub);
    if (r.u16(0) != 1)
        return;
    const std::vector<quint16> lookupIndexes = featureLookups(r, [](quint32 featureTag) {
        return featureTag == FontTag('v', 'e', 'r', 't') || featureTag == FontTag('v', 'r', 't', '2');
    });

    // Lookups apply in list order, each to what the earlier ones produced. Only their
    // single substitutions (type 1) count.
    qint64 budget = 1 << 20;
    const quint16 lookups = r.u16(r.u16(8));
    Substitutions result;
    for (quint16 index : lookupIndexes) {
        if (index >= lookups || r.failed())
            break;
        Substitutions lookup;
        forEachSubtable(r, index, 7, [&](quint16 type, qint64 subtable, quint16) {
            if (type == 1)
                readSingle(r, subtable, budget, lookup);
        });
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
