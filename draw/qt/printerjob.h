// One print or preview job of a command text on a QPrinter: the one printing routine
// that the desktop program and zentova-print share.
#pragma once

#include "draw/printjob.h"

#include <QSize>

#include <functional>
#include <string_view>
#include <vector>

class DataFile;
class MarkRecorder;
class QPainter;
class QPrinter;
class Surface;
struct DrawingView;

// Reports the progress of a job. `step(done, total)` is called before the first page and
// after every page; returning false cancels the job before its next page. `stopRequested`
// is asked now and then while a page runs; returning true cancels the job at once, inside
// the page. Empty functions never cancel.
struct PrintProgress {
    std::function<bool(int done, int total)> step;
    std::function<bool()> stopRequested;
};

// Merge printing in a print job: the records of `data` from `firstRecord` to `lastRecord`
// (1-based, 0 = through the last), one copy of the document each, and the pages of every
// copy to print (`lastPage` 0 = through the last). Without data the document prints once.
struct MergeSelection {
    const DataFile *data = nullptr;
    int firstRecord = 1;
    int lastRecord = 0;
    int firstPage = 1;
    int lastPage = 0;
};

// Drives PrintJob on a QPrinter (or on the preview's printer): the paper is the printer's
// full paper, one logical unit is 1/1440 inch and the origin is the corner of the
// printable area, as a QPainter on the printer places it.
class PrinterJob {
public:
    explicit PrinterJob(DrawingView &view);
    PrinterJob(const PrinterJob &) = delete;
    PrinterJob &operator=(const PrinterJob &) = delete;

    // Merge printing: see PrintJob::SetRecords. Call before prepare.
    void setRecords(const DataFile *data, int first = 1, int last = 0);

    // Indexes the pages of `text` (code page 932, CR LF) for the job (times the copies of
    // merge printing) and remembers whether the job is a preview and the document's folder
    // ("" for a document without a file).
    int prepare(std::string text, bool previewing, std::string_view documentPath);
    // The text the job was prepared with, and its page index.
    std::string_view text() const { return m_job.text(); }
    const PageIndex &index() const { return m_job.index(); }

    // Starts the job on `printer`: the paper of the job, an empty error list.
    void begin(const QPrinter &printer);
    // The same on paper of `paperWidth` × `paperHeight` tenths of a millimetre.
    void begin(int paperWidth, int paperHeight);
    // The paper of `printer` in tenths of a millimetre, as begin takes it.
    static QSize PaperOf(const QPrinter &printer);

    // Takes the paper of `printer` again without starting a new job: for a preview whose
    // paper or orientation the user changed. The error list is kept.
    void updatePaper(const QPrinter &printer);

    // Renders the job's pages `pages`, in their order, with `painter`, which is active on
    // `printer`; a new printer page is started between two pages. Returns false when
    // `progress` cancelled the job before its last page.
    bool renderPages(QPrinter &printer, QPainter &painter, const std::vector<int> &pages,
                     const PrintProgress &progress = {});

    // Renders page `page` of the prepared text on `surface`, whose painter is active on
    // any device: one page of a preview. `stopRequested` is asked now and then while the
    // page runs; returns false when it stopped the page. With `marks`, the page's marks
    // and the lines that drew them are noted there.
    bool renderPage(Surface &surface, int page, const std::function<bool()> &stopRequested = {},
                    MarkRecorder *marks = nullptr);

    // Ends the job; true when it recorded errors (the error list is in the view state).
    bool end();

    int pageCount() const { return m_pages; }
    const PrintJob &job() const { return m_job; }

private:
    DrawingView &m_view;
    PrintJob m_job;
    int m_pages = 0;
};

// The pages of `job` (prepared, `pages` pages across every copy) that `merge` chooses
// within each copy and the printer's page range allows, in order.
std::vector<int> ChosenPages(const QPrinter &printer, const PrintJob &job, int pages,
                             const MergeSelection &merge);

// Prints `text` on `printer` as one whole job: the pages that `merge` chooses (every page
// of the document once without data), of which the printer's page range (numbered
// across every copy), copies as the printer driver makes them. Returns true when the job recorded
// errors; `view.errorText` then holds them. A printer that cannot be started records no
// errors and prints nothing; `printed`, when given, says whether printing started and ran
// to its end without being cancelled.
bool PrintDocument(QPrinter &printer, DrawingView &view, std::string_view text,
                   std::string_view documentPath, const PrintProgress &progress = {},
                   bool *printed = nullptr, const MergeSelection &merge = {});
