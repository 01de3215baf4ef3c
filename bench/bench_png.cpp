// The benchmark form (61 rules and 100 short strings a page; 30 pages unless a page count
// is given) to PNG at 300 dpi through zentova-print's path: milliseconds a page of the
// whole job, wall clock and processor time, and the peak memory.
//     bench_png [PAGES [FOLDER]]
#include "cli/options.h"
#include "cli/render.h"
#include "formgen.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    const int pages = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const std::filesystem::path dir =
        std::filesystem::path(argc > 2 ? argv[2] : "/tmp") / "bench-png";
    std::filesystem::create_directories(dir);
    Options options;
    options.input = (dir / "form.zent").string();
    options.output = (dir / "page.png").string();
    options.outputKind = Options::Output::Png;
    options.dpi = 300;
    std::ofstream(options.input, std::ios::binary) << formgen::CommandText(pages);

    // Three runs; the fastest counts.
    double wall = 1e9, cpu = 1e9;
    for (int round = 0; round < 3; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuSeconds();
        if (RenderCommandFile(options) != 0)
            std::fprintf(stderr, "the run failed\n");
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        wall = std::min(wall, took.count());
        cpu = std::min(cpu, cpuSeconds() - cpuStart);
    }
    std::uintmax_t bytes = 0;
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        if (entry.path().extension() == ".png")
            bytes += entry.file_size();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%d A4 pages of the form to PNG at 300 dpi\n", pages);
    std::printf("%.1f ms a page (processor %.1f ms a page), %.0f KB a page, peak memory %.0f MB\n",
                wall * 1000 / pages, cpu * 1000 / pages, double(bytes) / 1024 / pages,
                usage.ru_maxrss / 1024.0);
    std::filesystem::remove_all(dir);
    return 0;
}
