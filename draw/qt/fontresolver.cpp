// Face names of command files resolved to installed font families.
#include "fontresolver.h"

#include "engine/codepage.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QSet>

#include <algorithm>

namespace {

constexpr int kJapaneseCharset = 128; // SHIFTJIS_CHARSET
constexpr int kOtherCharset = 0;      // ANSI_CHARSET
constexpr int kFixedPitch = 1;
constexpr int kVariablePitch = 2;

// "C059 [urw]" → "C059": the font database tags a family with its foundry when several
// foundries provide it.
QString withoutFoundry(const QString &family)
{
    if (!family.endsWith(QLatin1Char(']')))
        return family;
    const qsizetype open = family.lastIndexOf(QStringLiteral(" ["));
    return open > 0 ? family.left(open) : family;
}

QString compiledAliasTable()
{
    QFile file(QStringLiteral(":/zentova/fontaliases.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

FontResolver::FontResolver() : FontResolver(compiledAliasTable()) {}

FontResolver::FontResolver(const QString &aliasTable)
{
    readAliases(aliasTable);
}

// The installed families, listed at the first lookup: listing them has Qt load the
// font configuration and every font's description, which a job that shows no text
// (zentova-print --check of a ruled form) never needs.
void FontResolver::listFamilies() const
{
    if (m_listed)
        return;
    m_listed = true;
    m_familyList = QFontDatabase::families();
    for (const QString &family : std::as_const(m_familyList))
        m_families.insert(family.toCaseFolded(), family);
    // A family of several foundries is also found by its name alone, as the first
    // foundry the database lists.
    for (const QString &family : std::as_const(m_familyList)) {
        const QString name = withoutFoundry(family).toCaseFolded();
        if (!m_families.contains(name))
            m_families.insert(name, family);
    }
}

FontResolver &FontResolver::shared()
{
    static FontResolver resolver;
    return resolver;
}

// Lines "PITCH ALIAS = FAMILY, FAMILY, ..."; blank lines and lines starting with "#" are
// skipped, and so are lines that do not have that shape.
void FontResolver::readAliases(const QString &table)
{
    const QStringList lines = table.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype blank = line.indexOf(QLatin1Char(' '));
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (blank < 0 || equals < blank)
            continue;
        const QString pitch = line.left(blank);
        const QString alias = line.mid(blank + 1, equals - blank - 1).trimmed();
        if (alias.isEmpty() || (pitch != u"fixed" && pitch != u"variable"))
            continue;
        Alias entry;
        entry.pitchFamily = pitch == u"fixed" ? kFixedPitch : kVariablePitch;
        for (const QString &family : line.mid(equals + 1).split(QLatin1Char(',')))
            if (!family.trimmed().isEmpty())
                entry.families.append(family.trimmed());
        m_aliases.insert(alias.toCaseFolded(), entry);
        m_aliasNames.append(alias);
    }
}

std::optional<ResolvedFace> FontResolver::resolve(std::string_view face)
{
    std::lock_guard lock(m_mutex);
    listFamilies();
    const auto known = m_resolved.find(std::string(face));
    if (known != m_resolved.end())
        return known->second;
    std::optional<ResolvedFace> result =
        lookup(QString::fromStdString(cp932::ToUtf8(face)));
    m_resolved.emplace(face, result);
    return result;
}

// An installed family first (a real font of that name wins), then the alias table, then
// the other names the font database knows families by.
std::optional<ResolvedFace> FontResolver::lookup(const QString &name) const
{
    const bool sideways = name.startsWith(QLatin1Char('@'));
    const QString base = sideways ? name.mid(1) : name;
    if (base.isEmpty())
        return std::nullopt;

    QString family = m_families.value(base.toCaseFolded());
    std::optional<int> pitch;
    if (family.isEmpty()) {
        const auto alias = m_aliases.constFind(base.toCaseFolded());
        if (alias != m_aliases.constEnd()) {
            for (const QString &candidate : alias->families) {
                family = installedFamily(candidate);
                if (!family.isEmpty())
                    break;
            }
            if (family.isEmpty())
                return std::nullopt;
            pitch = alias->pitchFamily;
        }
    }
    if (family.isEmpty())
        family = installedFamily(base);
    if (family.isEmpty())
        return std::nullopt;

    const bool japanese = coversJapanese(family);
    if (sideways && !japanese)
        return std::nullopt;
    ResolvedFace face;
    face.family = family;
    face.sideways = sideways;
    face.info.charset = japanese ? kJapaneseCharset : kOtherCharset;
    face.info.pitchFamily =
        pitch ? *pitch : QFontDatabase::isFixedPitch(family) ? kFixedPitch : kVariablePitch;
    return face;
}

// The installed family that `name` names, under the name the database lists it by, or
// an empty string.
QString FontResolver::installedFamily(const QString &name) const
{
    const QString listed = m_families.value(name.toCaseFolded());
    if (!listed.isEmpty())
        return listed;
    // A comma would make QFont read the name as a list of families.
    if (name.contains(QLatin1Char(',')) || !QFontDatabase::hasFamily(name))
        return {};
    // Another name of an installed family ("IPA明朝" where the database lists
    // "IPAMincho"): the font that a QFont of that name gets is that family.
    return m_families.value(QFontInfo(QFont(name)).family().toCaseFolded());
}

bool FontResolver::coversJapanese(const QString &family) const
{
    const auto known = m_japanese.constFind(family);
    if (known != m_japanese.constEnd())
        return *known;
    const bool japanese =
        QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese);
    m_japanese.insert(family, japanese);
    return japanese;
}

QStringList FontResolver::faceNames() const
{
    std::lock_guard lock(m_mutex);
    listFamilies();
    QStringList names;
    QSet<QString> listed; // case-folded: a name differing only in case is the same face
    auto offer = [&](const QString &name) {
        if (!listed.contains(name.toCaseFolded())) {
            listed.insert(name.toCaseFolded());
            names.append(name);
        }
    };
    for (const QString &family : m_familyList) {
        const QString name = withoutFoundry(family);
        offer(name);
        if (coversJapanese(family))
            offer(QLatin1Char('@') + name);
    }
    // The Windows names command files use, where a family stands in for them.
    for (const QString &alias : m_aliasNames) {
        if (!lookup(alias))
            continue;
        offer(alias);
        if (lookup(QLatin1Char('@') + alias))
            offer(QLatin1Char('@') + alias);
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return names;
}
