// Pages of a print job rendered into images: the print preview's pages, and those of any
// other view of pages.
#pragma once

#include "printerjob.h"

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QSize>
#include <QSizeF>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class MarkRecorder;
class QPrinter;
class QtSurface;
struct DrawingView;

// The sheet of a printer as a job's pages are placed on it: read on the thread that owns
// the printer, used by a renderer on any thread.
struct PrinterSheet {
    QSize paper;            // the whole sheet in 0.1 mm: the paper of the job
    QSizeF paperInches;     // the whole sheet in inches
    QPointF corner;         // the printable area's corner on the sheet, in inches

    static PrinterSheet Of(const QPrinter &printer);
    bool operator==(const PrinterSheet &) const = default;
};

// Renders any page of one job, in any order, at any resolution, as a printer would print
// it. The job keeps its own copy of the text, so every page reads the same text whatever
// happens in the editor meanwhile. Rendering runs on the thread that calls it, one page at
// a time; the view state must not be used elsewhere meanwhile.
class PageRenderer {
public:
    explicit PageRenderer(DrawingView &view);
    ~PageRenderer();
    PageRenderer(const PageRenderer &) = delete;
    PageRenderer &operator=(const PageRenderer &) = delete;

    // Merge printing: see PrintJob::SetRecords. Call before prepare.
    void setRecords(const DataFile *data, int first = 1, int last = 0)
    {
        m_job.setRecords(data, first, last);
    }
    // Takes the job's text (code page 932, CR LF) and returns its page count (of every
    // copy); `documentPath` as for PrinterJob::prepare.
    int prepare(std::string text, bool previewing, std::string_view documentPath);
    // Starts the job on the paper of `printer`: its whole sheet, the corner of its
    // printable area, an empty error list.
    void begin(const QPrinter &printer);
    void begin(const PrinterSheet &sheet);

    int pageCount() const { return m_job.pageCount(); }
    // The job's text and its page index.
    std::string_view text() const { return m_job.text(); }
    const PageIndex &index() const { return m_job.index(); }
    // The whole sheet in inches.
    QSizeF paperInches() const { return m_paper; }
    // The size in pixels of a page image at `dotsPerInch`.
    QSize imageSize(qreal dotsPerInch) const;

    // Page `page` (1-based) as an image of the whole sheet at `dotsPerInch`: white paper,
    // the marks placed from the corner of the printable area as the printer places them.
    // `stopRequested` is asked now and then while the page runs. A null image when it
    // stopped the page, or when the job was stopped before.
    QImage render(int page, qreal dotsPerInch, const std::function<bool()> &stopRequested = {});
    // The same for a view that shows a stopped page as far as it got: `stopped` tells
    // whether the page was stopped, and the image is null only when the job had been
    // stopped before (it renders again once begun again). `marks`, when given, receives
    // the page's marks.
    QImage render(int page, qreal dotsPerInch, const std::function<bool()> &stopRequested,
                  MarkRecorder *marks, bool &stopped);

    // Ends the job; true when it recorded errors (the error list is in the view state).
    bool end();

private:
    PrinterJob m_job;
    QSizeF m_paper{8.27, 11.69};
    QPointF m_corner;   // the printable area's corner on the sheet, in inches
    QPainter m_painter; // begun on each page's image; the surface keeps pointing at it
    std::unique_ptr<QtSurface> m_surface;
    qreal m_surfaceDpi = 0;
    bool m_stopped = false;
};
