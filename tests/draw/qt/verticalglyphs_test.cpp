// What the layout tables of real and malformed fonts say: vertical forms, and the glyphs
// that shaping may change.
#include "draw/qt/layoutglyphs.h"
#include "draw/qt/verticalglyphs.h"

#include <QRawFont>

#include <gtest/gtest.h>

#include <vector>

namespace {

QRawFont ipaMincho()
{
    return QRawFont(QStringLiteral("/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf"), 240,
                    QFont::PreferNoHinting);
}

// A table of big-endian 16-bit words.
QByteArray table(const std::vector<quint16> &words)
{
    QByteArray bytes;
    for (quint16 w : words) {
        bytes.append(char(w >> 8));
        bytes.append(char(w & 0xFF));
    }
    return bytes;
}

} // namespace

TEST(VerticalGlyphs, ReadsTheVerticalFormsOfIpaMincho)
{
    const QRawFont raw = ipaMincho();
    ASSERT_TRUE(raw.isValid());
    const VerticalGlyphs vertical(raw.fontTable("GSUB"));
    for (const char *character : {"、", "。", "「", "』", "（", "】", "ー", "～", "ぁ", "ッ"}) {
        const QList<quint32> glyph = raw.glyphIndexesForString(QString::fromUtf8(character));
        ASSERT_EQ(glyph.size(), 1);
        EXPECT_NE(vertical.substitute(glyph[0]), glyph[0]) << character;
    }
    const quint32 kanji = raw.glyphIndexesForString(QString::fromUtf8("漢"))[0];
    EXPECT_EQ(vertical.substitute(kanji), kanji);

    // The ideographic em box of IPA Mincho: 1802 units above the baseline, 246 below.
    EXPECT_NEAR(emBoxCentre(raw.fontTable("OS/2"), 2048), 778.0 / 2048, 1e-9);
    EXPECT_DOUBLE_EQ(emBoxCentre(QByteArrayView(), 2048), 0.38);
}

TEST(VerticalGlyphs, MalformedTablesYieldNoSubstitutions)
{
    const QByteArray gsub = ipaMincho().fontTable("GSUB");
    const qsizetype all = VerticalGlyphs(gsub).size();
    ASSERT_GT(all, 50);
    // Cut short anywhere, the table gives all of its substitutions (the cut missed them)
    // or none; it never reads past its end (the sanitizer builds check that).
    for (qsizetype length = 0; length < gsub.size(); ++length) {
        const qsizetype n = VerticalGlyphs(QByteArrayView(gsub.constData(), length)).size();
        EXPECT_TRUE(n == 0 || n == all) << length;
    }
    EXPECT_EQ(VerticalGlyphs(QByteArray(64, '\xFF')).size(), 0);
}

TEST(VerticalGlyphs, FollowsExtensionLookupsOfTheVertFeatureOnly)
{
    // Offsets in the comments are byte offsets into the table.
    std::vector<quint16> words = {
        1, 0, 0, 10, 36,     //  0: version 1.0, no scripts, features at 10, lookups at 36
        2,                   // 10: two features:
        0x6C69, 0x6761, 14,  //     'liga' at 10 + 14
        0x7665, 0x7274, 20,  //     'vert' at 10 + 20
        0, 1, 1,             // 24: 'liga' uses lookup 1
        0, 1, 0,             // 30: 'vert' uses lookup 0
        2, 6, 44,            // 36: two lookups, at 36 + 6 and 36 + 44
        7, 0, 1, 8,          // 42: lookup 0, an extension with one subtable at 42 + 8
        1, 1, 0, 8,          // 50: extension of a type 1 subtable at 50 + 8
        2, 12, 3, 20, 21, 22, // 58: format 2, coverage at 58 + 12, substitutes 20 21 22
        2, 1, 10, 12, 0,     // 70: coverage of glyphs 10 to 12
        1, 0, 1, 8,          // 80: lookup 1, type 1 with one subtable at 80 + 8
        1, 6, 5,             // 88: format 1, coverage at 88 + 6, glyph + 5
        1, 1, 30,            // 94: coverage of glyph 30
    };
    const VerticalGlyphs vertical(table(words));
    EXPECT_EQ(vertical.substitute(10), 20u);
    EXPECT_EQ(vertical.substitute(11), 21u);
    EXPECT_EQ(vertical.substitute(12), 22u);
    EXPECT_EQ(vertical.substitute(13), 13u);
    EXPECT_EQ(vertical.substitute(30), 30u);

    words[76 / 2] = 13; // the range now needs a fourth substitute, which is not there
    EXPECT_EQ(VerticalGlyphs(table(words)).size(), 0);
}

TEST(LayoutGlyphs, KeepsApartWhatTheDefaultFeaturesChange)
{
    const QRawFont dejavu(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"), 240,
                          QFont::PreferNoHinting);
    ASSERT_TRUE(dejavu.isValid());
    auto glyph = [&](const QRawFont &raw, const char *utf8) {
        return raw.glyphIndexesForString(QString::fromUtf8(utf8)).value(0);
    };
    const QByteArray gsub = dejavu.fontTable("GSUB"), gpos = dejavu.fontTable("GPOS"),
                     gdef = dejavu.fontTable("GDEF");
    const LayoutGlyphs full(gsub, gpos, gdef, false);
    // Ligatures are pairs; kerning is off; "i" loses its dot before marks; marks attach.
    EXPECT_TRUE(full.ligaturePair(glyph(dejavu, "f"), glyph(dejavu, "l")));
    EXPECT_FALSE(full.ligaturePair(glyph(dejavu, "l"), glyph(dejavu, "f")));
    EXPECT_FALSE(full.contextual(glyph(dejavu, "f")));
    EXPECT_FALSE(full.contextual(glyph(dejavu, "A")));
    EXPECT_TRUE(full.contextual(glyph(dejavu, "i")));
    EXPECT_TRUE(full.contextual(glyph(dejavu, "\xCC\x81")));
    // IPA Mincho composes kana with a combining sound mark, never with the spacing one.
    const QRawFont mincho = ipaMincho();
    const LayoutGlyphs ipa(mincho.fontTable("GSUB"), mincho.fontTable("GPOS"),
                           mincho.fontTable("GDEF"), false);
    EXPECT_TRUE(ipa.ligaturePair(glyph(mincho, "か"), glyph(mincho, "\xE3\x82\x99")));
    EXPECT_FALSE(ipa.continuesLigature(glyph(mincho, "゛")));
    EXPECT_FALSE(ipa.contextual(glyph(mincho, "漢")));
    EXPECT_TRUE(LayoutGlyphs({}, {}, {}, true).contextual(glyph(mincho, "漢")));

    // A table cut short anywhere makes every glyph contextual or reads whole: never a
    // half-read answer.
    const quint32 f = glyph(dejavu, "f"), A = glyph(dejavu, "A");
    for (qsizetype length = 1; length < gsub.size(); length += 7) {
        const LayoutGlyphs cut(QByteArrayView(gsub.constData(), length), gpos, gdef, false);
        EXPECT_TRUE(cut.contextual(A) || cut.ligaturePair(f, glyph(dejavu, "l"))) << length;
    }
}
