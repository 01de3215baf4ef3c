// The live preview pane.
#include "livepreviewpane.h"

#include "editorblocks.h"
#include "errormarks.h"
#include "markpageview.h"
#include "mergedata.h"
#include "merge/datafile.h"
#include "previewworker.h"
#include "printcontroller.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QShowEvent>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCaretRestMs = 50;
// Items of the zoom box.
constexpr qreal kWholePage = -1;
constexpr qreal kPageWidth = -2;

} // namespace

LivePreviewPane::LivePreviewPane(CZentovaView &view, QWidget *parent, int budgetMs)
    : QWidget(parent), m_view(view), m_budgetMs(budgetMs), m_pages(new MarkPageView(this)),
      m_notice(new QLabel(this)), m_pageLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("livePreview"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar();
    m_notice->setWordWrap(true);
    m_notice->setContentsMargins(6, 4, 6, 4);
    m_notice->setAutoFillBackground(true);
    QPalette palette = m_notice->palette();
    palette.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xC8));
    palette.setColor(QPalette::WindowText, QColor(0x5A, 0x40, 0x00));
    m_notice->setPalette(palette);
    m_notice->hide();
    layout->addWidget(m_notice);
    layout->addWidget(m_pages, 1);
    // Typing goes on in the editor; the pane takes the focus only when clicked.
    m_pages->setFocusPolicy(Qt::ClickFocus);

    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &LivePreviewPane::pauseOver);
    m_caretSettle.setSingleShot(true);
    m_caretSettle.setInterval(kCaretRestMs);
    connect(&m_caretSettle, &QTimer::timeout, this, &LivePreviewPane::caretMoved);

    connect(&view, &QPlainTextEdit::textChanged, this, &LivePreviewPane::textChanged);
    connect(&view, &QPlainTextEdit::cursorPositionChanged, &m_caretSettle,
            qOverload<>(&QTimer::start));
    connect(&view, &CZentovaView::clipSlotsChanged, this, [this]() {
        m_slots.reset();
        refresh();
    });
    connect(&view.zentovaDoc(), &CZentovaDoc::fileOpenedOrSaved, this,
            &LivePreviewPane::refresh);
    connect(&view.mergeData(), &CMergeData::changed, this, &LivePreviewPane::takeMergeData);
    connect(m_pages, &PageView::imageWanted, this,
            [this](int page, qreal) { imageWanted(page); });
    connect(m_pages, &PageView::currentPageChanged, this, &LivePreviewPane::showControls);
    connect(m_pages, &PageView::zoomChanged, this, &LivePreviewPane::showControls);
    connect(m_pages, &MarkPageView::markClicked, this, &LivePreviewPane::goToLine);
    showControls();
}

LivePreviewPane::~LivePreviewPane()
{
    // The thread ends before anything it could deliver to goes.
    m_worker.reset();
}

void LivePreviewPane::buildToolBar()
{
    auto *bar = new QToolBar(this);
    bar->setIconSize(QSize(16, 16));
    static_cast<QVBoxLayout *>(layout())->addWidget(bar);
    m_previous = bar->addAction(style()->standardIcon(QStyle::SP_ArrowLeft),
                                QStringLiteral("前ページ"), m_pages, &PageView::previousPage);
    bar->addWidget(m_pageLabel);
    m_pageLabel->setContentsMargins(4, 0, 4, 0);
    m_next = bar->addAction(style()->standardIcon(QStyle::SP_ArrowRight),
                            QStringLiteral("次ページ"), m_pages, &PageView::nextPage);
    bar->addSeparator();
    m_zoom = new QComboBox(bar);
    m_zoom->setToolTip(QStringLiteral("表示倍率"));
    m_zoom->addItem(QStringLiteral("ページ全体"), kWholePage);
    m_zoom->addItem(QStringLiteral("ページ幅"), kPageWidth);
    m_zoom->addItem(QStringLiteral("100%"), 1.0);
    m_zoom->setFocusPolicy(Qt::ClickFocus);
    bar->addWidget(m_zoom);
    m_record = new QSpinBox(bar);
    m_record->setPrefix(QStringLiteral("レコード "));
    m_record->setToolTip(QStringLiteral("差し込みデータのどの行で表示するか"));
    m_record->setFocusPolicy(Qt::ClickFocus);
    m_record->setKeyboardTracking(false);
    m_recordAction = bar->addWidget(m_record);
    m_recordAction->setVisible(false);
    connect(m_record, &QSpinBox::valueChanged, this, &LivePreviewPane::refresh);
    connect(m_zoom, &QComboBox::activated, this, [this](int index) {
        const qreal zoom = m_zoom->itemData(index).toReal();
        if (zoom == kWholePage)
            m_pages->setFit(PageView::Fit::WholePage);
        else if (zoom == kPageWidth)
            m_pages->setFit(PageView::Fit::PageWidth);
        else
            m_pages->setZoom(zoom);
    });
}

void LivePreviewPane::showControls()
{
    const int page = m_pages->currentPage();
    const int count = m_pages->pageCount();
    m_pageLabel->setText(QStringLiteral("%1 / %2").arg(QLocale::c().toString(page),
                                                      QLocale::c().toString(count)));
    m_previous->setEnabled(page > 1);
    m_next->setEnabled(page < count);
    qreal item = m_pages->zoom();
    if (m_pages->fit() == PageView::Fit::WholePage)
        item = kWholePage;
    else if (m_pages->fit() == PageView::Fit::PageWidth)
        item = kPageWidth;
    m_zoom->setCurrentIndex(m_zoom->findData(item));
}

