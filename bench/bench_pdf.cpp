// The benchmark form (61 rules and 100 short strings a page; 300 pages unless a page
// count is given) to PDF: the time and peak memory of zentova-print's path against QPainter drawing the same marks on a
// QPdfWriter directly. Each side runs in a child process of its own so that its peak
// memory is its own.
#include "childrun.h"
#include "cli/options.h"
#include "cli/render.h"
#include "directpdf.h"
#include "formgen.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

int gPages = 300;

int runZentova(const char *out)
{
    const std::string input = std::string(out) + ".zent";
    std::ofstream(input, std::ios::binary) << formgen::CommandText(gPages);
    Options options;
    options.input = input;
    options.output = out;
    int status = RenderCommandFile(options);
    std::remove(input.c_str());
    return status;
}

struct Figures {
    double seconds = 0;    // wall clock
    double cpuSeconds = 0; // user + system
    long peakKiB = 0;
};

Figures measureChild(const char *self, const char *mode, const char *out)
{
    const ChildRun run = RunChild({self, mode, out, std::to_string(gPages)});
    if (!run.ok)
        std::fprintf(stderr, "%s run failed\n", mode);
    return {run.seconds, run.cpuSeconds, run.peakKiB};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4) {
        gPages = std::atoi(argv[3]);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        int qtArgc = 1;
        QGuiApplication app(qtArgc, argv);
        return std::strcmp(argv[1], "direct") == 0 ? WriteFormWithQPainter(argv[2], gPages)
                                                   : runZentova(argv[2]);
    }
    if (argc > 1)
        gPages = std::max(1, std::atoi(argv[1]));
    const std::string dir = argc > 2 ? argv[2] : "/tmp";
    const std::string directPdf = dir + "/bench-direct.pdf";
    const std::string zentovaPdf = dir + "/bench-zentova.pdf";
    std::printf("%d A4 pages, 61 rules and 100 short strings each, to PDF\n", gPages);
    // Three runs each, taken in turns; the fastest run counts, the largest peak memory.
    Figures direct{1e9, 1e9, 0}, zentova{1e9, 1e9, 0};
    auto keepBest = [](Figures &best, const Figures &run) {
        best.seconds = std::min(best.seconds, run.seconds);
        best.cpuSeconds = std::min(best.cpuSeconds, run.cpuSeconds);
        best.peakKiB = std::max(best.peakKiB, run.peakKiB);
    };
    for (int round = 0; round < 3; ++round) {
        keepBest(direct, measureChild(argv[0], "direct", directPdf.c_str()));
        keepBest(zentova, measureChild(argv[0], "zentova", zentovaPdf.c_str()));
    }
    std::printf("QPainter on QPdfWriter directly: %6.2f s (cpu %6.2f s), peak memory %5.1f MB\n",
                direct.seconds, direct.cpuSeconds, direct.peakKiB / 1024.0);
    std::printf("zentova-print (interpreter):     %6.2f s (cpu %6.2f s), peak memory %5.1f MB\n",
                zentova.seconds, zentova.cpuSeconds, zentova.peakKiB / 1024.0);
    std::printf("ratio: %.2f wall clock, %.2f cpu\n", zentova.seconds / direct.seconds,
                zentova.cpuSeconds / direct.cpuSeconds);
    std::remove(directPdf.c_str());
    std::remove(zentovaPdf.c_str());
    return 0;
}
