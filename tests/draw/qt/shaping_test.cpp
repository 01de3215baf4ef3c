// Shaped text: the glyphs kept per character give exactly what Qt's full shaping gives,
// and the glyph interface names the very glyphs, files and places the surface draws.
#include "canvas.h"

#include "draw/pdf/font.h"
#include "draw/qt/fontcache.h"
#include "draw/qt/fontresolver.h"
#include "engine/codepage.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace {

// Every character of code page 932, as its bytes: printable ASCII, half-width katakana
// and every valid two-byte code (including the user-defined area, which no face has).
std::vector<std::string> allCharacters()
{
    std::vector<std::string> all;
    for (int b = 0x20; b < 0x7F; ++b)
        all.emplace_back(1, char(b));
    for (int b = 0xA1; b <= 0xDF; ++b)
        all.emplace_back(1, char(b));
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead < 0xE0)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string c{char(lead), char(trail)};
            if (trail != 0x7F && cp932::ToUtf8(c).find("\xEF\xBF\xBD") == std::string::npos)
                all.push_back(c);
        }
    }
    return all;
}

using Glyph = std::tuple<QString, quint32, qreal, qreal>; // face, glyph, x, y from baseline

std::vector<Glyph> shapedGlyphs(const FontEntry &entry, const ShapedLine &line)
{
    std::vector<Glyph> glyphs;
    for (const ShapedRun &run : line.runs)
        for (const ShapedGlyph &g : run.glyphs)
            glyphs.emplace_back(entry.rawFont(run.font).familyName(), g.id, g.x, g.y);
    return glyphs;
}

std::vector<Glyph> laidOutGlyphs(const QFont &font, const QString &text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    std::vector<Glyph> glyphs;
    for (const QGlyphRun &run : line.glyphRuns()) {
        const QList<quint32> ids = run.glyphIndexes();
        const QList<QPointF> at = run.positions();
        for (qsizetype i = 0; i < ids.size(); ++i)
            glyphs.emplace_back(run.rawFont().familyName(), ids[i], at[i].x(),
                                at[i].y() - line.ascent());
    }
    return glyphs;
}

QTransform toTransform(const TextTransform &t)
{
    return QTransform(t.a, t.b, t.c, t.d, t.e, t.f);
}

// Draws `text` in `spec` into the block from the glyph interface alone: each run's face
// loaded from its file, each glyph where PlaceGlyph puts it, slanted and struck as told.
QImage drawnFromInterface(TextShaper &shaper, const FontSpec &spec, const std::string &text,
                          int l, int t, int r, int b)
{
    Canvas c(60, 60, 300);
    const ShapedText &shaped = shaper.Shape(spec, text);
    const TextBlock block = *DrawTextBlock(l, t, r, b, TextAlign::Center, spec, shaped);
    const QTransform base = QTransform::fromScale(300 / 1440.0, 300 / 1440.0);
    for (std::size_t i = 0; i < shaped.lines.size(); ++i) {
        const ShapedLine &line = shaped.lines[i];
        const QTransform lineFrame =
            QTransform::fromTranslate(LineLeft(block, line), LineTop(shaped, i)) *
            toTransform(block.frame) * base;
        for (const ShapedRun &run : line.runs) {
            EXPECT_EQ(run.font->faceIndex, 0); // every installed test face is a single face
            QGlyphRun glyph;
            glyph.setRawFont(QRawFont(QString::fromStdString(run.font->file), run.font->size,
                                      QFont::PreferNoHinting));
            const QTransform slant(1, 0, -run.font->slant, 1, 0, 0);
            for (const ShapedGlyph &g : run.glyphs) {
                glyph.setGlyphIndexes({g.id});
                glyph.setPositions({QPointF(0, 0)});
                for (qreal strike : {0.0, shaped.boldStrike}) {
                    c.painter.setTransform(QTransform::fromTranslate(strike, 0) * slant *
                                           toTransform(PlaceGlyph(shaped, g)) * lineFrame);
                    c.painter.drawGlyphRun(QPointF(0, 0), glyph);
                    if (shaped.boldStrike == 0)
                        break;
                }
            }
        }
    }
    return c.finish();
}

// Share of the inked pixels that differ clearly between two images.
double difference(const QImage &a, const QImage &b)
{
    int inked = 0, differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int ga = qGray(a.pixel(x, y)), gb = qGray(b.pixel(x, y));
            inked += ga < 200 || gb < 200;
            differing += std::abs(ga - gb) > 64;
        }
    return double(differing) / std::max(inked, 1);
}

} // namespace

