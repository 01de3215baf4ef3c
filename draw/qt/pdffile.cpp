// PDF files written by the program's own PDF writer.
#include "pdffile.h"

#include "fontcache.h"
#include "fontresolver.h"

#include "draw/drawingview.h"

#include <QPrinter>
#include <QSaveFile>

#include <iostream>

namespace {

// The bytes of the PDF file into a device.
class DeviceSink : public pdf::Sink {
public:
    explicit DeviceSink(QIODevice &device) : m_device(device) {}
    bool Write(const char *data, std::size_t size) override
    {
        return m_device.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
    }

private:
    QIODevice &m_device;
};

} // namespace

PdfJobEnd WritePdf(QIODevice &device, const std::string &title, PrintJob &job,
                   DrawingView &view, const std::vector<int> &pages, PdfJobHooks hooks)
{
    if (!hooks.makeShaper)
        hooks.makeShaper = [] { return std::make_unique<FontCache>(FontResolver::shared()); };
    DeviceSink sink(device);
    pdf::DocumentInfo info;
    info.title = title;
    return WritePdfPages(job, view, pages, sink, info, hooks);
}

PdfJobEnd WritePdfFile(const QString &path, const std::string &title, PrintJob &job,
                       DrawingView &view, const std::vector<int> &pages, PdfJobHooks hooks,
                       std::string &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return PdfJobEnd::Failed;
    }
    const PdfJobEnd end = WritePdf(file, title, job, view, pages, std::move(hooks));
    if (end != PdfJobEnd::Complete) {
        file.cancelWriting();
        if (end == PdfJobEnd::Failed)
            error = file.errorString().toStdString();
        return end;
    }
    if (!file.commit()) {
        error = file.errorString().toStdString();
        return PdfJobEnd::Failed;
    }
    return end;
}

bool PrintPdfFile(QPrinter &printer, DrawingView &view, std::string_view text,
                  std::string_view documentPath, const PrintProgress &progress, bool *printed,
                  const MergeSelection &merge, std::string *failure)
{
    if (printed)
        *printed = false;
    if (failure)
        failure->clear();
    PrintJob job(view);
    job.SetRecords(merge.data, merge.firstRecord, merge.lastRecord);
    const int pages = job.Prepare(std::string(text), false, documentPath);
    const std::vector<int> chosen = ChosenPages(printer, job, pages, merge);
    if (chosen.empty()) {
        job.End();
        return false;
    }
    // The whole sheet measured as the preview of the same printer measures it.
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const int dpi = std::max(1, printer.resolution());
    job.Begin(PrintJob::PaperFromDots(static_cast<int>(paper.width() + 0.5), dpi),
              PrintJob::PaperFromDots(static_cast<int>(paper.height() + 0.5), dpi));
    view.stopRequested = progress.stopRequested;
    struct Unhook {
        ViewState &view;
        ~Unhook() { view.stopRequested = nullptr; }
    } unhook{view};
    PdfJobHooks hooks;
    hooks.step = progress.step;
    hooks.threads = DefaultPdfThreads();
    hooks.note = [](const std::string &note) { std::cerr << "zentova: " << note << '\n'; };
    std::string error;
    const PdfJobEnd end = WritePdfFile(printer.outputFileName(), printer.docName().toStdString(),
                                       job, view, chosen, hooks, error);
    if (printed)
        *printed = end == PdfJobEnd::Complete;
    if (failure && end == PdfJobEnd::Failed)
        *failure = error.empty() ? std::string("unknown error") : error;
    return job.End();
}
