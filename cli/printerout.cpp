// Printing through QPrinter and the shared print routine.
#include "printerout.h"

#include "errorformat.h"
#include "jobstop.h"
#include "options.h"
#include "stdstreams.h"

#include "draw/drawingview.h"
#include "draw/qt/printerjob.h"
#include "engine/pageindex.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace {

// Jobs shorter than this finish before a progress line would help anyone.
constexpr int kProgressFromPages = 20;

void fail(const std::string &message)
{
    std::cerr << "zentova-print: " << message << '\n';
}

std::string millimetres(int tenths)
{
    return std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "");
}

} // namespace

std::string PrintProgressLine(int done, int total)
{
    if (total < kProgressFromPages)
        return "";
    if (done >= total)
        return "\rpage " + std::to_string(total) + "/" + std::to_string(total) + "\n";
    return "\rpage " + std::to_string(done + 1) + "/" + std::to_string(total);
}

int PrintOnPrinter(const Options &o, DrawingView &view, const std::string &text,
                   const JobStop &stop, const DataFile *data)
{
    const std::string &name = *o.printer;
    const QPrinterInfo info = name.empty() ? QPrinterInfo::defaultPrinter()
                                           : QPrinterInfo::printerInfo(QString::fromStdString(name));
    if (info.isNull()) {
        fail(name.empty() ? std::string("there is no default printer")
                          : "unknown printer '" + name + "'");
        return 2;
    }

    const int pages = CountPages(text);
    if (o.firstPage > pages) {
        fail("the command file has " + std::to_string(pages) + " page(s); page " +
             std::to_string(o.firstPage) + " does not exist");
        return 2;
    }

    QPrinter printer(info, QPrinter::HighResolution);
    const std::string printerName = info.printerName().toStdString();
    const QPageSize paper(QSizeF(o.paper.width / 10.0, o.paper.height / 10.0),
                          QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    if (!printer.setPageSize(paper)) {
        fail("the printer '" + printerName + "' does not take paper of " +
             millimetres(o.paper.width) + " x " + millimetres(o.paper.height) + " mm");
        return 2;
    }
    printer.setPageOrientation(o.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    // With data the pages are chosen within every copy, which one printer range cannot say.
    if (!data && (o.firstPage > 1 || o.lastPage != 0)) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(o.firstPage, o.lastPage == 0 ? pages : std::min(o.lastPage, pages));
    }
    std::error_code ec;
    const std::filesystem::path input(o.input);
    printer.setDocName(QString::fromStdString(input.filename().string()));
    printer.setCreator(QStringLiteral("Zentova"));

    // Progress only on a terminal: where standard error is a file or a pipe, it carries
    // the error list alone, as with every other kind of output.
    PrintProgress progress;
    progress.stopRequested = [&stop] { return stop.requested(); };
    bool progressShown = false; // a progress line is on the terminal without its line end
    if (isatty(STDERR_FILENO)) {
        progress.step = [&progressShown](int done, int total) {
            const std::string line = PrintProgressLine(done, total);
            std::cerr << line << std::flush;
            progressShown = !line.empty() && line.back() != '\n';
            return true;
        };
    }

    bool printed = false;
    const MergeSelection merge{data, o.firstRecord, o.lastRecord, o.firstPage, o.lastPage};
    const bool hasErrors =
        PrintDocument(printer, view, text, std::filesystem::absolute(input, ec).string(),
                      progress, &printed, data ? merge : MergeSelection{});
    if (progressShown)
        std::cerr << '\n';
    std::cerr << FormatErrors(view.errorText, o.errorFormat, DisplayName(o.input));
    if (!printed && stop.requested()) {
        fail(stop.reason() + "; the print job was cancelled");
        return stop.exitStatus();
    }
    if (!printed) {
        fail("printing on '" + printerName + "' failed");
        return 2;
    }
    return hasErrors ? 1 : 0;
}
