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

void PageRenderer::begin(const QPrinter &printer)
{
    m_job.begin(printer);
    m_stopped = false;
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    const qreal dpi = std::max(1, printer.resolution());
    m_paper = paper.size() / dpi;
    m_corner = (printable.topLeft() - paper.topLeft()) / dpi;
}

QSize PageRenderer::imageSize(qreal dotsPerInch) const
{
    return QSize(std::max(1, qRound(m_paper.width() * dotsPerInch)),
                 std::max(1, qRound(m_paper.height() * dotsPerInch)));
}

QImage PageRenderer::render(int page, qreal dotsPerInch, const std::function<bool()> &stopRequested)
{
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
    m_stopped = !m_job.renderPage(*m_surface, page, stopRequested);
    m_painter.end();
    return m_stopped ? QImage() : image;
}

bool PageRenderer::end()
{
    m_surface.reset();
    return m_job.end();
}
