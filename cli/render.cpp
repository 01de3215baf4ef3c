// zentova-print's job: read the file, run every selected page on the chosen surface.
#include "render.h"

#include "errorformat.h"
#include "jobstop.h"
#include "mergeinput.h"
#include "options.h"
#include "pngpagewriter.h"
#include "printerout.h"
#include "settingsprofile.h"
#include "stdstreams.h"

#include "draw/drawingview.h"
#include "draw/printjob.h"
#include "draw/qt/pdffile.h"
#include "draw/qt/qtsurface.h"
#include "draw/qt/slotimage.h"
#include "draw/qt/userfolders.h"
#include "draw/tracesurface.h"
#include "engine/textlines.h"

#include <QImage>
#include <QPainter>

#include <filesystem>
#include <iostream>
#include <memory>
#include <unistd.h>

namespace {

void fail(const std::string &message)
{
    std::cerr << "zentova-print: " << message << '\n';
}

// What every kind of output shares: the job and its pages, and the surface that wraps the
// output's own in a trace when one is asked for.
struct Run {
    const Options &options;
    PrintJob &job;
    DrawingView &view;
    std::vector<int> selected; // the job's pages to render, in order
    PaperSize paper;
    std::optional<TraceSurface> trace;

    Surface &target(Surface &output)
    {
        if (!options.trace)
            return output;
        return trace.emplace(output, std::cout);
    }

    // Renders every page on the surface that `surfaceForPage` hands out; false when it
    // hands out none (the output could not be written). A stopped job ends after the page
    // it stopped in (job.Stopped()).
    // A job of many pages shows its progress on standard error when that is a terminal.
    template <typename SurfaceForPage>
    bool pages(SurfaceForPage &&surfaceForPage)
    {
        const int total = static_cast<int>(selected.size());
        const bool progress = isatty(STDERR_FILENO) && !PrintProgressLine(0, total).empty();
        for (int done = 0; done < total; ++done) {
            const int page = selected[static_cast<std::size_t>(done)];
            if (progress)
                std::cerr << PrintProgressLine(done, total) << std::flush;
            Surface *surface = surfaceForPage(page);
            if (!surface) {
                if (progress)
                    std::cerr << '\n';
                return false;
            }
            job.PrintPage(*surface, page);
            if (job.Stopped()) {
                if (progress)
                    std::cerr << '\n';
                return true;
            }
        }
        if (progress)
            std::cerr << PrintProgressLine(total, total) << std::flush;
        return true;
    }
};

// --check and --trace alone: a surface that measures and draws nothing.
bool renderNothing(Run &run)
{
    QtSurface measuring(nullptr, 1440, 1440);
    Surface &target = run.target(measuring);
    return run.pages([&](int) { return &target; });
}

// Every page into one PDF at the exact paper size, by the program's own PDF writer. The
// file appears only when the job ran to its end; until then an earlier file of that name
// stays as it was.
bool renderPdf(Run &run)
{
    const Options &o = run.options;
    PdfOutput file(o.output);
    if (!file.open()) {
        fail("cannot write '" + o.output + "': " + file.errorString());
        return false;
    }
    const int total = static_cast<int>(run.selected.size());
    const bool progress = isatty(STDERR_FILENO) && !PrintProgressLine(0, total).empty();
    PdfJobHooks hooks;
    if (o.trace)
        hooks.trace = &std::cout;
    hooks.step = [&](int done, int) {
        if (progress)
            std::cerr << PrintProgressLine(done, total) << std::flush;
        return true;
    };
    hooks.note = [](const std::string &note) { fail(note); };
    hooks.threads = o.threads > 0 ? o.threads : DefaultPdfThreads();
    const PdfJobEnd end =
        WritePdf(*file.device(), std::filesystem::path(DisplayName(o.input)).filename().string(),
                 run.job, run.view, run.selected, hooks);
    if (progress && end != PdfJobEnd::Complete)
        std::cerr << '\n';
    if (end == PdfJobEnd::Failed || (end == PdfJobEnd::Complete && !file.commit())) {
        fail("cannot write '" + o.output + "'");
        return false;
    }
    return true;
}

// One PNG per page at the chosen resolution, on white. Each page is written on a worker
// thread while the next one renders.
bool renderPng(Run &run)
{
    const Options &o = run.options;
    const int w = static_cast<int>(run.paper.width / 254.0 * o.dpi + 0.5);
    const int h = static_cast<int>(run.paper.height / 254.0 * o.dpi + 0.5);
    PngPageWriter writer(4LL * w * h);
    QImage image;
    QPainter painter;
    // One surface for the whole job keeps its fonts and measured texts; each page
    // begins the painter on a fresh image and the surface sets it up at StartPage.
    QtSurface surface(&painter, o.dpi, o.dpi);
    Surface &target = run.target(surface);
    int pending = 0;
    // A page is written whole or not at all; the page a job stopped in is not written.
    auto save = [&]() {
        painter.end();
        if (run.job.Stopped())
            return true;
        return writer.write(std::move(image), PngPathForPage(o.output, pending));
    };
    const bool rendered = run.pages([&](int page) -> Surface * {
        if (pending && !save())
            return nullptr;
        image = writer.pageImage(w, h);
        if (image.isNull()) {
            fail("a page of " + std::to_string(w) + " x " + std::to_string(h) +
                 " pixels is too large; choose a lower --dpi");
            return nullptr;
        }
        const int dotsPerMeter = static_cast<int>(o.dpi / 0.0254 + 0.5);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        painter.begin(&image);
        pending = page;
        return &target;
    });
    const bool saved = rendered && (!pending || save());
    if (!writer.finish()) {
        fail(writer.error());
        return false;
    }
    return saved;
}

} // namespace

