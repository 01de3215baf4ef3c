// Pages of a print job rendered into images: the print preview's pages, and those of any
// other view of pages.
#pragma once

#include "printerjob.h"

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QSizeF>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QPrinter;
class QtSurface;
struct DrawingView;

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
    void setRecords(const DataFile *data) { m_job.setRecords(data); }
    // Takes the job's text (code page 932, CR LF) and returns its page count (of every
    // copy); `documentPath` as for PrinterJob::prepare.
    int prepare(std::string text, bool previewing, std::string_view documentPath);
    // Starts the job on the paper of `printer`: its whole sheet, the corner of its
    // printable area, an empty error list.
    void begin(const QPrinter &printer);

    int pageCount() const { return m_job.pageCount(); }
    // The job's text.
    std::string_view text() const { return m_job.text(); }
    // The whole sheet in inches.
    QSizeF paperInches() const { return m_paper; }
    // The size in pixels of a page image at `dotsPerInch`.
    QSize imageSize(qreal dotsPerInch) const;

    // Page `page` (1-based) as an image of the whole sheet at `dotsPerInch`: white paper,
    // the marks placed from the corner of the printable area as the printer places them.
    // `stopRequested` is asked now and then while the page runs. A null image when it
    // stopped the page, or when the job was stopped before.
    QImage render(int page, qreal dotsPerInch, const std::function<bool()> &stopRequested = {});

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
