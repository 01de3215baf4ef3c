// Whole PDF files from the writer, read back with qpdf and poppler's tools.
#include "pdfcheck.h"
#include "support/tempfolder.h"

#include "draw/pdf/curves.h"
#include "draw/pdf/document.h"
#include "draw/pdf/outlines.h"
#include "draw/pdf/page.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <thread>

namespace {

constexpr int kA4Width = 2100, kA4Height = 2970;
constexpr unsigned kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kBlack = 0,
                   kWhite = 0xFFFFFF;

// A COLORREF (red in the low byte) from 0xRRGGBB.
pdf::Rgb colorRef(unsigned rgb)
{
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

// 2 × 2 pixels: red, green on top; blue, black below.
std::shared_ptr<const pdf::Image> quadrants()
{
    auto image = std::make_shared<pdf::Image>();
    image->key = "quadrants";
    image->width = image->height = 2;
    image->pixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0};
    image->smooth = false;
    return image;
}

// A shaped string kept together with the text its glyphs point into.
struct Shaped {
    std::string text;
    std::vector<pdf::Glyph> glyphs;
};

Shaped shape(const pdf::Font &font, std::string text, double size)
{
    Shaped s{std::move(text), {}};
    s.glyphs = Shape(font, s.text, size);
    return s;
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

int count(const std::string &text, const std::string &what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class PdfFile : public ::testing::Test {
protected:
    const pdf::Font *load(const std::string &family)
    {
        const pdf::FontLoad load = fonts.Load(FontFile(family), 0);
        EXPECT_FALSE(load.error) << load.error.message;
        return load.font;
    }

    TempFolder folder;
    pdf::FontLibrary fonts;
};

TEST_F(PdfFile, EveryKindOfMarkReadsBack)
{
    const pdf::Font *mincho = load("IPAMincho");
    const pdf::Font *dejavu = load("DejaVu Sans");
    const pdf::Font *nimbus = load("Nimbus Sans"); // CFF outlines
    ASSERT_TRUE(mincho && dejavu && nimbus);
    ASSERT_EQ(nimbus->Kind(), pdf::Outlines::Cff);

    const std::string path = folder.path() + "marks.pdf";
    pdf::StringSink sink;
    pdf::Document document(sink, {"帳票の見本", "Zentova"});

    pdf::Page page(kA4Width, kA4Height);
    page.SetFillColor(colorRef(kRed));
    page.Rect(1000, 1000, 2000, 1000);
    page.Fill();
    page.SetStrokeColor(colorRef(kBlue));
    page.SetLineWidth(100);
    page.SetLineCap(pdf::LineCap::Round);
    page.StrokeLine(1000, 3000, 5000, 3000);
    page.SetStrokeColor(0);
    page.SetLineWidth(0);
    page.SetLineCap(pdf::LineCap::Flat);
    for (int i = 0; i < 10; ++i)
        page.StrokeLine(9000, 6000 + 100 * i, 11000, 6000 + 100 * i);
    page.SetDash(std::vector<double>{68, 23});
    page.StrokeLine(9000, 7000, 11000, 7000);
    page.SetDash({});

    page.SetFillColor(colorRef(kGreen));
    pdf::AppendEllipse(page, 6000, 1000, 8000, 2000);
    page.Fill();
    page.SetFillColor(colorRef(0xFF00FF));
    page.MoveTo(7000, 4000);
    pdf::AppendArc(page, 6000, 3000, 8000, 5000, 0, 90, false);
    page.ClosePath();
    page.Fill();
    page.SetLineWidth(40);
    pdf::AppendRoundedRect(page, 1000, 6000, 5000, 8000, 500, 500);
    page.Stroke();
    pdf::AppendArc(page, 6000, 6000, 8000, 8000, 90, 180, true);
    page.Stroke();

    page.Save();
    page.Rect(1000, 9000, 1000, 1000);
    page.Clip();
    page.SetFillColor(colorRef(0x00FFFF));
    page.Rect(500, 8500, 3000, 3000);
    page.Fill();
    page.Restore();

    const Shaped japanese = shape(*mincho, "日本語の帳票", 480);
    const Shaped latin = shape(*dejavu, "Invoice No. 12345", 240);
    const Shaped cff = shape(*nimbus, "Nimbus CFF text", 240);
    const Shaped outlined = shape(*dejavu, "OUTLINE", 960);
    EXPECT_FALSE(page.ShowGlyphs({mincho, 480, pdf::Affine::Translate(1000, 12500), 0, 0, japanese.glyphs}));
    EXPECT_FALSE(page.ShowGlyphs({dejavu, 240, pdf::Affine::Translate(1000, 13000), 0, 0, latin.glyphs}));
    EXPECT_FALSE(page.ShowGlyphs({nimbus, 240, pdf::Affine::Translate(1000, 13500), 0, 0, cff.glyphs}));
    EXPECT_FALSE(pdf::FillGlyphOutlines(page, {dejavu, 960, pdf::Affine::Translate(6000, 13000), 0, 0, outlined.glyphs}));
    EXPECT_FALSE(page.DrawImage(quadrants(), pdf::Affine::Rect(1000, 14000, 2000, 2000)));
    document.AddPage(page);

    // The same picture again, turned a quarter counter-clockwise, and mirrored.
    pdf::Page second(kA4Width, kA4Height);
    EXPECT_FALSE(second.DrawImage(quadrants(), pdf::Affine::Translate(1000, 3000) *
                                                   pdf::Affine::Rotate(90) *
                                                   pdf::Affine::Scale(2000, 2000)));
    EXPECT_FALSE(second.DrawImage(quadrants(), pdf::Affine::Rect(6000, 1000, -2000, 2000)));
    document.AddPage(second);
    ASSERT_FALSE(document.Finish());
    std::ofstream(path, std::ios::binary) << sink.bytes;

    int status = -1;
    EXPECT_NE(RunTool("qpdf --check '" + path + "'", &status).find("No syntax or stream encoding errors"),
              std::string::npos);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count(sink.bytes, "/Subtype/Image"), 1);

    const std::string fontList = RunTool("pdffonts '" + path + "'");
    EXPECT_EQ(count(fontList, "CID TrueType      Identity-H       yes yes yes"), 2) << fontList;
    EXPECT_EQ(count(fontList, "CID Type 0C       Identity-H       yes yes yes"), 1) << fontList;
    EXPECT_NE(fontList.find("+IPAMincho"), std::string::npos);

    const std::string text = RunTool("pdftotext -enc UTF-8 '" + path + "' -");
    for (const char *s : {"日本語の帳票", "Invoice No. 12345", "Nimbus CFF text"})
        EXPECT_NE(text.find(s), std::string::npos) << s << " in:\n" << text;
    EXPECT_EQ(text.find("OUTLINE"), std::string::npos);
    // Each string ends where its advances (widths and adjustments) take it: 1/20 point
    // a logical unit.
    const std::string boxes = RunTool("pdftotext -bbox '" + path + "' -");
    const std::pair<const Shaped *, const pdf::Font *> lines[] = {{&latin, dejavu}, {&cff, nimbus}};
    for (const auto &[s, face] : lines) {
        const std::string last = s->text.substr(s->text.rfind(' ') + 1) + "</word>";
        const std::size_t word = boxes.rfind("<word", boxes.find(last));
        ASSERT_NE(word, std::string::npos) << last;
        const double xMax = std::stod(boxes.substr(boxes.find("xMax=\"", word) + 6));
        const double advance = s->glyphs.back().x + face->Width(s->glyphs.back().id) * 0.24;
        EXPECT_NEAR(xMax, (1000 + advance) / 20, 0.05) << s->text;
    }
    EXPECT_NE(RunTool("pdfinfo '" + path + "'").find("帳票の見本"), std::string::npos);

    // At 144 dpi a pixel is 10 logical units.
    const Raster one = Render(path, 1, 144);
    ASSERT_EQ(one.width, 1191);
    const struct {
        int x, y;
        unsigned rgb;
        const char *what;
    } samples[] = {
        {200, 150, kRed, "filled rectangle"},    {300, 300, kBlue, "wide line"},
        {300, 303, kBlue, "wide line"},          {700, 150, kGreen, "ellipse"},
        {605, 105, kWhite, "outside the ellipse"}, {750, 350, 0xFF00FF, "pie"},
        {650, 450, kWhite, "outside the pie"},   {300, 600, kBlack, "rounded rectangle edge"},
        {101, 601, kWhite, "rounded corner"},    {300, 700, kWhite, "inside the outline"},
        {150, 950, 0x00FFFF, "clipped fill"},    {250, 950, kWhite, "clipped away"},
        {150, 1450, kRed, "picture top left"},   {250, 1450, kGreen, "picture top right"},
        {150, 1550, kBlue, "picture bottom left"}, {250, 1550, kBlack, "picture bottom right"},
    };
    for (const auto &s : samples)
        EXPECT_EQ(one.At(s.x, s.y), s.rgb) << s.what << " at " << s.x << "," << s.y;
    auto inked = [](const Raster &r, int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += r.At(x, y) < 0x404040;
        return n;
    };
    EXPECT_GT(inked(one, 100, 1210, 400, 1250), 200) << "Japanese text";
    EXPECT_EQ(inked(one, 100, 1100, 400, 1195), 0) << "above the Japanese text";
    EXPECT_GT(inked(one, 600, 1240, 1000, 1300), 500) << "outlined text";

    const Raster two = Render(path, 2, 144);
    const struct {
        int x, y;
        unsigned rgb;
    } turned[] = {
        {150, 250, kRed}, {150, 150, kGreen}, {250, 250, kBlue}, {250, 150, kBlack}, // turned
        {550, 150, kRed}, {450, 150, kGreen}, {550, 250, kBlue},                    // mirrored
    };
    for (const auto &s : turned)
        EXPECT_EQ(two.At(s.x, s.y), s.rgb) << s.x << "," << s.y;
}

TEST_F(PdfFile, DamagedFontsAreErrorsAndTheFileStaysValid)
{
    const std::string good = readFile(FontFile("DejaVu Sans"));
    ASSERT_GT(good.size(), 100000u);
    const struct {
        std::string path;
        unsigned face;
    } bad[] = {
        {folder.write("truncated.ttf", good.substr(0, 4096)), 0},
        {folder.write("garbage.ttf", std::string(20000, '\x5A')), 0},
        {folder.write("empty.ttf", ""), 0},
        {folder.path() + "missing.ttf", 0},
    };
    pdf::StringSink sink;
    pdf::Document document(sink, {});
    pdf::Page page(kA4Width, kA4Height);
    for (const auto &b : bad) {
        const pdf::FontLoad load = document.Fonts().Load(b.path, b.face);
        EXPECT_EQ(load.error.code, pdf::ErrorCode::FontUnreadable) << b.path;
        EXPECT_EQ(load.font, nullptr);
        const pdf::Glyph glyph{1, 0, 0, false, "a"};
        EXPECT_TRUE(page.ShowGlyphs({load.font, 240, {}, 0, 0, {&glyph, 1}}));
    }
    page.StrokeLine(0, 0, 1000, 1000);
    document.AddPage(page);
    ASSERT_FALSE(document.Finish());
    const std::string path = folder.write("fallback.pdf", sink.bytes);
    int status = -1;
    RunTool("qpdf --check '" + path + "'", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count(sink.bytes, "/Font"), 0);
}

// A font collection of `fonts` (whole TrueType files), each copied as it is with its
// table offsets moved to where the copy lies.
std::string collection(const std::vector<std::string> &fonts)
{
    auto put32 = [](std::string &s, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s[at + i] = static_cast<char>(v >> (24 - 8 * i));
    };
    auto get32 = [](const std::string &s, std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = v << 8 | static_cast<unsigned char>(s[at + i]);
        return v;
    };
    std::string out = "ttcf";
    out.resize(12 + 4 * fonts.size());
    put32(out, 4, 0x00010000);
    put32(out, 8, static_cast<std::uint32_t>(fonts.size()));
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out.resize((out.size() + 3) / 4 * 4);
        const std::size_t base = out.size();
        put32(out, 12 + 4 * i, static_cast<std::uint32_t>(base));
        out += fonts[i];
        const unsigned tables = static_cast<unsigned char>(fonts[i][4]) << 8 |
                                static_cast<unsigned char>(fonts[i][5]);
        for (unsigned t = 0; t < tables; ++t) {
            const std::size_t record = base + 12 + 16 * t + 8;
            put32(out, record, get32(out, record) + static_cast<std::uint32_t>(base));
        }
    }
    return out;
}

TEST_F(PdfFile, FacesOfACollection)
{
    const std::string path = folder.write(
        "pair.ttc", collection({readFile(FontFile("DejaVu Sans")), readFile(FontFile("IPAMincho"))}));
    pdf::StringSink sink;
    pdf::Document document(sink, {});
    const pdf::FontLoad latin = document.Fonts().Load(path, 0);
    const pdf::FontLoad japanese = document.Fonts().Load(path, 1);
    ASSERT_FALSE(latin.error) << latin.error.message;
    ASSERT_FALSE(japanese.error) << japanese.error.message;
    EXPECT_EQ(japanese.font->GlyphCount(), load("IPAMincho")->GlyphCount());
    EXPECT_EQ(document.Fonts().Load(path, 2).error.code, pdf::ErrorCode::FontUnreadable);

    const Shaped a = shape(*latin.font, "Collection", 240);
    const Shaped b = shape(*japanese.font, "二番目の書体", 240);
    pdf::Page page(kA4Width, kA4Height);
    EXPECT_FALSE(page.ShowGlyphs({latin.font, 240, pdf::Affine::Translate(500, 500), 0, 0, a.glyphs}));
    EXPECT_FALSE(page.ShowGlyphs({japanese.font, 240, pdf::Affine::Translate(500, 900), 0, 0, b.glyphs}));
    document.AddPage(page);
    ASSERT_FALSE(document.Finish());
    const std::string pdfPath = folder.write("collection.pdf", sink.bytes);
    EXPECT_EQ(count(RunTool("pdffonts '" + pdfPath + "'"), "yes yes yes"), 2);
    const std::string text = RunTool("pdftotext -enc UTF-8 '" + pdfPath + "' -");
    EXPECT_NE(text.find("Collection"), std::string::npos) << text;
    EXPECT_NE(text.find("二番目の書体"), std::string::npos) << text;
}

// Pages of two faces, rules and a picture, the same whatever order they are built in.
void buildPage(pdf::Page &page, int number, const pdf::Font &mincho, const pdf::Font &dejavu)
{
    for (int i = 0; i < 5; ++i)
        page.StrokeLine(500, 500 + 300 * i, 9000, 500 + 300 * i);
    const Shaped a = shape(mincho, "頁" + std::to_string(number), 300);
    const Shaped b = shape(dejavu, "Page " + std::to_string(number) + (number % 2 ? " odd" : ""), 200);
    page.ShowGlyphs({&mincho, 300, pdf::Affine::Translate(600, 600), 0, 0, a.glyphs});
    page.ShowGlyphs({&dejavu, 200, pdf::Affine::Translate(600, 900), colorRef(kBlue), 20, b.glyphs});
    page.DrawImage(quadrants(), pdf::Affine::Rect(600, 1200, 300, 300));
}

TEST_F(PdfFile, SameBytesWhateverOrderPagesAreBuiltIn)
{
    const pdf::Font *mincho = load("IPAMincho");
    const pdf::Font *dejavu = load("DejaVu Sans");
    ASSERT_TRUE(mincho && dejavu);
    constexpr int kPages = 8;

    pdf::StringSink inOrder;
    {
        pdf::Document document(inOrder, {"order"});
        for (int n = 1; n <= kPages; ++n) {
            pdf::Page page(kA4Width, kA4Height);
            buildPage(page, n, *mincho, *dejavu);
            document.AddPage(page);
        }
        ASSERT_FALSE(document.Finish());
    }

    // Built backwards on two threads, added in page order.
    std::vector<pdf::Page> pages(kPages, pdf::Page(kA4Width, kA4Height));
    auto build = [&](int parity) {
        for (int n = kPages; n >= 1; --n)
            if (n % 2 == parity) {
                buildPage(pages[n - 1], n, *mincho, *dejavu);
                pages[n - 1].Finish();
            }
    };
    std::thread odd(build, 1), even(build, 0);
    odd.join();
    even.join();
    pdf::StringSink threaded;
    pdf::Document document(threaded, {"order"});
    for (pdf::Page &page : pages)
        document.AddPage(page);
    ASSERT_FALSE(document.Finish());
    EXPECT_EQ(threaded.bytes, inOrder.bytes);

    const std::string path = folder.write("order.pdf", threaded.bytes);
    int status = -1;
    RunTool("qpdf --check '" + path + "'", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(RunTool("pdftotext '" + path + "' -").find("Page 7 odd"), std::string::npos);
}

} // namespace
