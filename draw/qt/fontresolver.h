// Face names of command files resolved to installed font families.
#pragma once

#include "draw/surface.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// A face name that names an installed font.
struct ResolvedFace {
    QString family;        // the installed family to draw with
    bool sideways = false; // the name began with "@": vertical writing
    FontInfo info;         // what the `/` command records
};

// Resolves face names through the alias table (Windows Japanese faces to the IPA
// families) and the installed families, ignoring letter case and independently of the
// locale: a family is found under any of the names the font database knows it by
// ("IPAMincho" and "IPA明朝"). Every family that covers Japanese also exists with an "@"
// in front. Results are kept, so a name is looked up in the font database only once.
// Needs a QGuiApplication; safe to use from several threads.
class FontResolver {
public:
    // Uses the alias table compiled into the program.
    FontResolver();
    // Uses `aliasTable`, in the format of res/fontaliases.txt.
    explicit FontResolver(const QString &aliasTable);
    Q_DISABLE_COPY(FontResolver)

    // The resolver of this process. The font database is one per process, and so is the
    // index of it.
    static FontResolver &shared();

    // The face named by `face` (code page 932 bytes as the command file wrote it), or
    // nothing when no installed font has that name.
    std::optional<ResolvedFace> resolve(std::string_view face);

    // Every face name the program offers, each once and sorted: the installed families
    // by their names alone (without the foundry the database may add in brackets), the
    // Windows names of the alias table whose families are installed, and for each of
    // these that covers Japanese the same name with "@" in front.
    QStringList faceNames() const;

private:
    struct Alias {
        QStringList families;
        int pitchFamily = 2;
    };

    void readAliases(const QString &table);
    void listFamilies() const;
    std::optional<ResolvedFace> lookup(const QString &name) const;
    QString installedFamily(const QString &name) const;
    bool coversJapanese(const QString &family) const;

    QHash<QString, Alias> m_aliases;    // case-folded alias → families
    QStringList m_aliasNames;           // the aliases as the table spells them
    // The installed families, listed at the first lookup (listFamilies).
    mutable QHash<QString, QString> m_families; // case-folded family name → family
    mutable QStringList m_familyList;           // as the database lists them
    mutable bool m_listed = false;

    mutable std::mutex m_mutex;
    std::unordered_map<std::string, std::optional<ResolvedFace>> m_resolved;
    mutable QHash<QString, bool> m_japanese;
};
