// The PDF writer's pieces: numbers and strings, page content, the ToUnicode map.
#include "pdfcheck.h"

#include "draw/pdf/font.h"
#include "draw/pdf/page.h"
#include "draw/pdf/syntax.h"
#include "draw/pdf/tounicode.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::string real(double value, int decimals = 2)
{
    std::string out;
    pdf::AppendReal(out, value, decimals);
    return out;
}

// The uncompressed content of a page after `draw`, without the opening matrix line.
template <typename Draw>
std::string content(Draw draw)
{
    pdf::Page page(2100, 2970);
    draw(page);
    page.Finish(-1);
    const std::string &all = page.Content();
    return all.substr(all.find('\n') + 1);
}

int count(const std::string &text, const std::string &what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(PdfSyntax, NumbersNamesAndStrings)
{
    const struct {
        double value;
        int decimals;
        const char *text;
    } numbers[] = {
        {12, 2, "12"},     {0.05, 2, "0.05"},        {-3.5, 2, "-3.5"},     {-0.001, 2, "0"},
        {2.675, 1, "2.7"}, {1e20, 2, "1000000000000"}, {std::nan(""), 2, "0"}, {0.125, 4, "0.125"},
    };
    for (const auto &n : numbers)
        EXPECT_EQ(real(n.value, n.decimals), n.text) << n.value;

    std::string name;
    pdf::AppendName(name, "A B/(x)#");
    EXPECT_EQ(name, "/A#20B#2F#28x#29#23");

    std::string text;
    pdf::AppendTextString(text, "a(b)\\");
    pdf::AppendTextString(text, "帳票");
    pdf::AppendUtf16Hex(text, "\xF0\x9F\x98\x80\xFF"); // U+1F600, then a stray byte
    EXPECT_EQ(text, "(a\\(b\\)\\\\)<FEFF5E337968>D83DDE00FFFD");
}

TEST(PdfContent, RulesWithOnePenAreOneStroke)
{
    const std::string rules = content([](pdf::Page &page) {
        page.SetLineWidth(0);
        page.StrokeLine(0, 0, 10, 0);
        for (int i = 0; i < 31; ++i)
            page.StrokeLine(500, 1000 + 100 * i, 10000, 1000 + 100 * i);
        page.SetStrokeColor(0x0000FF);
        page.StrokeLine(500, 500, 600, 500);
        page.StrokeLine(600, 500, 600, 600); // goes on from the last end: no new subpath
        page.SetLineWidth(10);
        page.SetDash(std::vector<double>{68, 22.7});
        page.StrokeLine(0, 0, 100, 0);
        page.StrokeLine(100, 0, 200, 0); // dashes restart: a new subpath
    });
    EXPECT_EQ(count(rules, "S\n"), 3);
    EXPECT_EQ(count(rules, " m "), 1 + 31 + 1 + 2);
    EXPECT_EQ(rules.find("0 w\n0 0 m 10 0 l\n"), 0u);
    EXPECT_NE(rules.find("1 0 0 RG\n"), std::string::npos);
    EXPECT_NE(rules.find("[68 22.7] 0 d\n"), std::string::npos);

    // A path left unpainted is dropped; state set after Save returns with Restore.
    const std::string saved = content([](pdf::Page &page) {
        page.MoveTo(0, 0);
        page.LineTo(10, 10);
        page.Save();
        page.SetFillColor(0x808080);
        page.Rect(0, 0, 10, 10);
        page.Fill();
        page.Restore();
        page.Rect(0, 0, 10, 10);
        page.Fill();
        page.Save(); // left open: Finish closes it
    });
    EXPECT_EQ(saved, "q\n0.502 g\n0 0 10 10 re\nf\nQ\n0 0 10 10 re\nf\nq\nQ\n");
}

class PdfText : public ::testing::Test {
protected:
    void SetUp() override
    {
        const pdf::FontLoad load = library.Load(FontFile("DejaVu Sans"), 0);
        ASSERT_FALSE(load.error) << load.error.message;
        font = load.font;
    }

    std::string show(std::vector<pdf::Glyph> glyphs, pdf::Affine frame = {})
    {
        return content([&](pdf::Page &page) {
            pdf::GlyphRun run{font, 240, frame, 0, 0, glyphs};
            EXPECT_FALSE(page.ShowGlyphs(run));
        });
    }

    pdf::FontLibrary library;
    const pdf::Font *font = nullptr;
};

TEST_F(PdfText, GlyphsAtTheirAdvancesAreOneString)
{
    // Shaped, then placed exactly at the font's advances (no kerning).
    const std::string text = "Tag 1";
    std::vector<pdf::Glyph> glyphs = Shape(*font, text, 240);
    ASSERT_EQ(glyphs.size(), 5u);
    for (std::size_t i = 1; i < glyphs.size(); ++i)
        glyphs[i].x = glyphs[i - 1].x + font->Width(glyphs[i - 1].id) * 0.24;
    const std::string plain = show(glyphs, pdf::Affine::Translate(1000, 2000));
    EXPECT_EQ(count(plain, "Tj\n"), 1);
    EXPECT_EQ(count(plain, "TJ"), 0);
    EXPECT_NE(plain.find("BT\n/F0 240 Tf\n1 0 0 -1 1000 2000 Tm\n<"), std::string::npos);

    // One glyph pushed 12 units right: one adjustment of -12/240 em, the rest as before.
    std::vector<pdf::Glyph> moved = glyphs;
    for (std::size_t i = 2; i < moved.size(); ++i)
        moved[i].x += 12;
    const std::string adjusted = show(moved);
    EXPECT_EQ(count(adjusted, "]TJ\n"), 1);
    EXPECT_NE(adjusted.find(">-50<"), std::string::npos) << adjusted;

    // A turned glyph and a glyph off the baseline each get a matrix of their own.
    std::vector<pdf::Glyph> vertical = glyphs;
    vertical[1].turned = true;
    vertical[3].y += 30;
    EXPECT_EQ(count(show(vertical), "Tm\n"), 5);
}

TEST_F(PdfText, RotatedRunsAndBadGlyphs)
{
    const std::string text = "A";
    const std::string turned = show(Shape(*font, text, 240),
                                    pdf::Affine::Translate(100, 200) * pdf::Affine::Rotate(90));
    EXPECT_NE(turned.find("0 -1 -1 0 100 200 Tm\n"), std::string::npos) << turned;

    pdf::Page page(2100, 2970);
    const pdf::Glyph beyond[] = {{font->GlyphCount(), 0, 0, false, "x"}};
    EXPECT_EQ(page.ShowGlyphs({font, 240, {}, 0, 0, beyond}).code, pdf::ErrorCode::BadGlyph);
    EXPECT_TRUE(page.Fonts().empty());
}

TEST(PdfToUnicode, RangesWhereCodesAndTextsRunTogether)
{
    const std::map<std::uint32_t, std::string> texts = {
        {0x24, "A"}, {0x25, "B"}, {0x26, "C"}, // one range
        {0x27, "Z"},                            // breaks it
        {0xFF, "a"}, {0x100, "b"},              // a range may not cross a high byte
        {0x200, "fi"}, {0x201, "😀"},           // a ligature and a surrogate pair
        {0x300, ""},                            // nothing to map
    };
    const std::string cmap = pdf::ToUnicodeCMap(texts);
    EXPECT_NE(cmap.find("1 beginbfrange\n<0024><0026><0041>\nendbfrange"), std::string::npos);
    EXPECT_NE(cmap.find("5 beginbfchar\n<0027><005A>\n<00FF><0061>\n<0100><0062>\n"
                        "<0200><00660069>\n<0201><D83DDE00>\nendbfchar"),
              std::string::npos)
        << cmap;
}

} // namespace
