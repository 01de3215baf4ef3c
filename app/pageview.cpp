// The page area of the print preview.
#include "pageview.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMargin = 12;      // grey ground around the page, in logical pixels
constexpr int kScrollStep = 40;  // pixels of one arrow key or a third of a wheel notch
constexpr int kWheelNotch = 120; // angle delta of one notch of a mouse wheel

} // namespace

const QList<qreal> &PageView::ZoomSteps()
{
    static const QList<qreal> steps{0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
    return steps;
}

PageView::PageView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("pageView"));
    // Always there, so that fitting the page to the width never makes the bar come and
    // go.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
}

void PageView::setPages(int count, QSizeF paperInches)
{
    m_pageCount = std::max(1, count);
    m_paper = paperInches;
    m_page = 1;
    m_image = QImage();
    m_imagePage = 0;
    layoutChanged();
    emit currentPageChanged(m_page);
    askForImage();
}

void PageView::updatePages(int count, QSizeF paperInches)
{
    const int page = std::clamp(m_page, 1, std::max(1, count));
    const bool paperChanged = paperInches != m_paper;
    m_pageCount = std::max(1, count);
    m_paper = paperInches;
    if (page != m_page) {
        m_page = page;
        m_image = QImage();
        m_imagePage = 0;
    }
    layoutChanged();
    if (paperChanged && m_fit != Fit::None)
        emit zoomChanged();
    emit currentPageChanged(m_page);
    askForImage();
}

qreal PageView::zoom() const
{
    const QSizeF real = m_paper * logicalDpiX();
    const QSizeF room = QSizeF(viewport()->size()) - QSizeF(2 * kMargin, 2 * kMargin);
    const qreal least = ZoomSteps().front() / 10;
    switch (m_fit) {
    case Fit::WholePage:
        return std::max(least, std::min(room.width() / real.width(), room.height() / real.height()));
    case Fit::PageWidth:
        return std::max(least, room.width() / real.width());
    case Fit::None:
        break;
    }
    return m_zoom;
}

qreal PageView::imageDotsPerInch() const
{
    return logicalDpiX() * zoom() * devicePixelRatioF();
}

QSize PageView::imageSize() const
{
    const qreal dpi = imageDotsPerInch();
    return QSize(std::max(1, qRound(m_paper.width() * dpi)),
                 std::max(1, qRound(m_paper.height() * dpi)));
}

bool PageView::showsPage() const
{
    return m_imagePage == m_page && !m_image.isNull() && m_image.size() == imageSize();
}

QSizeF PageView::pageSize() const
{
    return m_paper * (logicalDpiX() * zoom());
}

bool PageView::turnsPages() const
{
    return pageSize().height() + 2 * kMargin <= viewport()->height() + 0.5;
}

QRectF PageView::pageRect() const
{
    const QSizeF size = pageSize();
    const QSize area = viewport()->size();
    const qreal x = size.width() + 2 * kMargin <= area.width()
                        ? (area.width() - size.width()) / 2
                        : kMargin - horizontalScrollBar()->value();
    const qreal y = turnsPages() ? (area.height() - size.height()) / 2
                                 : kMargin - verticalScrollBar()->value();
    return QRectF(QPointF(std::round(x), std::round(y)), size);
}

void PageView::setCurrentPage(int page)
{
    goToPage(page, Arrive::Top);
}

void PageView::nextPage()
{
    goToPage(m_page + 1, Arrive::Top);
}

void PageView::previousPage()
{
    goToPage(m_page - 1, Arrive::Top);
}

void PageView::goToPage(int page, Arrive arrive)
{
    page = std::clamp(page, 1, m_pageCount);
    if (page == m_page)
        return;
    m_page = page;
    m_settingBars = true;
    QScrollBar *bar = verticalScrollBar();
    if (turnsPages())
        bar->setValue(page - 1);
    else
        bar->setValue(arrive == Arrive::Top ? 0 : bar->maximum());
    m_settingBars = false;
    viewport()->update();
    emit currentPageChanged(m_page);
    askForImage();
}

void PageView::setFit(Fit fit)
{
    if (fit == Fit::None) {
        setZoom(zoom());
        return;
    }
    m_fit = fit;
    layoutChanged();
    emit zoomChanged();
    askForImage();
}

void PageView::setZoom(qreal zoom)
{
    m_zoom = std::clamp(zoom, ZoomSteps().front(), ZoomSteps().back());
    m_fit = Fit::None;
    layoutChanged();
    emit zoomChanged();
    askForImage();
}

void PageView::zoomIn()
{
    const qreal now = zoom();
    for (qreal step : ZoomSteps())
        if (step > now * 1.001) {
            setZoom(step);
            return;
        }
}

void PageView::zoomOut()
{
    const qreal now = zoom();
    const QList<qreal> &steps = ZoomSteps();
    for (auto step = steps.rbegin(); step != steps.rend(); ++step)
        if (*step < now / 1.001) {
            setZoom(*step);
            return;
        }
}

void PageView::showImage(int page, const QImage &image)
{
    if (page != m_page)
        return;
    m_image = image;
    m_imagePage = page;
    viewport()->update();
}

