// Reading OpenType layout tables (GSUB, GPOS, GDEF): bounds-checked big-endian reads,
// coverage tables, the lookups of chosen features and their subtables.
#pragma once

#include <QByteArrayView>

#include <algorithm>
#include <vector>

constexpr quint32 FontTag(char a, char b, char c, char d)
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

// The indexes, sorted and each once, of the lookups that the features of a GSUB or GPOS
// table use when accept(featureTag) holds, in any script and language.
template <typename Accept>
std::vector<quint16> featureLookups(TableReader &r, Accept accept)
{
    std::vector<quint16> indexes;
    const qint64 featureList = r.u16(6);
    const quint16 features = r.u16(featureList);
    for (quint16 i = 0; i < features && !r.failed(); ++i) {
        const qint64 record = featureList + 2 + 6 * qint64(i);
        if (!accept(r.u32(record)))
            continue;
        const qint64 feature = featureList + r.u16(record + 4);
        const quint16 count = r.u16(feature + 2);
        for (quint16 j = 0; j < count && !r.failed(); ++j)
            indexes.push_back(r.u16(feature + 4 + 2 * qint64(j)));
    }
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    return indexes;
}

// Calls visit(type, subtable, lookupFlag) for every subtable of lookup `index` of a GSUB
// or GPOS table, with extension subtables (lookup type `extensionType`: 7 in GSUB, 9 in
// GPOS) replaced by the subtable they wrap. An index past the lookup list has none.
template <typename Visit>
void forEachSubtable(TableReader &r, quint16 index, quint16 extensionType, Visit visit)
{
    const qint64 lookupList = r.u16(8);
    if (index >= r.u16(lookupList))
        return;
    const qint64 lookup = lookupList + r.u16(lookupList + 2 + 2 * qint64(index));
    const quint16 type = r.u16(lookup);
    const quint16 flag = r.u16(lookup + 2);
    const quint16 subtables = r.u16(lookup + 4);
    for (quint16 i = 0; i < subtables && !r.failed(); ++i) {
        qint64 subtable = lookup + r.u16(lookup + 6 + 2 * qint64(i));
        quint16 subtableType = type;
        if (type == extensionType) {
            if (r.u16(subtable) != 1)
                continue;
            subtableType = r.u16(subtable + 2);
            subtable += r.u32(subtable + 4);
        }
        visit(subtableType, subtable, flag);
    }
}
