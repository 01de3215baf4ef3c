// The PDF writer on the benchmark form (61 rules and 100 short strings a page), against
// QPainter drawing the same marks on a QPdfWriter and Ghostscript's pdfwrite on the same
// marks as PostScript. Strings are shaped with HarfBuzz in IPAMincho inside the timed run,
// as a PDF surface would have to. Each run is a child process of its own, so its peak
// memory is its own.
//     bench_pdfwriter [PAGES (300)] [FOLDER (/tmp)] [ROUNDS (3)]
#include "childrun.h"
#include "formgen.h"

#include "draw/pdf/document.h"
#include "draw/pdf/page.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <hb.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

int gPages = 300;
std::string gFontFile;
constexpr int kResolution = 1200;
constexpr double kFontSize = 240; // 12 pt in logical units

int logical(int pageUnits)
{
    return static_cast<int>(pageUnits * 5.669291338582677);
}

// IPAMincho's file, as fontconfig finds it (looked up once, before the timed runs).
std::string findFont()
{
    std::string path;
    if (FILE *pipe = popen("fc-match -f '%{file}' IPAMincho", "r")) {
        char buffer[512];
        while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
            path.append(buffer, n);
        pclose(pipe);
    }
    return path;
}

// The same marks straight through QPainter: the same coordinates, pen and font.
int runQPainter(const char *out)
{
    QPdfWriter writer(QString::fromUtf8(out));
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    QPainter painter(&writer);
    painter.scale(kResolution / 1440.0, kResolution / 1440.0);
    QPen pen(Qt::black, 0);
    pen.setCosmetic(true);
    QFont font(QStringLiteral("IPAMincho"));
    font.setPixelSize(static_cast<int>(kFontSize));
    font.setHintingPreference(QFont::PreferNoHinting);
    const qreal ascent = QFontMetricsF(font).ascent();
    const std::vector<formgen::Rule> rules = formgen::PageRules();
    for (int page = 1; page <= gPages; ++page) {
        if (page > 1)
            writer.newPage();
        painter.setPen(pen);
        for (const formgen::Rule &r : rules)
            painter.drawLine(logical(r.x1), logical(r.y1), logical(r.x2), logical(r.y2));
        painter.setFont(font);
        for (const formgen::Label &label : formgen::PageLabels(page))
            painter.drawText(QPointF(logical(label.x), logical(label.y) + ascent),
                             QString::fromStdString(label.text));
    }
    return painter.end() ? 0 : 2;
}

// Builds page `number` of the form: the rules as one path, each label shaped and shown.
void buildPage(pdf::Page &page, int number, const pdf::Font &font, hb_buffer_t *buffer,
               double ascent)
{
    page.SetLineWidth(0);
    for (const formgen::Rule &r : formgen::PageRules())
        page.StrokeLine(logical(r.x1), logical(r.y1), logical(r.x2), logical(r.y2));
    const double scale = kFontSize / font.UnitsPerEm();
    std::vector<pdf::Glyph> glyphs;
    for (const formgen::Label &label : formgen::PageLabels(number)) {
        hb_buffer_clear_contents(buffer);
        hb_buffer_add_utf8(buffer, label.text.data(), static_cast<int>(label.text.size()), 0, -1);
        hb_buffer_guess_segment_properties(buffer);
        hb_shape(font.HbFont(), buffer, nullptr, 0);
        unsigned count = 0;
        const hb_glyph_info_t *info = hb_buffer_get_glyph_infos(buffer, &count);
        const hb_glyph_position_t *pos = hb_buffer_get_glyph_positions(buffer, &count);
        glyphs.clear();
        double x = 0;
        for (unsigned i = 0; i < count; ++i) {
            const unsigned end = i + 1 < count ? info[i + 1].cluster : label.text.size();
            glyphs.push_back({info[i].codepoint, x + pos[i].x_offset * scale, 0, false,
                              std::string_view(label.text).substr(info[i].cluster,
                                                                  end - info[i].cluster)});
            x += pos[i].x_advance * scale;
        }
        page.ShowGlyphs({&font, kFontSize,
                         pdf::Affine::Translate(logical(label.x), logical(label.y) + ascent), 0,
                         0, glyphs});
    }
}

