// zentova-print's PDF files against its own PNG pages, for every example and golden case:
// valid files, every font embedded and subset, the drawn strings searchable, and each
// page rastered by poppler matching the PNG up to anti-aliasing.
#include "draw/pdf/pdfcheck.h"
#include "support/tempfolder.h"

#include "engine/codepage.h"
#include "engine/textlines.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const std::string kPrint = ZENTOVA_PRINT;
const std::string kStamp = ZENTOVA_EXAMPLES_DIR "/pictures/stamp.bmp";

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A command file with the options it is rendered with.
struct Case {
    fs::path file;
    bool utf8 = false; // written in UTF-8 (the golden cases), run as code page 932
    std::string options;
};

std::vector<Case> allCases()
{
    std::vector<Case> cases;
    for (const auto &entry : fs::directory_iterator(ZENTOVA_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".zent")
            continue;
        const std::string name = entry.path().stem().string();
        const std::string paper = name == "tour"         ? "--paper a6 --landscape"
                                  : name == "letterhead" ? "--paper a5 --slot 0=" ZENTOVA_EXAMPLES_DIR
                                                           "/pictures/logo.png"
                                  : name == "postcard"   ? "--paper postcard"
                                                         : "";
        cases.push_back({entry.path(), false, paper});
    }
    // The golden cases, and the marks of ours that they lack; a picture in slot 0 and
    // beside the file.
    for (const char *dir : {ZENTOVA_CASES_DIR, ZENTOVA_PDF_CASES_DIR})
        for (const auto &entry : fs::directory_iterator(dir))
            if (entry.path().extension() == ".zent")
                cases.push_back({entry.path(), true, "--slot 0=" + kStamp});
    std::sort(cases.begin(), cases.end(), [](const Case &a, const Case &b) { return a.file < b.file; });
    return cases;
}

// The strings a trace says were drawn, in UTF-8, and whether each runs straight along a
// line (not turned by `incline`).
std::vector<std::pair<std::string, bool>> drawnStrings(const std::string &trace)
{
    std::vector<std::pair<std::string, bool>> strings;
    std::istringstream lines(trace);
    const std::regex text(R"re(^(text|textout) .* font="[^"]*",\d+,\d+,\d+,(\d+) color=\S+ "(.*)"$)re");
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (!std::regex_match(line, m, text))
            continue;
        std::string s;
        for (std::size_t i = 0; i < m[3].str().size(); ++i) {
            const char c = m[3].str()[i];
            if (c == '\\' && i + 1 < static_cast<std::size_t>(m[3].length()))
                ++i; // \" and \\ stand for themselves; \n is a line break, dropped below
            else
                s += c;
        }
        const bool straight = m[1] == "text" || m[2] == "0";
        strings.emplace_back(s, straight);
    }
    return strings;
}

// The boxes of the pictures a trace says were drawn, in pixels at `dpi`, with a pixel of
// room around them.
std::vector<QRect> pictureBoxes(const std::string &trace, int dpi)
{
    std::vector<QRect> boxes;
    const std::regex image(R"(^image (-?\d+) (-?\d+) (-?\d+) (-?\d+) )");
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, image))
            continue;
        const auto px = [&](int i) { return std::stod(m[i]) * dpi / 1440; };
        const QRectF box = QRectF(px(1), px(2), px(3), px(4)).normalized();
        boxes.push_back(box.toAlignedRect().adjusted(-1, -1, 1, 1));
    }
    return boxes;
}

std::string withoutBlanks(const std::string &s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f')
            continue;
        if (c == '\\' && i + 1 < s.size() && s[i + 1] == 'n') { // a traced line break
            ++i;
            continue;
        }
        if (s.compare(i, 3, "\xE3\x80\x80") == 0) { // the full-width blank
            i += 2;
            continue;
        }
        out += c;
    }
    return out;
}

// The UTF-8 characters of `s`.
std::vector<std::string> characters(const std::string &s)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = 1;
        while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80)
            ++n;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

// Whether each pixel of `a` is accounted for by the 3 × 3 pixels of `b` around it: in
// every channel its value lies within what they span, give or take `tolerance`, or it is
// darker and they hold ink of that channel too (a line thinner than a pixel comes out
// faint in one rendering and whole in the other). Aliased and anti-aliased edges of one
// mark account for each other; a mark missing, added, recoloured or moved by two pixels
// or more does not. Inside `pictures` the pixels around reach two pixels out: poppler
// places the pixels of a reduced picture up to a pixel and a half from where they
// belong.
std::vector<bool> explained(const QImage &a, const QImage &b, int tolerance,
                            const std::vector<QRect> &pictures)
{
    const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
    std::vector<bool> out(static_cast<std::size_t>(w) * h, true);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb p = a.pixel(x, y);
            const int r = std::any_of(pictures.begin(), pictures.end(),
                                      [&](const QRect &box) { return box.contains(x, y); })
                              ? 2
                              : 1;
            for (int shift = 0; shift < 24; shift += 8) {
                const int v = (p >> shift) & 0xFF;
                int low = 255, high = 0;
                for (int dy = -r; dy <= r; ++dy)
                    for (int dx = -r; dx <= r; ++dx) {
                        if (!b.valid(x + dx, y + dy))
                            continue;
                        const int u = (b.pixel(x + dx, y + dy) >> shift) & 0xFF;
                        low = std::min(low, u);
                        high = std::max(high, u);
                    }
                const bool within = v >= low - tolerance && v <= high + tolerance;
                const bool fainter = v < low && low < 255 - tolerance;
                if (!within && !fainter)
                    out[static_cast<std::size_t>(y) * w + x] = false;
            }
        }
    }
    return out;
}