int RenderCommandFile(const Options &o,
                      const std::function<void(const std::string &)> &onFileLookedUp)
{
    std::optional<std::string> bytes = ReadCommandFile(o.input);
    if (!bytes)
        return 2;
    std::string text = NormalizeLineEnds(std::move(*bytes));
    bytes.reset();

    DrawingView view;
    SettingsProfile stored;
    std::unique_ptr<Profile> given;
    if (o.adjust)
        given = std::make_unique<FixedAdjustment>(o.adjust->first, o.adjust->second);
    view.profile = given ? given.get() : static_cast<const Profile *>(&stored);
    ReadUserFolders(view);
    view.rootFolder = o.root;
    view.fileLookedUp = onFileLookedUp;
    JobStop stop(o.timeoutSeconds);
    view.stopRequested = [&stop] { return stop.requested(); };
    for (const auto &[digit, file] : o.slotImages) {
        if (!FillSlotFromImage(view.clipSlots, digit, QImage(QString::fromStdString(file)))) {
            fail("cannot read the picture '" + file + "' for slot " + std::to_string(digit));
            return 2;
        }
    }

    // A data file is read and checked whole before anything is written.
    std::unique_ptr<DataFile> data;
    bool unheld = false;
    if (!o.dataFile.empty() && !(data = ReadDataFile(o, unheld)))
        return 2;

    if (o.printer) {
        const int status = PrintOnPrinter(o, view, text, stop, data.get());
        return status == 0 && unheld ? 1 : status;
    }
    PrintJob job(view);
    job.SetRecords(data.get(), o.firstRecord, o.lastRecord);
    job.Prepare(std::move(text), false, DocumentPath(o.input));
    if (o.firstPage > job.PagesPerCopy()) {
        fail("the command file has " + std::to_string(job.PagesPerCopy()) + " page(s); page " +
             std::to_string(o.firstPage) + " does not exist");
        return 2;
    }
    PaperSize paper = o.paper;
    if (o.landscape)
        std::swap(paper.width, paper.height);
    job.Begin(paper.width, paper.height);

    Run run{o, job, view, job.PagesOfEachCopy(o.firstPage, o.lastPage), paper, std::nullopt};
    const bool written = o.outputKind == Options::Output::None ? renderNothing(run)
                         : o.outputKind == Options::Output::Pdf ? renderPdf(run)
                                                                : renderPng(run);
    std::cout.flush();

    const bool hasErrors = job.End();
    std::cerr << FormatErrors(view.errorText, o.errorFormat, DisplayName(o.input));
    if (!written)
        return 2;
    if (job.Stopped()) {
        fail(stop.reason() + (o.outputKind == Options::Output::Pdf ? "; no PDF was written"
                              : o.outputKind == Options::Output::Png
                                  ? "; the pages before the unfinished one were written"
                                  : ""));
        return stop.exitStatus();
    }
    return hasErrors || unheld ? 1 : 0;
}
