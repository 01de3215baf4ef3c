// Face names resolved to installed families, as the `/` command sees them.
#include "draw/qt/fontresolver.h"
#include "draw/qt/qtsurface.h"

#include "engine/codepage.h"

#include <QFontDatabase>
#include <QSet>

#include <gtest/gtest.h>

namespace {

// IPA Mincho under the name the font database gives it in an English or Japanese locale.
bool isIpaMincho(const std::optional<ResolvedFace> &face)
{
    return face && (face->family == u"IPAMincho" || face->family == QString::fromUtf8("IPA明朝"));
}

} // namespace

TEST(FontResolver, FindsTheFacesCommandFilesName)
{
    QtSurface surface(nullptr, 1440, 1440);
    struct Case {
        const char *face;
        int charset, pitchFamily;
    };
    for (const Case &c :
         {Case{"ＭＳ 明朝", 128, 1}, Case{"ms gothic", 128, 1}, Case{"@ＭＳ ゴシック", 128, 1},
          Case{"ＭＳ Ｐゴシック", 128, 2}, Case{"@MS UI Gothic", 128, 2},
          Case{"DejaVu Sans", 0, 2}}) {
        const std::optional<FontInfo> info = surface.FindFont(cp932::FromUtf8(c.face));
        ASSERT_TRUE(info) << c.face;
        EXPECT_EQ(info->charset, c.charset) << c.face;
        EXPECT_EQ(info->pitchFamily, c.pitchFamily) << c.face;
    }
    ASSERT_TRUE(surface.FindFont("IPAMincho"));
    EXPECT_EQ(surface.FindFont("IPAMincho")->charset, 128);

    ASSERT_FALSE(QFontDatabase::writingSystems("DejaVu Sans").contains(QFontDatabase::Japanese));
    for (const char *face : {"@DejaVu Sans", "NoSuchFace", "@NoSuchFace", "@", "@@IPAMincho"})
        EXPECT_FALSE(surface.FindFont(face)) << face;

    EXPECT_TRUE(isIpaMincho(FontResolver::shared().resolve(cp932::FromUtf8("ＭＳ 明朝"))));
    EXPECT_TRUE(FontResolver::shared().resolve("@MS Mincho")->sideways);

}

TEST(FontResolver, FindsAliasTargetsUnderAnyOfTheirNames)
{
    // The database lists the IPA faces under one name per locale; a table naming them by
    // the other one must still find them.
    FontResolver resolver(QString::fromUtf8("# test table\n"
                                            "fixed    Japanese Name = IPA明朝\n"
                                            "fixed    English Name = IPAMincho\n"
                                            "variable Second = NoSuchFace, IPAGothic\n"
                                            "not a line of the table\n"));
    EXPECT_TRUE(isIpaMincho(resolver.resolve("Japanese Name")));
    EXPECT_TRUE(isIpaMincho(resolver.resolve("@japanese name")));
    EXPECT_TRUE(isIpaMincho(resolver.resolve("English Name")));
    EXPECT_EQ(resolver.resolve("English Name")->info.pitchFamily, 1);
    ASSERT_TRUE(resolver.resolve("Second"));
    EXPECT_EQ(resolver.resolve("Second")->info.pitchFamily, 2);
    EXPECT_FALSE(resolver.resolve("not a line of the table"));
    EXPECT_FALSE(resolver.resolve(cp932::FromUtf8("ＭＳ 明朝"))) << "only the given table";
}

// The font dialog's list: every face once, by its family name alone (the database adds
// the foundry in brackets when several provide a family), the Windows names that command
// files use, and "@" forms only where the face covers Japanese; each listed name resolves.
TEST(FontResolver, OffersEveryFaceOnceWithTheWindowsNames)
{
    const QStringList names = FontResolver::shared().faceNames();
    QSet<QString> folded;
    for (const QString &name : names) {
        EXPECT_FALSE(name.endsWith(u']')) << name.toStdString();
        EXPECT_TRUE(FontResolver::shared().resolve(cp932::FromUtf8(name.toStdString())))
            << name.toStdString();
        folded.insert(name.toCaseFolded());
    }
    EXPECT_EQ(folded.size(), names.size()) << "a face is listed twice";

    for (const char *windows : {"ＭＳ 明朝", "@ＭＳ 明朝", "ＭＳ ゴシック", "@ＭＳ ゴシック",
                                "ＭＳ Ｐ明朝", "ＭＳ Ｐゴシック", "@ＭＳ Ｐゴシック", "MS Gothic",
                                "@MS PMincho", "DejaVu Sans"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(windows))) << windows;
    EXPECT_FALSE(names.contains(QStringLiteral("@DejaVu Sans")));

    // A family of several foundries ("C059 [urw]", "C059 [UKWN]") is listed once, by name.
    for (const QString &family : QFontDatabase::families()) {
        const qsizetype tag = family.lastIndexOf(QStringLiteral(" ["));
        if (tag > 0 && family.endsWith(u']')) {
            EXPECT_EQ(names.count(family.left(tag)), 1) << family.toStdString();
        }
    }
}