void PrintTo(const Case &c, std::ostream *out)
{
    *out << c.file.filename();
}

class PdfOutput : public ::testing::TestWithParam<Case> {
protected:
    // Runs zentova-print with `args` on the case's file (converted into the folder when
    // it is UTF-8); returns its standard output.
    std::string print(const std::string &args, int *status = nullptr)
    {
        return RunTool(kPrint + " " + GetParam().options + " " + args + " '" + input() + "'", status);
    }

    std::string input()
    {
        const Case &c = GetParam();
        if (!c.utf8)
            return c.file.string();
        const std::string path = folder.path() + c.file.filename().string();
        if (!fs::exists(path)) {
            std::ofstream(path, std::ios::binary)
                << NormalizeLineEnds(cp932::FromUtf8(readAll(c.file)));
            fs::copy_file(kStamp, folder.path() + "stamp.bmp", fs::copy_options::skip_existing);
        }
        return path;
    }

    TempFolder folder;
};

TEST_P(PdfOutput, IsValidSearchableAndLooksLikeThePng)
{
    const std::string pdf = folder.path() + "out.pdf";
    int status = 0;
    print("-o '" + pdf + "'", &status);
    ASSERT_LE(status, 1) << "zentova-print failed";

    const std::string check = RunTool("qpdf --check '" + pdf + "'", &status);
    EXPECT_EQ(status, 0) << check;

    // Every font embedded, subset and with a ToUnicode map.
    std::istringstream fonts(RunTool("pdffonts '" + pdf + "'"));
    std::string row;
    for (int skip = 0; skip < 2; ++skip)
        std::getline(fonts, row);
    while (std::getline(fonts, row)) {
        std::istringstream fields(row);
        std::vector<std::string> f{std::istream_iterator<std::string>(fields), {}};
        ASSERT_GE(f.size(), 6u) << row;
        EXPECT_EQ(f[f.size() - 5] + f[f.size() - 4] + f[f.size() - 3], "yesyesyes") << row;
        EXPECT_EQ(f[0].find('+'), 6u) << row;
    }

    const std::string trace = print("--trace");
    const std::regex pageLine(R"(^page (\d+) )");
    std::vector<std::string> pageTraces;
    std::istringstream traceLines(trace);
    for (std::string line; std::getline(traceLines, line);) {
        if (std::regex_search(line, pageLine))
            pageTraces.emplace_back();
        if (!pageTraces.empty())
            pageTraces.back() += line + "\n";
    }
    ASSERT_FALSE(pageTraces.empty());

    print("--dpi 150 -o '" + folder.path() + "page-%d.png'");
    for (std::size_t page = 1; page <= pageTraces.size(); ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        const std::string p = std::to_string(page);
        const std::string text = withoutBlanks(
            RunTool("pdftotext -raw -f " + p + " -l " + p + " '" + pdf + "' -"));
        for (const auto &[drawn, straight] : drawnStrings(pageTraces[page - 1])) {
            const std::string s = withoutBlanks(drawn);
            if (straight) {
                EXPECT_NE(text.find(s), std::string::npos) << drawn;
                continue;
            }
            for (const std::string &c : characters(s))
                EXPECT_NE(text.find(c), std::string::npos) << drawn;
        }

        const std::string raster = folder.path() + "page-" + p + "-pdf";
        RunTool("pdftoppm -r 150 -png -singlefile -f " + p + " -l " + p + " '" + pdf + "' '" +
                raster + "'");
        const QImage fromPdf(QString::fromStdString(raster + ".png"));
        const QImage png(QString::fromStdString(folder.path() + "page-" + p + ".png"));
        // poppler rounds the page's size in pixels up, zentova-print to the nearest.
        ASSERT_LE(std::abs(fromPdf.width() - png.width()), 1);
        ASSERT_LE(std::abs(fromPdf.height() - png.height()), 1);
        constexpr int kTolerance = 48;
        const std::vector<QRect> pictures = pictureBoxes(pageTraces[page - 1], 150);
        const std::vector<bool> inPng = explained(png, fromPdf, kTolerance, pictures);
        const std::vector<bool> inPdf = explained(fromPdf, png, kTolerance, pictures);
        // Single pixels may differ where the two rasterise small turned glyphs apart; a
        // mark that differs leaves unexplained pixels side by side, or many.
        const int w = std::min(fromPdf.width(), png.width());
        const int h = std::min(fromPdf.height(), png.height());
        const auto bad = [&](int x, int y) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            return x >= 0 && y >= 0 && x < w && y < h && (!inPng[i] || !inPdf[i]);
        };
        int single = 0, together = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (!bad(x, y))
                    continue;
                bool neighbour = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        neighbour |= (dx || dy) && bad(x + dx, y + dy);
                ++(neighbour ? together : single);
            }
        EXPECT_EQ(together, 0) << "unexplained pixels side by side";
        EXPECT_LE(single, 8) << "single unexplained pixels";
        if (const char *dump = std::getenv("ZENTOVA_PDF_DIFF"); dump && (single || together)) {
            // The PNG faded, with the pixels neither rendering accounts for in red.
            QImage diff = png.convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    diff.setPixel(x, y, bad(x, y) ? qRgb(255, 0, 0)
                                                  : (diff.pixel(x, y) & 0xFEFEFE) / 2 + 0x7F7F7F);
            diff.save(QString::fromStdString(std::string(dump) + "/" + GetParam().file.stem().string() + "-" + p + ".png"));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, PdfOutput, ::testing::ValuesIn(allCases()),
                         [](const auto &info) {
                             std::string n = info.param.file.stem().string();
                             std::replace(n.begin(), n.end(), '-', '_');
                             return (info.param.utf8 ? "case_" : "example_") + n;
                         });

} // namespace

