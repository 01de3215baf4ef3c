// The PDF surface on its own: faces it cannot embed, dashes, and pictures written once.
#include "pdfcheck.h"
#include "support/tempfolder.h"

#include "draw/drawingview.h"
#include "draw/pdf/document.h"
#include "draw/pdf/pdfjob.h"
#include "draw/pdf/pdfpicture.h"
#include "draw/pdf/pdfsurface.h"
#include "draw/pdf/sink.h"
#include "draw/printjob.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <fstream>
#include <mutex>
#include <numeric>
#include <set>
#include <thread>

namespace {

// Every text is one line of the glyphs `ids` in the face `font`, 100 units apart; every
// glyph's outline is a square.
class FixedShaper : public TextShaper {
public:
    FixedShaper(std::string file, std::vector<std::uint32_t> ids) : m_ids(std::move(ids))
    {
        m_font.file = std::move(file);
        m_font.size = 240;
    }

    const ShapedText &Shape(const FontSpec &, std::string_view) override
    {
        m_text = ShapedText();
        ShapedLine &line = m_text.lines.emplace_back();
        ShapedRun &run = line.runs.emplace_back();
        run.font = &m_font;
        for (std::size_t i = 0; i < m_ids.size(); ++i) {
            line.text.push_back(U'A' + char32_t(i));
            run.glyphs.push_back({m_ids[i], 100.0 * double(i), 0, 100, std::uint32_t(i), 1, false});
        }
        line.width = int(100 * m_ids.size());
        m_text.size = {line.width, 240};
        m_text.ascent = 200;
        m_text.lineHeight = 240;
        return m_text;
    }
    std::optional<FontInfo> FindFont(std::string_view) override { return FontInfo{128, 1}; }
    bool Outline(const GlyphFont &, std::uint32_t, GlyphOutline &out) override
    {
        using Op = GlyphOutline::Op;
        out.ops = {Op::MoveTo, Op::LineTo, Op::LineTo, Op::LineTo, Op::Close};
        out.points = {0, 0, 80, 0, 80, -80, 0, -80};
        return true;
    }

private:
    GlyphFont m_font;
    std::vector<std::uint32_t> m_ids;
    ShapedText m_text;
};

std::string inflate(const std::string &packed)
{
    std::string out(packed.size() * 20 + 1024, '\0');
    uLongf size = out.size();
    if (uncompress(reinterpret_cast<Bytef *>(out.data()), &size,
                   reinterpret_cast<const Bytef *>(packed.data()), packed.size()) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

int count(const std::string &text, const std::string &what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// A page drawn by `draw` on a surface over `shaper`: its content, uncompressed, and its
// notes; the page is also written as a file into `folder`, which qpdf must find sound.
template <typename Draw>
std::pair<std::string, std::vector<std::string>> drawPage(TextShaper &shaper, const TempFolder &folder,
                                                          Draw draw)
{
    pdf::StringSink sink;
    pdf::Document document(sink, {});
    PdfSurface surface(document.Fonts(), shaper);
    surface.StartPage(1, 2100, 2970);
    draw(surface);
    PdfPage page = surface.TakePage();
    const std::string content = inflate(page.page->Content());
    document.AddPage(*page.page);
    EXPECT_FALSE(document.Finish());
    const std::string file = folder.write("page.pdf", sink.bytes);
    int status = 0;
    const std::string check = RunTool("qpdf --check '" + file + "'", &status);
    EXPECT_EQ(status, 0) << check;
    return {content, page.notes};
}

TEST(PdfSurfaceText, FacesThatCannotBeEmbeddedAreFilledOutlinesSaidOnce)
{
    TempFolder folder;
    const std::string mincho = FontFile("IPAMincho");
    const std::string damaged = folder.write("damaged.ttf", std::string(4000, 'x'));
    const struct {
        const char *what;
        std::string file;
        std::uint32_t id;
        bool embedded;
    } faces[] = {
        {"a face that embeds", mincho, 100, true},
        {"a damaged file", damaged, 100, false},
        {"no file", "", 100, false},
        {"glyphs the file lacks", mincho, 9999999, false},
    };
    for (const auto &face : faces) {
        SCOPED_TRACE(face.what);
        FixedShaper shaper(face.file, {face.id, face.id});
        FontSpec font;
        font.face = "Face";
        const auto [content, notes] = drawPage(shaper, folder, [&](PdfSurface &s) {
            s.DrawText(0, 0, 1000, 300, TextAlign::Left, font, 0, "AB");
            s.TextOut(0, 500, font, 0, "AB");
        });
        EXPECT_EQ(count(content, "BT"), face.embedded ? 2 : 0);
        // Two texts, two squares each, every square filled.
        EXPECT_EQ(count(content, " m\n"), face.embedded ? 0 : 4);
        EXPECT_EQ(notes.size(), face.embedded ? 0u : 1u);
        if (!notes.empty()) {
            EXPECT_NE(notes[0].find("drawn as outlines"), std::string::npos) << notes[0];
        }
    }
}

TEST(PdfSurfaceLines, DashesAreTheReadersNearThePaperAndCutFarFromIt)
{
    TempFolder folder;
    FixedShaper shaper("", {});
    const Pen dashed{PenDash, 0, 0};
    const auto [content, notes] = drawPage(shaper, folder, [&](PdfSurface &s) {
        s.Line(0, 100, 1000, 100, dashed);
        // Begins a million units left of the paper: written from just left of it, with
        // the pattern where it has got to there.
        s.Line(-1000000, 200, 1000, 200, dashed);
        // Gaps painted in the background colour, which a fill has made red.
        s.FillSolidRect(0, 0, 10, 10, 0x0000FF);
        s.Rectangle(0, 300, 1000, 600, dashed);
        // Far larger than the paper: its dashes are cut where they can be seen.
        s.Rectangle(-2000000000, 700, 2000000000, 2000000000, dashed);
    });
    EXPECT_NE(content.find("[68.03 22.68] 0 d\n0 100 m 1000 100 l\n"), std::string::npos) << content;
    EXPECT_NE(content.find("[68.03 22.68] 18.43 d\n-100 200 m 1000 200 l\n"), std::string::npos)
        << content;
    EXPECT_NE(content.find("1 0 0 RG\n[] 0 d\n0 300 1000 300 re\nS\n"
                           "0 G\n[68.03 22.68] 0 d\n0 300 1000 300 re\nS\n"),
              std::string::npos)
        << content;
    EXPECT_LT(content.size(), 20000u);
}

TEST(PdfSurfacePictures, TurnedAndGrayPixelsAndOneObjectForTheSamePicture)
{
    // Two pixels, red then blue, turned a quarter counter-clockwise: blue on top.
    const std::vector<std::uint32_t> pixels = {0xFFFF0000, 0xFF0000FF};
    PictureSource source;
    source.width = 2;
    source.height = 1;
    source.pixels = pixels.data();
    PicturePart part{0, 0, 2, 1, 2, 1, true};
    const auto turned = PdfPicture(source, part);
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->width, 1);
    EXPECT_EQ(turned->height, 2);
    EXPECT_EQ(turned->pixels, (std::vector<std::uint8_t>{0, 0, 255, 255, 0, 0}));

    const std::vector<std::uint32_t> grays = {0xFF101010, 0xFFE0E0E0};
    source.pixels = grays.data();
    part.turn = false;
    const auto gray = PdfPicture(source, part);
    EXPECT_EQ(gray->components, 1);
    EXPECT_EQ(gray->pixels, (std::vector<std::uint8_t>{0x10, 0xE0}));

    // The same pixels on two pages, and drawn twice on one, are one picture in the file.
    pdf::StringSink sink;
    pdf::Document document(sink, {});
    FixedShaper shaper("", {});
    PdfSurface surface(document.Fonts(), shaper);
    for (int page = 1; page <= 2; ++page) {
        surface.StartPage(page, 2100, 2970);
        surface.StretchPicture(source, part, 0, 0, 100, 50);
        surface.StretchPicture(source, part, 0, 100, -100, 50);
        document.AddPage(*surface.TakePage().page);
    }
    EXPECT_FALSE(document.Finish());
    EXPECT_EQ(count(sink.bytes, "/Subtype/Image"), 1);
}

} // namespace

// Pages drawn on several threads read the print-position adjustment once, on the job's
// own thread: the profiles behind a job (QSettings) are not made for several threads.
class ThreadNotingProfile : public Profile {
public:
    int ReadInt(std::string_view name, int defaultValue) const override
    {
        const std::lock_guard lock(m_mutex);
        threads.insert(std::this_thread::get_id());
        return name == "adjustX" ? -50 : defaultValue;
    }
    mutable std::set<std::thread::id> threads;

private:
    mutable std::mutex m_mutex;
};

TEST(PdfJob, SettingsAreReadOnTheJobsOwnThread)
{
    std::string text;
    for (int page = 0; page < 8; ++page)
        text += "line 100 100 500 100\r\npage\r\n";
    ThreadNotingProfile profile;
    std::string first;
    for (const int threads : {1, 3}) {
        DrawingView view;
        view.profile = &profile;
        PrintJob job(view);
        const int pages = job.Prepare(text, false, "");
        job.Begin(2100, 2970);
        std::vector<int> all(static_cast<std::size_t>(pages));
        std::iota(all.begin(), all.end(), 1);
        PdfJobHooks hooks;
        hooks.threads = threads;
        hooks.makeShaper = [] { return std::make_unique<FixedShaper>("", std::vector<std::uint32_t>{}); };
        pdf::StringSink sink;
        ASSERT_EQ(WritePdfPages(job, view, all, sink, {}, hooks), PdfJobEnd::Complete);
        job.End();
        EXPECT_EQ(profile.threads, std::set{std::this_thread::get_id()}) << threads << " threads";
        // The adjustment read there reaches every thread: the same file as on one.
        if (threads == 1)
            first = sink.bytes;
        else
            EXPECT_TRUE(sink.bytes == first);
    }
}
