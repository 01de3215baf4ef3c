// Speed at scale, side by side in one run, on the benchmark form (61 rules and 100 short
// strings a page):
//   - 300 and 3,000 pages to PDF through zentova-print drawing 1, 2 and 4 pages at once
//     (and whether the three files are the same bytes), QPainter straight on QPdfWriter
//     with the same marks, and Ghostscript's pdfwrite on the same marks as PostScript
//     (time, peak memory, and how the time grows from 300 to 3,000 pages);
//   - the form with 3,000 different kanji (30 pages) to PDF: the size of the file and of
//     its subset font, against QPainter's file;
//   - zentova-print --check on a form of one million command lines (lines a second);
//   - PNG at 300 dpi (milliseconds a page).
// Every figure is a whole process: zentova-print and gs as installed programs, the
// QPainter side as a child of this program; the best time of the rounds counts, and the
// largest peak memory.
//     bench_scale [ROUNDS [FOLDER]]     (3 rounds; files in /tmp)
#include "childrun.h"
#include "directpdf.h"
#include "formgen.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kZentovaPrint = ZENTOVA_PROGRAM_DIR "/zentova-print";

struct Figures {
    double seconds = 1e99;    // wall clock, the best round
    double cpuSeconds = 1e99; // user + system, the best round
    long peakKiB = 0;         // the largest round
    bool failed = false;
};

// Runs `args` (a program and its arguments) `rounds` times with standard output and
// error discarded.
Figures measure(const std::vector<std::string> &args, int rounds)
{
    Figures f;
    for (int round = 0; round < rounds; ++round) {
        const ChildRun run = RunChild(args, true);
        // zentova-print --check exits with 1 when the file has errors; the form has none.
        if (!run.ok)
            f.failed = true;
        f.seconds = std::min(f.seconds, run.seconds);
        f.cpuSeconds = std::min(f.cpuSeconds, run.cpuSeconds);
        f.peakKiB = std::max(f.peakKiB, run.peakKiB);
    }
    return f;
}

