// The print loop over a QPrinter: paper, pages, progress and cancellation.
#include "printerjob.h"

#include "qtsurface.h"

#include "draw/drawingview.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace {

// Hands the job's stop hook to the view while it lives.
class StopHook {
public:
    StopHook(ViewState &view, const std::function<bool()> &stopRequested) : m_view(view)
    {
        m_view.stopRequested = stopRequested;
    }
    ~StopHook() { m_view.stopRequested = nullptr; }
    StopHook(const StopHook &) = delete;
    StopHook &operator=(const StopHook &) = delete;

private:
    ViewState &m_view;
};

} // namespace

PrinterJob::PrinterJob(DrawingView &view) : m_view(view), m_job(view) {}

void PrinterJob::setRecords(const DataFile *data, int first, int last)
{
    m_job.SetRecords(data, first, last);
}

int PrinterJob::prepare(std::string text, bool previewing, std::string_view documentPath)
{
    m_pages = m_job.Prepare(std::move(text), previewing, documentPath);
    return m_pages;
}

// The printer's whole sheet, measured in device dots as the page is printed.
QSize PrinterJob::PaperOf(const QPrinter &printer)
{
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const int dpi = std::max(1, printer.resolution());
    return QSize(PrintJob::PaperFromDots(static_cast<int>(paper.width() + 0.5), dpi),
                 PrintJob::PaperFromDots(static_cast<int>(paper.height() + 0.5), dpi));
}

void PrinterJob::begin(const QPrinter &printer)
{
    const QSize paper = PaperOf(printer);
    begin(paper.width(), paper.height());
}

void PrinterJob::begin(int paperWidth, int paperHeight)
{
    m_job.Begin(paperWidth, paperHeight);
}

void PrinterJob::updatePaper(const QPrinter &printer)
{
    const QSize paper = PaperOf(printer);
    m_view.paperWidth = paper.width();
    m_view.paperHeight = paper.height();
}

bool PrinterJob::renderPages(QPrinter &printer, QPainter &painter, const std::vector<int> &pages,
                             const PrintProgress &progress)
{
    const int total = static_cast<int>(pages.size());
    auto proceed = [&](int done) { return !progress.step || progress.step(done, total); };
    // A new rendering (the preview renders again when its paper changes) may run even
    // though an earlier one was stopped.
    m_job.ClearStop();
    const StopHook hook(m_view, progress.stopRequested);
    if (!proceed(0))
        return false;
    // One surface for the whole job keeps its fonts and measured texts; StartPage sets
    // the painter up again for every page.
    QtSurface surface(&painter, printer.logicalDpiX(), printer.logicalDpiY());
    for (int done = 0; done < total; ++done) {
        if (done > 0 && !printer.newPage())
            return false;
        m_job.PrintPage(surface, pages[static_cast<std::size_t>(done)]);
        if (m_job.Stopped())
            return false;
        if (!proceed(done + 1) && done + 1 < total)
            return false;
    }
    return true;
}

bool PrinterJob::renderPage(Surface &surface, int page, const std::function<bool()> &stopRequested,
                            MarkRecorder *marks)
{
    const StopHook hook(m_view, stopRequested);
    m_job.PrintPage(surface, page, marks);
    return !m_job.Stopped();
}

bool PrinterJob::end()
{
    return m_job.End();
}

std::vector<int> ChosenPages(const QPrinter &printer, const PrintJob &job, int pages,
                             const MergeSelection &merge)
{
    int from = 1, to = pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = printer.fromPage();
        if (printer.toPage() > 0)
            to = std::min(printer.toPage(), pages);
    }
    std::vector<int> chosen = job.PagesOfEachCopy(merge.firstPage, merge.lastPage);
    std::erase_if(chosen, [from, to](int page) { return page < from || page > to; });
    return chosen;
}

bool PrintDocument(QPrinter &printer, DrawingView &view, std::string_view text,
                   std::string_view documentPath, const PrintProgress &progress, bool *printed,
                   const MergeSelection &merge)
{
    if (printed)
        *printed = false;
    PrinterJob job(view);
    job.setRecords(merge.data, merge.firstRecord, merge.lastRecord);
    const int pages = job.prepare(std::string(text), false, documentPath);
    const std::vector<int> chosen = ChosenPages(printer, job.job(), pages, merge);
    if (chosen.empty()) {
        job.end();
        return false;
    }
    job.begin(printer);
    QPainter painter;
    if (!painter.begin(&printer)) {
        job.end();
        return false;
    }
    const bool complete = job.renderPages(printer, painter, chosen, progress);
    if (!complete)
        printer.abort();
    const bool ended = painter.end();
    if (printed)
        *printed = complete && ended && printer.printerState() != QPrinter::Error;
    return job.end();
}
