// Rendering a job's pages into images.
#include "pagerenderer.h"

#include "qtsurface.h"

#include <QPrinter>

#include <algorithm>

PageRenderer::PageRenderer(DrawingView &view) : m_job(view) {}

PageRenderer::~PageRenderer() = default;

int PageRenderer::prepare(std::string text, bool previewing, std::string_view documentPath)
{
    return m_job.prepare(std::move(text), previewing, documentPath);
}

PrinterSheet PrinterSheet::Of(const QPrinter &printer)
{
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    const qreal dpi = std::max(1, printer.resolution());
    return {PrinterJob::PaperOf(printer), paper.size() / dpi,
            (printable.topLeft() - paper.topLeft()) / dpi};
}

void PageRenderer::begin(const QPrinter &printer)
{
    begin(PrinterSheet::Of(printer));
}

void PageRenderer::begin(const PrinterSheet &sheet)
{
    m_job.begin(sheet.paper.width(), sheet.paper.height());
    m_stopped = false;
    m_paper = sheet.paperInches;
    m_corner = sheet.corner;
}

QSize PageRenderer::imageSize(qreal dotsPerInch) const
{
    return QSize(std::max(1, qRound(m_paper.width() * dotsPerInch)),
                 std::max(1, qRound(m_paper.height() * dotsPerInch)));
}

QImage PageRenderer::render(int page, qreal dotsPerInch, const std::function<bool()> &stopRequested)
{
    bool stopped = false;
    QImage image = render(page, dotsPerInch, stopRequested, nullptr, stopped);
    return stopped ? QImage() : image;
}

QImage PageRenderer::render(int page, qreal dotsPerInch, const std::function<bool()> &stopRequested,
                            MarkRecorder *marks, bool &stopped)
{
    stopped = m_stopped;
    if (m_stopped)
        return {};
    QImage image(imageSize(dotsPerInch), QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = qRound(dotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    // The surface keeps the fonts it has looked up from page to page, as long as the
    // resolution stays.
    if (!m_surface || m_surfaceDpi != dotsPerInch) {
        m_surface = std::make_unique<QtSurface>(&m_painter, dotsPerInch, dotsPerInch);
        m_surfaceDpi = dotsPerInch;
    }
    m_painter.begin(&image);
    m_painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                             QPainter::SmoothPixmapTransform);
    // The origin moves to the printable area's corner through the viewport, which the
    // surface's own transform leaves alone.
    const QRect whole = image.rect();
    m_painter.setWindow(whole);
    m_painter.setViewport(whole.translated(qRound(m_corner.x() * dotsPerInch),
                                           qRound(m_corner.y() * dotsPerInch)));
    m_stopped = !m_job.renderPage(*m_surface, page, stopRequested, marks);
    m_painter.end();
    stopped = m_stopped;
    return image;
}

bool PageRenderer::end()
{
    m_surface.reset();
    return m_job.end();
}
