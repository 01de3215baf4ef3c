// Which glyphs of a font the shaping of horizontal text may change or move, read from its
// OpenType layout tables.
#include "layoutglyphs.h"

#include "fonttable.h"

#include <array>

namespace {

// The features the shaper applies to horizontal text in every script that needs no
// script-specific shaping (Latin, Greek, Cyrillic, kana, kanji, common punctuation).
// Kerning is not among them: the surface's fonts turn it off.
constexpr std::array kDefaultFeatures = {
    FontTag('a', 'b', 'v', 'm'), FontTag('b', 'l', 'w', 'm'), FontTag('c', 'a', 'l', 't'),
    FontTag('c', 'c', 'm', 'p'), FontTag('c', 'l', 'i', 'g'), FontTag('c', 'u', 'r', 's'),
    FontTag('d', 'i', 's', 't'), FontTag('d', 'n', 'o', 'm'), FontTag('f', 'r', 'a', 'c'),
    FontTag('l', 'i', 'g', 'a'), FontTag('l', 'o', 'c', 'l'), FontTag('l', 't', 'r', 'a'),
    FontTag('l', 't', 'r', 'm'), FontTag('m', 'a', 'r', 'k'), FontTag('m', 'k', 'm', 'k'),
    FontTag('n', 'u', 'm', 'r'), FontTag('r', 'a', 'n', 'd'), FontTag('r', 'c', 'l', 't'),
    FontTag('r', 'l', 'i', 'g'), FontTag('r', 'v', 'r', 'n'),
};

bool isDefaultFeature(quint32 featureTag)
{
    for (quint32 t : kDefaultFeatures)
        if (t == featureTag)
            return true;
    return false;
}

// Lookup flags under which a ligature may skip base glyphs or ligatures between its
// components.
constexpr quint16 kSkipsBases = 0x0002 | 0x0004;

// The coverage table that decides whether a subtable applies at the current glyph: the
// first input glyph's. Returns -1 for a type or format this reader does not know.
qint64 firstCoverage(TableReader &r, quint16 type, qint64 subtable, bool substitutions)
{
    const quint16 contextType = substitutions ? 5 : 7;
    const quint16 chainType = substitutions ? 6 : 8;
    const quint16 lastType = substitutions ? 8 : 9;
    const quint16 format = r.u16(subtable);
    if (type == contextType || type == chainType) {
        if (format == 1 || format == 2)
            return subtable + r.u16(subtable + 2);
        if (format != 3)
            return -1;
        // Format 3 lists a coverage per glyph; chained rules put the backtrack first.
        const qint64 backtrack = type == chainType ? 2 + 2 * qint64(r.u16(subtable + 2)) : 0;
        if (r.u16(subtable + 2 + backtrack) == 0)
            return -1;
        return subtable + r.u16(subtable + 4 + backtrack);
    }
    if (type == 0 || type > lastType)
        return -1;
    return subtable + r.u16(subtable + 2);
}

} // namespace

LayoutGlyphs::LayoutGlyphs(QByteArrayView gsub, QByteArrayView gpos, QByteArrayView gdef,
                           bool otherShaping)
{
    m_all = otherShaping || !readTable(gsub, true) || !readTable(gpos, false);
    if (!m_all)
        readGlyphClasses(gdef);
}

void LayoutGlyphs::mark(quint32 glyph, Flag flag)
{
    if (glyph >= m_flags.size())
        m_flags.resize(glyph + 1);
    m_flags[glyph] |= flag;
}

// The glyphs at which a lookup of a default feature can apply. Ligatures are kept as
// pairs of their first two glyphs, unless the lookup may skip glyphs between them.
bool LayoutGlyphs::readTable(QByteArrayView table, bool substitutions)
{
    if (table.isEmpty())
        return true;
    TableReader r(table);
    if (r.u16(0) != 1)
        return false;
    // Feature variations swap features by conditions this reader does not evaluate.
    if (r.u16(2) >= 1 && r.u32(10) != 0)
        return false;
    qint64 budget = 1 << 22;
    for (quint16 index : featureLookups(r, isDefaultFeature)) {
        forEachSubtable(r, index, substitutions ? 7 : 9,
                        [&](quint16 type, qint64 subtable, quint16 flag) {
            if (!substitutions || type != 4) {
                const qint64 coverage = firstCoverage(r, type, subtable, substitutions);
                if (coverage < 0)
                    return r.fail();
                forEachCovered(r, coverage, budget,
                               [&](quint32 glyph, quint32) { mark(glyph, Contextual); });
                return;
            }
            if (r.u16(subtable) != 1)
                return r.fail();
            const quint16 sets = r.u16(subtable + 4);
            forEachCovered(r, subtable + r.u16(subtable + 2), budget,
                           [&](quint32 first, quint32 index) {
                if (flag & kSkipsBases)
                    return mark(first, Contextual);
                if (index >= sets)
                    return r.fail();
                const qint64 set = subtable + r.u16(subtable + 6 + 2 * qint64(index));
                const quint16 ligatures = r.u16(set);
                for (quint16 i = 0; i < ligatures && !r.failed(); ++i) {
                    if (--budget < 0)
                        return r.fail();
                    const qint64 ligature = set + r.u16(set + 2 + 2 * qint64(i));
                    if (r.u16(ligature + 2) < 2) {
                        mark(first, Contextual);
                        continue;
                    }
                    const quint32 second = r.u16(ligature + 4);
                    mark(first, Starts);
                    mark(second, Continues);
                    m_pairs.insert(first << 16 | second);
                }
            });
        });
        if (r.failed())
            return false;
    }
    return !r.failed();
}

// Marks (glyph class 3) attach to their neighbours.
void LayoutGlyphs::readGlyphClasses(QByteArrayView gdef)
{
    if (gdef.isEmpty())
        return;
    TableReader r(gdef);
    const quint16 offset = r.u16(4);
    if (r.u16(0) != 1 || offset == 0) {
        m_all = r.failed() || r.u16(0) != 1;
        return;
    }
    const quint16 format = r.u16(offset);
    if (format == 1) {
        const quint16 start = r.u16(offset + 2), count = r.u16(offset + 4);
        for (quint16 i = 0; i < count && !r.failed(); ++i)
            if (r.u16(offset + 6 + 2 * qint64(i)) == 3)
                mark(start + i, Contextual);
    } else if (format == 2) {
        const quint16 ranges = r.u16(offset + 2);
        for (quint16 i = 0; i < ranges && !r.failed(); ++i) {
            const qint64 record = offset + 4 + 6 * qint64(i);
            const quint16 first = r.u16(record), last = r.u16(record + 2);
            if (r.u16(record + 4) == 3)
                for (quint32 g = first; g <= last; ++g)
                    mark(g, Contextual);
        }
    } else {
        r.fail();
    }
    if (r.failed())
        m_all = true;
}
