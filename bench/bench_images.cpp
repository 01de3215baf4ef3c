// Pictures in a job: a 6000 × 4000 JPEG on every page of a 50-page job (decoded once,
// later placements only draw), a box that is mostly outside the paper (cost follows the
// visible part), and the intermediate of a preview (held to the screen's pixel count).
// Needs the shipped image plug-in in the program folder beside zentova-print.
#include "draw/drawingview.h"
#include "draw/nullsurface.h"
#include "draw/printjob.h"
#include "draw/qt/qtsurface.h"
#include "draw/tracesurface.h"
#include "engine/codepage.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// A photo-like 6000 × 4000 picture: gradients, so that JPEG has something to do.
bool WritePhoto(const QString &path)
{
    QImage image(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb(x * 255 / 6000, y * 255 / 4000, (x ^ y) & 0xFF);
    }
    return image.save(path, "JPEG", 85);
}

// Runs `pages` pages of `text` on a 150 dpi canvas; returns the seconds of each page.
std::vector<double> RunPages(DrawingView &view, const std::string &text, int pages, bool preview)
{
    PrintJob job(view);
    job.Prepare(text, preview, "");
    job.Begin(2100, 2970);
    QImage canvas(1240, 1754, QImage::Format_RGB32);
    std::vector<double> times;
    for (int page = 1; page <= pages; ++page) {
        const auto start = Clock::now();
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        QtSurface surface(&painter, 150, 150);
        job.PrintPage(surface, page);
        painter.end();
        times.push_back(Seconds(start));
    }
    job.End();
    return times;
}

std::string PageText(const std::string &line, int pages)
{
    std::string text;
    for (int page = 1; page <= pages; ++page) {
        text += line;
        if (page < pages)
            text += "page\r\n";
    }
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString photo = dir.filePath("photo.jpg");
    if (!WritePhoto(photo)) {
        std::fprintf(stderr, "cannot write the test photo\n");
        return 1;
    }
    DrawingView view;
    view.programFolder = cp932::FromUtf8(ZENTOVA_PROGRAM_DIR "/");
    const std::string path = cp932::FromUtf8(photo.toStdString());

    // 1. The same photo on each of 50 pages, filling the paper's width.
    const std::string onEveryPage = PageText("psize 2000 0\r\n!" + path + "\r\n", 50);
    std::vector<double> times = RunPages(view, onEveryPage, 50, false);
    if (!view.errorText.empty()) {
        std::fprintf(stderr, "the photo could not be placed (is the plug-in built?)\n");
        return 1;
    }
    double later = 0;
    for (std::size_t i = 1; i < times.size(); ++i)
        later += times[i];
    later /= static_cast<double>(times.size() - 1);
    std::printf("6000x4000 JPEG on 50 pages: first page %.0f ms (decoding), later pages "
                "%.1f ms each, job %.2f s\n",
                times[0] * 1000, later * 1000, [&] {
                    double sum = 0;
                    for (double t : times)
                        sum += t;
                    return sum;
                }());

    // 2. Mostly outside the paper. Page 1 decodes; pages 2 and 3 place the cached picture
    // (400 mm wide) with 210 mm and with 10 mm of it inside the paper's surroundings.
    const std::string wide = "psize 4000 0\r\n";
    const std::string outside = wide + "!!" + path + "\r\npage\r\n" + wide +
                                "position -1900 0\r\n!" + path + "\r\npage\r\n" + wide +
                                "position -3900 0\r\n!" + path + "\r\n";
    const std::vector<double> parts = RunPages(view, outside, 3, false);
    std::printf("box 400 mm wide: 210 mm visible %.0f ms, 10 mm visible %.0f ms\n",
                parts[1] * 1000, parts[2] * 1000);

    // 3. Preview: the intermediate of the whole 24-megapixel picture.
    view.screenPixelCount = 1920LL * 1080;
    view.screenPixelRoot = 1440;
    std::ostringstream trace;
    NullSurface nothing;
    TraceSurface traced(nothing, trace);
    PrintJob job(view);
    const std::string text = "psize 2000 0\r\n!" + path + "\r\n";
    job.Prepare(text, true, "");
    job.Begin(2100, 2970);
    job.PrintPage(traced, 1);
    job.End();
    const std::string line = trace.str();
    const std::size_t scaled = line.find("scaled=");
    std::printf("preview of the 6000x4000 picture on a 1920x1080 screen: intermediate %s",
                scaled == std::string::npos ? "(none)\n" : line.substr(scaled + 7).c_str());
    const std::vector<double> preview = RunPages(view, text, 1, true);
    const std::vector<double> printing = RunPages(view, text, 1, false);
    std::printf("one placement: preview %.0f ms, printing (at most 16 M pixels) %.0f ms\n",
                preview[0] * 1000, printing[0] * 1000);
    return 0;
}
