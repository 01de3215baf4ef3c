// Speed at scale, side by side in one run, on the benchmark form (61 rules and 100 short
// strings a page):
//   - 300 and 3,000 pages to PDF through zentova-print, QPainter straight on QPdfWriter
//     with the same marks, and Ghostscript's pdfwrite on the same marks as PostScript
//     (time, peak memory, and how the time grows from 300 to 3,000 pages);
//   - zentova-print --check on a form of one million command lines (lines a second);
//   - PNG at 300 dpi (milliseconds a page).
// Every figure is a whole process: zentova-print and gs as installed programs, the
// QPainter side as a child of this program; the best time of the rounds counts, and the
// largest peak memory.
//     bench_scale [ROUNDS [FOLDER]]     (3 rounds; files in /tmp)
#include "directpdf.h"
#include "formgen.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kZentovaPrint = ZENTOVA_PROGRAM_DIR "/zentova-print";

struct Figures {
    double seconds = 1e99;    // wall clock, the best round
    double cpuSeconds = 1e99; // user + system, the best round
    long peakKiB = 0;         // the largest round
    bool failed = false;
};

double seconds(const timeval &t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// Runs `args` (a program and its arguments) `rounds` times with standard output and
// error discarded.
Figures measure(const std::vector<std::string> &args, int rounds)
{
    Figures f;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            std::vector<char *> argv;
            for (const std::string &a : args)
                argv.push_back(const_cast<char *>(a.c_str()));
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // zentova-print --check exits with 1 when the file has errors; the form has none.
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            f.failed = true;
        f.seconds = std::min(f.seconds, wall);
        f.cpuSeconds = std::min(f.cpuSeconds, seconds(usage.ru_utime) + seconds(usage.ru_stime));
        f.peakKiB = std::max(f.peakKiB, usage.ru_maxrss);
    }
    return f;
}

bool write(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
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
    // Child mode: the QPainter side, "bench_scale direct OUT.pdf PAGES".
    if (argc == 4 && std::strcmp(argv[1], "direct") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        int qtArgc = 1;
        QGuiApplication app(qtArgc, argv);
        return WriteFormWithQPainter(argv[2], std::atoi(argv[3]));
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::string dir = argc > 2 ? argv[2] : "/tmp";
    const std::string self = argv[0];
    const bool haveGs = std::system("command -v gs >/dev/null 2>&1") == 0;

    const int sizes[] = {300, 3000};
    Figures zentova[2], direct[2], gs[2];
    std::vector<std::string> files;
    for (int i = 0; i < 2; ++i) {
        const std::string pages = std::to_string(sizes[i]);
        const std::string base = dir + "/bench-scale-" + pages;
        write(base + ".zent", formgen::CommandText(sizes[i]));
        write(base + ".ps", formgen::PostScript(sizes[i]));
        files.insert(files.end(), {base + ".zent", base + ".ps", base + "-zentova.pdf",
                                   base + "-direct.pdf", base + "-gs.pdf"});
        zentova[i] = measure({kZentovaPrint, "-o", base + "-zentova.pdf", base + ".zent"}, rounds);
        direct[i] = measure({self, "direct", base + "-direct.pdf", pages}, rounds);
        if (haveGs)
            gs[i] = measure({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite",
                             "-sOutputFile=" + base + "-gs.pdf", base + ".ps"},
                            rounds);
    }

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
    row("zentova-print -o x.pdf", zentova[0], zentova[1]);
    row("QPainter on QPdfWriter", direct[0], direct[1]);
    if (haveGs)
        row("Ghostscript pdfwrite (.ps)", gs[0], gs[1]);
    else
        std::printf("%-30s not installed (scripts/setup.sh installs it)\n", "Ghostscript pdfwrite");
    if (!zentova[0].failed && !direct[0].failed)
        std::printf("zentova-print / QPainter: %.2fx at 300 pages, %.2fx at 3,000 (cpu %.2fx, "
                    "%.2fx)\n",
                    zentova[0].seconds / direct[0].seconds, zentova[1].seconds / direct[1].seconds,
                    zentova[0].cpuSeconds / direct[0].cpuSeconds,
                    zentova[1].cpuSeconds / direct[1].cpuSeconds);
    std::printf("targets: 3,000 pages at most 11x the time of 300, peak memory under 100 MB; "
                "300 pages at most 1.0x QPainter\n\n");

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