void PageView::askForImage()
{
    if (!showsPage())
        emit imageWanted(m_page, imageDotsPerInch());
}

void PageView::layoutChanged()
{
    // The same part of the page stays in view.
    QScrollBar *vertical = verticalScrollBar();
    QScrollBar *horizontal = horizontalScrollBar();
    const qreal down = !m_turning && vertical->maximum() > 0
                           ? qreal(vertical->value()) / vertical->maximum() : 0;
    const qreal across = horizontal->maximum() > 0
                             ? qreal(horizontal->value()) / horizontal->maximum() : 0.5;
    updateScrollBars();
    m_turning = turnsPages();
    m_settingBars = true;
    if (!m_turning)
        vertical->setValue(qRound(down * vertical->maximum()));
    horizontal->setValue(qRound(across * horizontal->maximum()));
    m_settingBars = false;
    viewport()->update();
}

void PageView::updateScrollBars()
{
    m_settingBars = true;
    const QSizeF size = pageSize();
    const QSize area = viewport()->size();
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, qCeil(size.width() + 2 * kMargin - area.width())));
    horizontal->setPageStep(area.width());
    horizontal->setSingleStep(kScrollStep);
    QScrollBar *vertical = verticalScrollBar();
    if (turnsPages()) {
        vertical->setRange(0, m_pageCount - 1);
        vertical->setPageStep(1);
        vertical->setSingleStep(1);
        vertical->setValue(m_page - 1);
    } else {
        vertical->setRange(0, std::max(0, qCeil(size.height() + 2 * kMargin - area.height())));
        vertical->setPageStep(area.height());
        vertical->setSingleStep(kScrollStep);
    }
    m_settingBars = false;
}

void PageView::scrollPage(int pixels)
{
    QScrollBar *bar = verticalScrollBar();
    if (pixels > 0 && bar->value() >= bar->maximum())
        goToPage(m_page + 1, Arrive::Top);
    else if (pixels < 0 && bar->value() <= bar->minimum())
        goToPage(m_page - 1, Arrive::Bottom);
    else
        bar->setValue(bar->value() + pixels);
}

void PageView::scrollContentsBy(int, int dy)
{
    // In page-turning mode the vertical bar's value is the page.
    if (!m_settingBars && dy != 0 && turnsPages())
        goToPage(verticalScrollBar()->value() + 1, Arrive::Top);
    viewport()->update();
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    layoutChanged();
    if (m_fit != Fit::None)
        emit zoomChanged();
    askForImage();
}

void PageView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const QRect page = pageRect().toRect();
    painter.fillRect(page.translated(3, 3), palette().color(QPalette::Shadow));
    painter.fillRect(page, Qt::white);
    if (m_imagePage == m_page && !m_image.isNull()) {
        // Another zoom's image stands in, stretched, until the right one comes.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, !showsPage());
        painter.drawImage(page, m_image);
    }
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(page.adjusted(0, 0, -1, -1));
}

void PageView::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    event->accept();
    if (event->modifiers() & Qt::ControlModifier) {
        m_wheelRest += delta;
        for (; m_wheelRest >= kWheelNotch; m_wheelRest -= kWheelNotch)
            zoomIn();
        for (; m_wheelRest <= -kWheelNotch; m_wheelRest += kWheelNotch)
            zoomOut();
        return;
    }
    if (event->angleDelta().x() != 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() -
                                        event->angleDelta().x() * kScrollStep * 3 / kWheelNotch);
    if (!turnsPages()) {
        m_wheelRest = 0;
        if (delta != 0)
            scrollPage(-delta * kScrollStep * 3 / kWheelNotch);
        return;
    }
    m_wheelRest += delta;
    for (; m_wheelRest >= kWheelNotch; m_wheelRest -= kWheelNotch)
        previousPage();
    for (; m_wheelRest <= -kWheelNotch; m_wheelRest += kWheelNotch)
        nextPage();
}

void PageView::keyPressEvent(QKeyEvent *event)
{
    const bool turning = turnsPages();
    const bool across = horizontalScrollBar()->maximum() > 0;
    switch (event->key()) {
    case Qt::Key_PageDown:
    case Qt::Key_Space:
        turning ? nextPage() : scrollPage(viewport()->height() - kScrollStep);
        break;
    case Qt::Key_PageUp:
        turning ? previousPage() : scrollPage(kScrollStep - viewport()->height());
        break;
    case Qt::Key_Down:
        turning ? nextPage() : scrollPage(kScrollStep);
        break;
    case Qt::Key_Up:
        turning ? previousPage() : scrollPage(-kScrollStep);
        break;
    case Qt::Key_Right:
        across ? horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd)
               : nextPage();
        break;
    case Qt::Key_Left:
        across ? horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub)
               : previousPage();
        break;
    case Qt::Key_Home:
        goToPage(1, Arrive::Top);
        break;
    case Qt::Key_End:
        goToPage(m_pageCount, Arrive::Top);
        break;
    case Qt::Key_Plus:
        zoomIn();
        break;
    case Qt::Key_Minus:
        zoomOut();
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}
