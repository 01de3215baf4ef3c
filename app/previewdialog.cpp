// The print preview window.
#include "previewdialog.h"

#include "pageview.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// Items of the zoom box that fit the page rather than name a zoom.
constexpr qreal kWholePage = -1;
constexpr qreal kPageWidth = -2;

} // namespace

PreviewDialog::PreviewDialog(int pageCount, QSizeF paperInches, RenderPage render, Print print,
                             QWidget *parent)
    : QDialog(parent), m_render(std::move(render)), m_print(std::move(print)),
      m_view(new PageView(this))
{
    setObjectName(QStringLiteral("previewDialog"));
    setWindowTitle(QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar(layout);
    layout->addWidget(m_view, 1);

    m_renderSoon.setSingleShot(true);
    m_renderSoon.setInterval(0);
    connect(&m_renderSoon, &QTimer::timeout, this, &PreviewDialog::renderWanted);
    connect(m_view, &PageView::imageWanted, &m_renderSoon, qOverload<>(&QTimer::start));
    connect(m_view, &PageView::currentPageChanged, this, &PreviewDialog::showControls);
    connect(m_view, &PageView::zoomChanged, this, &PreviewDialog::showControls);
    m_view->setPages(pageCount, paperInches);
    m_view->setFocus();
}

void PreviewDialog::buildToolBar(QLayout *layout)
{
    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    layout->addWidget(bar);
    auto add = [this, bar](const QString &text, QStyle::StandardPixmap icon, auto slot,
                           const QKeySequence &key = {}) {
        QAction *action = bar->addAction(text);
        if (icon != QStyle::SP_CustomBase)
            action->setIcon(style()->standardIcon(icon));
        action->setShortcut(key);
        action->setToolTip(text);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };

    add(QStringLiteral("印刷(&P)..."), QStyle::SP_CustomBase,
        [this]() {
            if (m_print && m_print())
                accept();
        },
        QKeySequence::Print);
    bar->addSeparator();
    m_first = add(QStringLiteral("最初のページ"), QStyle::SP_MediaSkipBackward,
                  [this]() { m_view->setCurrentPage(1); });
    m_previous = add(QStringLiteral("前ページ(&V)"), QStyle::SP_ArrowLeft,
                     [this]() { m_view->previousPage(); });
    m_pageNumber = new QSpinBox(bar);
    m_pageNumber->setKeyboardTracking(false);
    m_pageNumber->setToolTip(QStringLiteral("ページ番号"));
    bar->addWidget(m_pageNumber);
    m_pageCount = new QLabel(bar);
    m_pageCount->setContentsMargins(4, 0, 4, 0);
    bar->addWidget(m_pageCount);
    connect(m_pageNumber, &QSpinBox::valueChanged, m_view, &PageView::setCurrentPage);
    m_next = add(QStringLiteral("次ページ(&N)"), QStyle::SP_ArrowRight,
                 [this]() { m_view->nextPage(); });
    m_last = add(QStringLiteral("最後のページ"), QStyle::SP_MediaSkipForward,
                 [this]() { m_view->setCurrentPage(m_view->pageCount()); });
    bar->addSeparator();

    m_zoom = new QComboBox(bar);
    m_zoom->setToolTip(QStringLiteral("表示倍率"));
    m_zoom->addItem(QStringLiteral("ページ全体"), kWholePage);
    m_zoom->addItem(QStringLiteral("ページ幅"), kPageWidth);
    for (qreal step : PageView::ZoomSteps())
        m_zoom->addItem(QStringLiteral("%1%").arg(qRound(step * 100)), step);
    bar->addWidget(m_zoom);
    connect(m_zoom, &QComboBox::activated, this, &PreviewDialog::zoomChosen);
    add(QStringLiteral("縮小(&O)"), QStyle::SP_CustomBase, [this]() { m_view->zoomOut(); },
        QKeySequence::ZoomOut);
    add(QStringLiteral("拡大(&I)"), QStyle::SP_CustomBase, [this]() { m_view->zoomIn(); },
        QKeySequence::ZoomIn);
    bar->addSeparator();
    add(QStringLiteral("閉じる(&C)"), QStyle::SP_CustomBase, [this]() { reject(); });
}

void PreviewDialog::zoomChosen(int index)
{
    const qreal zoom = m_zoom->itemData(index).toReal();
    if (zoom == kWholePage)
        m_view->setFit(PageView::Fit::WholePage);
    else if (zoom == kPageWidth)
        m_view->setFit(PageView::Fit::PageWidth);
    else
        m_view->setZoom(zoom);
    m_view->setFocus();
}

void PreviewDialog::showControls()
{
    const int page = m_view->currentPage();
    const int count = m_view->pageCount();
    const QSignalBlocker blocker(m_pageNumber);
    m_pageNumber->setRange(1, count);
    m_pageNumber->setValue(page);
    m_pageCount->setText(QStringLiteral("/ %1").arg(QLocale::c().toString(count)));
    m_first->setEnabled(page > 1);
    m_previous->setEnabled(page > 1);
    m_next->setEnabled(page < count);
    m_last->setEnabled(page < count);

    qreal item = m_view->zoom();
    if (m_view->fit() == PageView::Fit::WholePage)
        item = kWholePage;
    else if (m_view->fit() == PageView::Fit::PageWidth)
        item = kPageWidth;
    const QSignalBlocker zoomBlocker(m_zoom);
    m_zoom->setCurrentIndex(m_zoom->findData(item));
}

void PreviewDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Pages are rendered only while the preview is shown.
    m_renderSoon.start();
}

void PreviewDialog::renderWanted()
{
    // A page being rendered lets timers through; the page wanted next waits for it.
    if (m_rendering || !isVisible() || m_view->showsPage())
        return;
    const int page = m_view->currentPage();
    QImage image = m_images.find(page, m_view->imageSize());
    if (image.isNull()) {
        m_rendering = true;
        image = m_render(page, m_view->imageDotsPerInch());
        m_rendering = false;
        if (image.isNull()) {
            // Cancel means no preview: an endless page may have drawn a great deal.
            reject();
            return;
        }
        m_images.insert(page, image);
    }
    m_view->showImage(page, image);
    // The user may have moved on while the page ran.
    if (!m_view->showsPage())
        m_renderSoon.start();
}