// The form through the writer; pages built on `threads` threads (the calling one adds
// them in page order), at most a few pages ahead of the file.
int runWriter(const char *out, int threads)
{
    const int fd = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return 2;
    pdf::FdSink sink(fd);
    pdf::Document document(sink, {"bench"});
    const pdf::FontLoad load = document.Fonts().Load(gFontFile, 0);
    if (load.error)
        return 2;
    const pdf::Font &font = *load.font;
    hb_font_extents_t extents{};
    hb_font_get_h_extents(font.HbFont(), &extents);
    const double ascent = extents.ascender * kFontSize / font.UnitsPerEm();

    if (threads <= 1) {
        hb_buffer_t *buffer = hb_buffer_create();
        for (int number = 1; number <= gPages; ++number) {
            pdf::Page page(2100, 2970);
            buildPage(page, number, font, buffer, ascent);
            document.AddPage(page);
        }
        hb_buffer_destroy(buffer);
    } else {
        const int window = 4 * threads;
        std::vector<std::optional<pdf::Page>> ready(static_cast<std::size_t>(window));
        std::mutex mutex;
        std::condition_variable changed;
        int added = 0; // pages written so far
        std::atomic<int> next{1};
        auto worker = [&] {
            hb_buffer_t *buffer = hb_buffer_create();
            for (int number = next++; number <= gPages; number = next++) {
                {
                    std::unique_lock lock(mutex);
                    changed.wait(lock, [&] { return number <= added + window; });
                }
                pdf::Page page(2100, 2970);
                buildPage(page, number, font, buffer, ascent);
                page.Finish();
                std::lock_guard lock(mutex);
                ready[static_cast<std::size_t>(number % window)].emplace(std::move(page));
                changed.notify_all();
            }
            hb_buffer_destroy(buffer);
        };
        std::vector<std::thread> pool;
        for (int i = 0; i < threads; ++i)
            pool.emplace_back(worker);
        for (int number = 1; number <= gPages; ++number) {
            std::optional<pdf::Page> page;
            {
                std::unique_lock lock(mutex);
                auto &slot = ready[static_cast<std::size_t>(number % window)];
                changed.wait(lock, [&] { return slot.has_value(); });
                page = std::move(slot);
                slot.reset();
            }
            document.AddPage(*page);
            std::lock_guard lock(mutex);
            added = number;
            changed.notify_all();
        }
        for (std::thread &t : pool)
            t.join();
    }
    const pdf::Error error = document.Finish();
    close(fd);
    return error ? 2 : 0;
}

int runGhostscript(const char *out)
{
    const std::string ps = std::string(out) + ".ps";
    std::ofstream(ps, std::ios::binary) << formgen::PostScript(gPages);
    const std::string command = "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile='" +
                                std::string(out) + "' '" + ps + "'";
    const int status = std::system(command.c_str());
    std::remove(ps.c_str());
    return status == 0 ? 0 : 2;
}

struct Figures {
    double seconds = 1e9;    // wall clock, fastest run
    double cpuSeconds = 1e9; // user + system, fastest run
    long peakKiB = 0;
    long long bytes = 0;
};

void measureChild(const char *self, const char *mode, const std::string &out, Figures &best)
{
    const ChildRun run = RunChild({self, mode, out, std::to_string(gPages), gFontFile});
    best.seconds = std::min(best.seconds, run.seconds);
    best.cpuSeconds = std::min(best.cpuSeconds, run.cpuSeconds);
    best.peakKiB = std::max(best.peakKiB, run.peakKiB);
    struct stat info{};
    best.bytes = stat(out.c_str(), &info) == 0 ? info.st_size : 0;
    if (!run.ok)
        std::fprintf(stderr, "%s run failed\n", mode);
}

} // namespace

int main(int argc, char **argv)
{
    // A child run: MODE OUTPUT PAGES FONTFILE.
    if (argc == 5) {
        gPages = std::atoi(argv[3]);
        gFontFile = argv[4];
        const std::string mode = argv[1];
        if (mode == "writer")
            return runWriter(argv[2], 1);
        if (mode == "writer2")
            return runWriter(argv[2], 2);
        if (mode == "gs")
            return runGhostscript(argv[2]);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        int qtArgc = 1;
        QGuiApplication app(qtArgc, argv);
        return runQPainter(argv[2]);
    }
    if (argc > 1)
        gPages = std::max(1, std::atoi(argv[1]));
    const std::string dir = argc > 2 ? argv[2] : "/tmp";
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    gFontFile = findFont();
    std::printf("%d A4 pages, 61 rules and 100 short strings each, to PDF (best of %d)\n",
                gPages, rounds);
    const struct {
        const char *mode, *label;
    } runs[] = {
        {"qpainter", "QPainter on QPdfWriter"},
        {"gs", "Ghostscript pdfwrite (PostScript)"},
        {"writer", "PDF writer, 1 thread"},
        {"writer2", "PDF writer, 2 threads"},
    };
    Figures figures[std::size(runs)];
    // Taken in turns, so that a busy moment of the machine does not hit one side only.
    for (int round = 0; round < rounds; ++round)
        for (std::size_t i = 0; i < std::size(runs); ++i)
            measureChild(argv[0], runs[i].mode, dir + "/bench-pdfwriter-" + runs[i].mode + ".pdf",
                         figures[i]);
    for (std::size_t i = 0; i < std::size(runs); ++i) {
        const Figures &f = figures[i];
        std::printf("%-34s %6.3f s (cpu %6.3f s)  peak %6.1f MB  file %7.2f MB\n", runs[i].label,
                    f.seconds, f.cpuSeconds, f.peakKiB / 1024.0, f.bytes / 1048576.0);
        std::remove((dir + "/bench-pdfwriter-" + runs[i].mode + ".pdf").c_str());
    }
    for (std::size_t i = 2; i < std::size(runs); ++i)
        std::printf("%s: %.2f × QPainter, %.2f × Ghostscript (wall clock)\n", runs[i].label,
                    figures[i].seconds / figures[0].seconds, figures[i].seconds / figures[1].seconds);
    return 0;
}