bool write(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

std::string read(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The bytes of the font programs embedded in a PDF of ours, before compression: the sum
// of their /Length1 entries.
long fontProgramBytes(const std::string &pdf)
{
    long sum = 0;
    for (std::size_t at = pdf.find("/Length1 "); at != std::string::npos;
         at = pdf.find("/Length1 ", at + 1))
        sum += std::atol(pdf.c_str() + at + 9);
    return sum;
}

std::string cell(const Figures &f)
{
    if (f.failed)
        return "failed";
    char text[64];
    std::snprintf(text, sizeof text, "%6.2f s (cpu %6.2f) %4.0f MB", f.seconds, f.cpuSeconds,
                  f.peakKiB / 1024.0);
    return text;
}

void row(const char *name, const Figures &small, const Figures &large)
{
    std::printf("%-30s %-30s %-30s", name, cell(small).c_str(), cell(large).c_str());
    if (!small.failed && !large.failed)
        std::printf(" %5.1fx (cpu %5.1fx)", large.seconds / small.seconds,
                    large.cpuSeconds / small.cpuSeconds);
    std::printf("\n");
}

std::size_t lineCount(const std::string &text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

int main(int argc, char **argv)
{
    // Child mode: the QPainter side, "bench_scale direct OUT.pdf PAGES [kanji]".
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "direct") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        int qtArgc = 1;
        QGuiApplication app(qtArgc, argv);
        return WriteFormWithQPainter(argv[2], std::atoi(argv[3]), argc == 5);
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::string dir = argc > 2 ? argv[2] : "/tmp";
    const std::string self = argv[0];
    const bool haveGs = std::system("command -v gs >/dev/null 2>&1") == 0;

    const int sizes[] = {300, 3000};
    constexpr int kThreads[] = {1, 2, 4};
    Figures zentova[3][2], direct[2], gs[2];
    bool sameBytes[2] = {true, true};
    std::vector<std::string> files;
    for (int i = 0; i < 2; ++i) {
        const std::string pages = std::to_string(sizes[i]);
        const std::string base = dir + "/bench-scale-" + pages;
        write(base + ".zent", formgen::CommandText(sizes[i]));
        write(base + ".ps", formgen::PostScript(sizes[i]));
        files.insert(files.end(), {base + ".zent", base + ".ps", base + "-direct.pdf",
                                   base + "-gs.pdf"});
        for (int t = 0; t < 3; ++t) {
            const std::string threads = std::to_string(kThreads[t]);
            const std::string out = base + "-zentova-" + threads + ".pdf";
            files.push_back(out);
            zentova[t][i] = measure(
                {kZentovaPrint, "--threads", threads, "-o", out, base + ".zent"}, rounds);
            if (t > 0 && read(out) != read(base + "-zentova-1.pdf"))
                sameBytes[i] = false;
        }
        direct[i] = measure({self, "direct", base + "-direct.pdf", pages}, rounds);
        if (haveGs)
            gs[i] = measure({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite",
                             "-sOutputFile=" + base + "-gs.pdf", base + ".ps"},
                            rounds);
    }

    // The form with 3,000 different kanji.
    const std::string kanji = dir + "/bench-scale-kanji";
    write(kanji + ".zent", formgen::CommandText(30, true));
    files.insert(files.end(), {kanji + ".zent", kanji + "-zentova.pdf", kanji + "-direct.pdf"});
    const Figures kanjiZentova =
        measure({kZentovaPrint, "-o", kanji + "-zentova.pdf", kanji + ".zent"}, 1);
    const Figures kanjiDirect = measure({self, "direct", kanji + "-direct.pdf", "30", "kanji"}, 1);
    const std::string kanjiPdf = read(kanji + "-zentova.pdf");
    const std::size_t kanjiDirectBytes = read(kanji + "-direct.pdf").size();
    std::string face;
    if (FILE *pipe = popen("fc-match -f '%{file}' IPAMincho", "r")) {
        char buffer[512];
        while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
            face.append(buffer, n);
        pclose(pipe);
    }
    const std::size_t faceBytes = read(face).size();

    // One million command lines, and PNG pages of the form.
    const int checkPages = 1000000 / 305 + 1;
    const std::string checkText = formgen::CommandText(checkPages);
    const std::string checkFile = dir + "/bench-scale-check.zent";
    write(checkFile, checkText);
    files.push_back(checkFile);
    const Figures check = measure({kZentovaPrint, "--check", checkFile}, rounds);
    const std::string form = dir + "/bench-scale-300.zent";
    const std::string png = dir + "/bench-scale-%d.png";
    constexpr int kPngPages = 11;
    const Figures pngOne = measure({kZentovaPrint, "--dpi", "300", "--pages", "1-1", "-o", png, form}, rounds);
    const Figures pngMany = measure(
        {kZentovaPrint, "--dpi", "300", "--pages", "1-" + std::to_string(kPngPages), "-o", png, form},
        rounds);
    for (int page = 1; page <= kPngPages; ++page)
        files.push_back(dir + "/bench-scale-" + std::to_string(page) + ".png");

    std::printf("The benchmark form (A4, 61 rules and 100 short strings a page); best of %d "
                "rounds, largest peak memory\n\n",
                rounds);
    std::printf("%-30s %-30s %-30s %s\n", "to PDF", "300 pages", "3,000 pages",
                "3,000 / 300 pages");
    for (int t = 0; t < 3; ++t) {
        const std::string name = "zentova-print --threads " + std::to_string(kThreads[t]);
        row(name.c_str(), zentova[t][0], zentova[t][1]);
    }
    row("QPainter on QPdfWriter", direct[0], direct[1]);
    if (haveGs)
        row("Ghostscript pdfwrite (.ps)", gs[0], gs[1]);
    else
        std::printf("%-30s not installed (scripts/setup.sh installs it)\n", "Ghostscript pdfwrite");
    std::printf("the same bytes with 1, 2 and 4 threads: %s at 300 pages, %s at 3,000\n",
                sameBytes[0] ? "yes" : "NO", sameBytes[1] ? "yes" : "NO");
    for (int t = 0; t < 3; ++t) {
        const Figures *z = zentova[t];
        std::printf("%d thread(s): / QPainter %.2fx at 300 pages, %.2fx at 3,000 (cpu %.2fx, "
                    "%.2fx)",
                    kThreads[t], z[0].seconds / direct[0].seconds, z[1].seconds / direct[1].seconds,
                    z[0].cpuSeconds / direct[0].cpuSeconds, z[1].cpuSeconds / direct[1].cpuSeconds);
        if (haveGs)
            std::printf("; / Ghostscript %.2fx, %.2fx (cpu %.2fx, %.2fx)",
                        z[0].seconds / gs[0].seconds, z[1].seconds / gs[1].seconds,
                        z[0].cpuSeconds / gs[0].cpuSeconds, z[1].cpuSeconds / gs[1].cpuSeconds);
        std::printf("\n");
    }
    std::printf("targets: 3,000 pages at most 11x the time of 300, peak memory under 100 MB; "
                "300 pages at most 0.45x QPainter and 0.5x Ghostscript; 3,000 pages at most "
                "0.5x Ghostscript\n\n");

    if (kanjiZentova.failed || kanjiDirect.failed)
        std::printf("3,000 different kanji (30 pages): failed\n\n");
    else
        std::printf("3,000 different kanji (30 pages): zentova-print %.0f KB (subset font "
                    "program %.0f KB of the face's %.0f KB), QPainter %.0f KB; target: smaller "
                    "than QPainter's\n\n",
                    kanjiPdf.size() / 1024.0, fontProgramBytes(kanjiPdf) / 1024.0,
                    faceBytes / 1024.0, kanjiDirectBytes / 1024.0);

    const double lines = static_cast<double>(lineCount(checkText));
    if (check.failed)
        std::printf("zentova-print --check: failed\n");
    else
        std::printf("zentova-print --check, %.0f lines (%d pages): %.2f s (cpu %.2f), %.2f M "
                    "lines/s (cpu %.2f M), %.0f MB; target at least 5 M lines/s\n",
                    lines, checkPages, check.seconds, check.cpuSeconds,
                    lines / check.seconds / 1e6, lines / check.cpuSeconds / 1e6,
                    check.peakKiB / 1024.0);
    if (pngOne.failed || pngMany.failed)
        std::printf("PNG at 300 dpi: failed\n");
    else
        std::printf("PNG at 300 dpi: %.0f ms a page (cpu %.0f ms; %d pages %.2f s, 1 page %.2f "
                    "s); target at most 60 ms\n",
                    (pngMany.seconds - pngOne.seconds) / (kPngPages - 1) * 1000,
                    (pngMany.cpuSeconds - pngOne.cpuSeconds) / (kPngPages - 1) * 1000, kPngPages,
                    pngMany.seconds, pngOne.seconds);

    for (const std::string &file : files)
        std::remove(file.c_str());
    return 0;
}