int LivePreviewPane::pageOfLine(int line) const
{
    return 1 + static_cast<int>(std::upper_bound(m_pageStarts.begin(), m_pageStarts.end(), line) -
                                m_pageStarts.begin());
}

void LivePreviewPane::textChanged()
{
    ++m_textRevision;
    // Whatever is under way renders a text that is gone.
    ++m_generation;
    m_waiting = false;
    if (m_worker)
        m_worker->cancel();
    if (!isVisible())
        return;
    const bool quiet = !m_sinceEdit.isValid() || m_sinceEdit.elapsed() > kPauseMs;
    m_sinceEdit.start();
    // The first edit after a quiet moment shows at once, once the edit has been handled
    // (the caret has moved with it); the edits that follow it closely wait for the pause.
    if (quiet)
        QTimer::singleShot(0, this, &LivePreviewPane::pauseOver);
    else
        m_pause.start();
}

void LivePreviewPane::pauseOver()
{
    if (m_sentRevision != m_textRevision)
        requestNow();
}

void LivePreviewPane::caretMoved()
{
    if (!isVisible())
        return;
    m_caretLine = m_view.caretLine();
    m_pages->setOutlinedLine(m_caretLine);
    const int page = pageOfLine(m_caretLine);
    if (page == m_caretPage)
        return;
    m_caretPage = page;
    m_pageByHand = false;
    // After an edit the request on its way follows the caret already.
    if (m_sentRevision == m_textRevision && page != m_pages->currentPage())
        requestNow();
}

void LivePreviewPane::imageWanted(int page)
{
    if (m_applying || !isVisible())
        return;
    m_pageByHand = page != m_caretPage;
    requestNow();
}

void LivePreviewPane::refresh()
{
    if (isVisible())
        requestNow();
}

void LivePreviewPane::requestNow()
{
    if (!isVisible())
        return;
    if (!m_worker)
        m_worker = std::make_unique<PreviewWorker>(
            m_view.state(),
            [this](std::shared_ptr<LivePageResult> result) {
                QMetaObject::invokeMethod(
                    this, [this, result]() { take(result); }, Qt::QueuedConnection);
            },
            m_budgetMs);
    if (!m_source || m_sentRevision != m_textRevision) {
        m_source = std::make_shared<const commandtext::Source>(
            m_view.zentovaDoc().commandTextSource());
        m_sentRevision = m_textRevision;
    }
    if (!m_slots)
        m_slots = CopyClipSlots(m_view.state().clipSlots);
    m_caretLine = m_view.caretLine();

    LivePageRequest request;
    request.generation = ++m_generation;
    request.text = m_source;
    request.documentPath = m_view.zentovaDoc().pathName().toUtf8().toStdString();
    request.caretLine = m_caretLine;
    request.page = m_pageByHand ? m_pages->currentPage() : 0;
    request.dotsPerInch = m_pages->imageDotsPerInch();
    request.sheet = m_view.printController().previewSheet();
    if (const Profile *profile = m_view.state().profile) {
        request.adjustX = profile->ReadInt("adjustX", 0);
        request.adjustY = profile->ReadInt("adjustY", 0);
    }
    request.clipSlots = m_slots;
    request.records = m_records;
    request.record = m_record->value();
    m_waiting = true;
    m_worker->request(std::move(request));
}

// The data file chosen for merge printing has changed, or was chosen again: it is read
// once here (not at every key), and the record box offers its records.
void LivePreviewPane::takeMergeData()
{
    m_records = m_view.mergeData().loadQuietly();
    const int count = m_records ? m_records->RecordCount() : 0;
    const QSignalBlocker quiet(m_record);
    m_record->setRange(1, std::max(1, count));
    m_record->setSuffix(QStringLiteral(" / %1").arg(count));
    m_recordAction->setVisible(count > 0);
    refresh();
}

void LivePreviewPane::take(std::shared_ptr<LivePageResult> result)
{
    if (result->generation != m_generation)
        return; // overtaken on its way
    m_waiting = false;
    m_shown = result;
    m_pageStarts = result->pageStarts;
    m_applying = true;
    m_pages->updatePages(result->pageCount, result->sheet.paperInches);
    m_pages->setCurrentPage(result->page);
    m_pages->showImage(result->page, result->image);
    m_pages->setMarks(result->page, std::move(result->marks), result->sheet.corner);
    m_caretLine = m_view.caretLine();
    m_caretPage = pageOfLine(m_caretLine);
    m_pages->setOutlinedLine(m_caretLine);
    m_view.errorMarks().set(result->errors);
    if (result->overBudget) {
        m_notice->setText(QStringLiteral("このページは %1 秒で描画を打ち切りました。"
                                         "終わらないページかもしれません。")
                              .arg(m_budgetMs / 1000.0));
        m_notice->show();
    } else {
        m_notice->hide();
    }
    m_applying = false;
    showControls();
    emit rendered();
    // The pane may have changed its size or page while the page was rendered.
    if (m_pages->currentPage() != result->page ||
        std::abs(m_pages->imageDotsPerInch() - result->dotsPerInch) > 1e-6)
        requestNow();
}

void LivePreviewPane::goToLine(int line)
{
    const int position = editorblocks::LinePosition(*m_view.document(), line);
    if (position < 0)
        return;
    QTextCursor cursor = m_view.textCursor();
    cursor.setPosition(position);
    m_view.setTextCursor(cursor);
    m_view.ensureCursorVisible();
    m_view.setFocus();
}

void LivePreviewPane::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        requestNow();
}

void LivePreviewPane::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    ++m_generation;
    m_waiting = false;
    m_pause.stop();
    if (m_worker)
        m_worker->cancel();
    // Marks that no rendering follows any more would mislead.
    m_view.errorMarks().clear();
}