TEST(TextShaping, GivesWhatQtsFullShapingGives)
{
    // Random lines from every character of the code page, and from the one-byte ones
    // (Latin runs, where ligatures and kerning pairs abound), in faces with and without
    // layout features, at sizes, weights and slants that change the advances.
    const std::vector<std::string> all = allCharacters();
    const std::vector<std::string> oneByte(all.begin(), all.begin() + 0x5F + 0x3F);
    std::vector<std::string> lines;
    std::mt19937 random(932);
    for (const std::vector<std::string> *pool : {&all, &oneByte})
        for (int i = 0; i < 300; ++i) {
            std::string line;
            for (int n = 1 + int(random() % 24); n > 0; --n)
                line += (*pool)[random() % pool->size()];
            lines.push_back(line);
        }
    for (const char *odd : {"office fi ffl AVAV To", "waffle flow", "No.00001-00 B", "ab\tc   ", "",
                            "か\xE3\x82\x9B", "漢字①", "A\xCC\x81"}) // ゛ and a combining acute
        lines.push_back(cp932::FromUtf8(odd));

    FontResolver &resolver = FontResolver::shared();
    for (const FontSpec &spec : {MakeFont("ＭＳ 明朝"), MakeFont("ＭＳ Ｐゴシック", 28, 700),
                                 MakeFont("DejaVu Sans", 333, 400, true), MakeFont("DejaVu Sans", 95, 700)}) {
        FontEntry entry(spec, resolver);
        const QFontMetricsF metrics(entry.font());
        for (const std::string &line : lines) {
            const QString text = QString::fromStdString(cp932::ToUtf8(line));
            ASSERT_EQ(entry.measure(line).width, qRound(metrics.horizontalAdvance(text)))
                << spec.face << " " << text.toStdString();
            const ShapedText &shaped = entry.shape(line);
            ASSERT_EQ(shaped.lines.size(), 1u);
            ASSERT_EQ(shapedGlyphs(entry, shaped.lines[0]), laidOutGlyphs(entry.font(), text))
                << spec.face << " " << text.toStdString();
        }
    }
}

TEST(TextShaping, TheGlyphInterfaceNamesWhatTheSurfaceDraws)
{
    struct Case {
        const char *face;
        int weight;
        bool italic;
        const char *text;
        const char *file; // of the first run
    };
    const Case cases[] = {
        // The Windows faces draw in the IPA fonts; synthetic bold and slant.
        {"ＭＳ 明朝", 700, true, "漢字かな、カタカナ。", "ipafont-mincho/ipam.ttf"},
        {"DejaVu Sans", 400, false, "office fi Zentova", "dejavu/DejaVuSans.ttf"},
        // Kanji from a fallback face.
        {"DejaVu Sans", 400, false, "Text 漢字 ①", "dejavu/DejaVuSans.ttf"},
        // Upright characters in their vertical forms.
        {"@ＭＳ ゴシック", 400, false, "縦書き（ABC）ー。", "ipafont-gothic/ipag.ttf"},
    };
    pdf::FontLibrary fonts;
    for (const Case &k : cases) {
        const FontSpec spec = MakeFont(k.face, 200, k.weight, k.italic);
        const std::string text = cp932::FromUtf8(k.text);
        Canvas surface(60, 60, 300);
        const TextSize size = surface.surface.MeasureText(spec, text);
        const bool sideways = spec.escapement == 2700;
        const int l = sideways ? 400 + size.height : 200, t = 400;
        const int r = sideways ? 400 : 200 + size.width + 300, b = t + (sideways ? size.width : size.height);
        surface.surface.DrawText(l, t, r, b, TextAlign::Center, spec, 0, text);
        const QImage drawn = surface.finish();
        ASSERT_FALSE(inkBounds(drawn).isEmpty()) << k.text;

        const QImage fromFiles = drawnFromInterface(surface.surface.shaper(), spec, text, l, t, r, b);
        EXPECT_LT(difference(drawn, fromFiles), 0.01) << k.text;

        // Every character is named by some glyph, in order, for copying and searching;
        // the PDF writer reads the same faces, with the advances the glyphs were placed by.
        const ShapedLine &line = surface.surface.shaper().Shape(spec, text).lines.at(0);
        EXPECT_TRUE(QString::fromStdString(line.runs.at(0).font->file).endsWith(k.file)) << k.text;
        std::u32string named;
        for (const ShapedRun &run : line.runs) {
            const pdf::FontLoad face = fonts.Load(run.font->file, run.font->faceIndex);
            ASSERT_TRUE(face.font && face.font->Embeddable()) << run.font->file;
            for (const ShapedGlyph &g : run.glyphs) {
                named += line.text.substr(g.textStart, g.textLength);
                if (!g.upright) { // upright glyphs are in their vertical forms
                    EXPECT_NEAR(face.font->Width(g.id) * run.font->size / 1000, g.advance, 0.05);
                }
            }
        }
        EXPECT_EQ(named, QString::fromUtf8(k.text).toStdU32String()) << k.text;
    }
}