// Pages drawn on 1, 2 or 4 threads give the same file, the same error list in page order
// and the same trace: a job of pages that differ, with pictures, sideways text, errors on
// their own lines and on an initialisation line that every page runs; and merge printing.
TEST(PdfThreads, OutputIsTheSameForAnyNumberOfThreads)
{
    TempFolder folder;
    fs::copy_file(kStamp, folder.path() + "stamp.bmp");
    std::string text = "$$pp p\n$$zz 1/0\n}{ti}見本\n";
    for (int page = 1; page <= 40; ++page) {
        if (page > 1)
            text += "page\n";
        text += page % 2 ? "/ＭＳ 明朝\n" : "/@ＭＳ ゴシック\n";
        text += "position 100 " + std::to_string(100 + page * 10) + "\n:.{{ti}}の" +
                std::to_string(page) + "ページ目\n*\nhnumber $pp\n";
        if (page % 3 == 0)
            text += "psize 300 0 20 " + std::to_string(page % 4 + 1) + "\n!%With%stamp.bmp\n";
        if (page % 5 == 0)
            text += "frobnicate " + std::to_string(page) + "\n";
        if (page % 7 == 0)
            text += "lwidth -" + std::to_string(page % 4 + 1) + "\nlrectangle 100 100 900 600 30\n";
    }
    folder.write("job.zent", NormalizeLineEnds(cp932::FromUtf8(text)));
    std::string first;
    for (const int threads : {1, 2, 4}) {
        const std::string pdf = folder.path() + "out" + std::to_string(threads) + ".pdf";
        int status = 0;
        const std::string said =
            RunTool(kPrint + " --trace --threads " + std::to_string(threads) + " -o '" + pdf +
                        "' '" + folder.path() + "job.zent'",
                    &status);
        EXPECT_EQ(status, 1); // the job has errors
        const std::string bytes = readAll(pdf);
        ASSERT_GT(bytes.size(), 1000u);
        if (threads == 1) {
            first = said + bytes;
            // Once, though every page runs it; the pages' own errors in page order.
            EXPECT_EQ(said.find("$$zz 1/0"), said.rfind("$$zz 1/0")) << said;
            EXPECT_LT(said.find("(35) frobnicate 5"), said.find("(286) frobnicate 40")) << said;
        } else {
            EXPECT_TRUE(said + bytes == first) << threads << " threads";
        }
    }

    // Merge printing: every page drawn on whichever thread binds its own record.
    std::string csv = "nm\r\n";
    for (int record = 1; record <= 12; ++record)
        csv += "Name" + std::to_string(record) + "\r\n";
    folder.write("list.csv", csv);
    folder.write("card.zent", "position 100 100\r\n:.{{nm}}\r\n*\r\npage\r\n:.back\r\n*\r\n");
    first.clear();
    for (const int threads : {1, 4}) {
        const std::string pdf = folder.path() + "cards" + std::to_string(threads) + ".pdf";
        RunTool(kPrint + " --threads " + std::to_string(threads) +
                " --pages 1 --records 3- --data '" + folder.path() + "list.csv' -o '" + pdf +
                "' '" + folder.path() + "card.zent'");
        const std::string bytes = readAll(pdf);
        if (first.empty())
            first = bytes;
        EXPECT_TRUE(bytes == first) << threads << " threads";
        for (int page = 1; page <= 10; ++page) {
            const std::string p = std::to_string(page);
            EXPECT_EQ(RunTool("pdftotext -f " + p + " -l " + p + " '" + pdf + "' -"),
                      "Name" + std::to_string(page + 2) + "\n\n\f")
                << threads << " threads, page " << page;
        }
    }
}
