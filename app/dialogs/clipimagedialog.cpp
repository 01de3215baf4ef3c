// The clipboard image dialog.
#include "clipimagedialog.h"

#include "dialogunits.h"

#include "draw/qt/slotimage.h"
#include "engine/codepage.h"
#include "image/clipimage.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>

#include <algorithm>

namespace {

const char kNoImage[] =
    "クリップボードに画像イメージがありません。\nコピーしたい画像を表示した状態で、\n"
    "「Alt」＋「PrintScreen(PrtScrn)」キーを押すと、\nクリップボードにイメージがコピーできます。";

// The picture is drawn this far in from each edge of the area, inside its frame.
constexpr int kInset = 2;
constexpr int kLineStep = 20;

QLabel *makeLabel(const QRect &rect, Qt::Alignment alignment, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setGeometry(rect);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

} // namespace

// The picture area: an etched frame showing the part of the slot's picture that the
// dialog's scroll positions put in view, black where the view reaches beyond the picture.
// An empty slot leaves the frame empty.
class ClipPictureArea : public QFrame {
public:
    ClipPictureArea(const CClipImageDlg &dialog, const ClipImageStore &store, QWidget *parent)
        : QFrame(parent), m_dialog(dialog), m_slots(store)
    {
        setFrameStyle(QFrame::Box | QFrame::Sunken);
        setLineWidth(1);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QFrame::paintEvent(event);
        const ClipImage *image = m_slots.Slot(m_dialog.currentSlot());
        if (!image)
            return;
        QPainter painter(this);
        const QRect view(kInset, kInset, m_dialog.viewWidth(), m_dialog.viewHeight());
        painter.fillRect(view, Qt::black);
        // The slot's own pixels, drawn without a copy.
        const QImage pixels(reinterpret_cast<const uchar *>(image->pixels.data()), image->width,
                            image->height, image->width * 4, QImage::Format_RGB32);
        const QRect visible(m_dialog.visibleLeft(), m_dialog.visibleTop(), view.width(),
                            view.height());
        const QRect shown = visible.intersected(pixels.rect());
        if (shown.isEmpty())
            return;
        painter.drawImage(QPoint(kInset + shown.left() - visible.left(),
                                 kInset + shown.top() - visible.top()),
                          pixels, shown);
    }

private:
    const CClipImageDlg &m_dialog;
    const ClipImageStore &m_slots;
};

CClipImageDlg::CClipImageDlg(ClipImageStore &store, Tell tell, QWidget *parent)
    : QDialog(parent), m_slots(store), m_tell(std::move(tell))
{
    setWindowTitle(QStringLiteral("クリップボードイメージ操作"));
    setFont(DialogFont(CP932("ＭＳ Ｐゴシック"), 9));
    const DialogUnits du(font());
    setFixedSize(du.size(311, 351));

    // The tab control is the background; the other controls lie over its page.
    m_tabs = new QTabWidget(this);
    m_tabs->setGeometry(du.rect(7, 7, 297, 316));
    for (int slot = 0; slot < ClipImageStore::kSlotCount; ++slot) {
        m_tabs->addTab(new QWidget, QString());
        updateTabLabel(slot);
    }

    auto *captureButton = new QPushButton(QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞ画像取り込み"), this);
    captureButton->setGeometry(du.rect(204, 27, 80, 14));
    m_area = new ClipPictureArea(*this, m_slots, this);
    m_area->setGeometry(du.rect(47, 46, 208, 239));
    m_horizontal = new QScrollBar(Qt::Horizontal, this);
    m_horizontal->setGeometry(du.rect(47, 285, 208, 11));
    m_vertical = new QScrollBar(Qt::Vertical, this);
    m_vertical->setGeometry(du.rect(254, 46, 10, 239));

    struct CutButton {
        const char *text;
        QRect rect;
        void (CClipImageDlg::*action)();
    };
    for (const CutButton &spec :
         {CutButton{"左カット", du.rect(13, 163, 28, 14), &CClipImageDlg::leftCut},
          CutButton{"右カット", du.rect(270, 163, 28, 14), &CClipImageDlg::rightCut},
          CutButton{"上カット", du.rect(137, 27, 28, 14), &CClipImageDlg::topCut},
          CutButton{"下カット", du.rect(137, 302, 28, 14), &CClipImageDlg::bottomCut}}) {
        auto *button = new QPushButton(QString::fromUtf8(spec.text), this);
        button->setGeometry(spec.rect);
        connect(button, &QPushButton::clicked, this, spec.action);
    }

    m_size = makeLabel(du.rect(206, 303, 48, 14), Qt::AlignRight, this);
    m_left = makeLabel(du.rect(10, 152, 30, 8), Qt::AlignRight, this);
    m_right = makeLabel(du.rect(271, 152, 30, 8), Qt::AlignLeft, this);
    m_top = makeLabel(du.rect(104, 28, 30, 14), Qt::AlignRight, this);
    m_bottom = makeLabel(du.rect(104, 303, 30, 14), Qt::AlignRight, this);

    auto *close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setGeometry(du.rect(259, 330, 45, 14));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    // The view is the frame's inside less the inset; the margins leave 8 pixels of the
    // picture in view at either end of the scroll range.
    const QSize client = m_area->size();
    m_viewWidth = client.width() - 2 * kInset;
    m_viewHeight = client.height() - 2 * kInset;
    m_marginX = client.width() - 12;
    m_marginY = client.height() - 12;
    m_scrollX = m_marginX;
    m_scrollY = m_marginY;

    for (QScrollBar *bar : {m_horizontal, m_vertical}) {
        bar->setSingleStep(kLineStep);
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, bar](int action) { onScrollAction(bar, action); });
        connect(bar, &QAbstractSlider::valueChanged, this,
                [this, bar](int value) { scrollTo(bar->orientation(), value); });
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, &CClipImageDlg::selectSlot);
    connect(captureButton, &QPushButton::clicked, this, &CClipImageDlg::capture);
    refresh();
}

QWidget *CClipImageDlg::pictureArea() const
{
    return m_area;
}

void CClipImageDlg::updateTabLabel(int slot)
{
    const bool filled = m_slots.Slot(slot) != nullptr;
    m_tabs->setTabText(slot, QStringLiteral("%1 %2").arg(slot).arg(filled ? '*' : ' '));
}

void CClipImageDlg::selectSlot(int slot)
{
    m_currentSlot = std::clamp(slot, 0, ClipImageStore::kSlotCount - 1);
    m_scrollX = m_marginX;
    m_scrollY = m_marginY;
    refresh();
    update();
}

void CClipImageDlg::refresh()
{
    const ClipImage *image = m_slots.Slot(m_currentSlot);
    m_slotWidth = image ? image->width : 0;
    m_slotHeight = image ? image->height : 0;

    // The bars' positions run from 0 to the range less the page, which is where the
    // picture keeps 8 pixels in view.
    const struct {
        QScrollBar *bar;
        int slotSize, margin, view, position;
    } axes[] = {{m_horizontal, m_slotWidth, m_marginX, m_viewWidth, m_scrollX},
                {m_vertical, m_slotHeight, m_marginY, m_viewHeight, m_scrollY}};
    for (const auto &axis : axes) {
        const QSignalBlocker quiet(axis.bar);
        axis.bar->setRange(0, std::max(0, axis.slotSize + 2 * axis.margin - axis.view));
        axis.bar->setPageStep(axis.view);
        axis.bar->setValue(axis.position);
        axis.bar->setEnabled(image != nullptr);
    }

    m_size->setText(QStringLiteral("%1 × %2").arg(m_slotWidth).arg(m_slotHeight));
    m_size->setVisible(image != nullptr);
    updateCutLabels();
}

void CClipImageDlg::updateCutLabels()
{
    auto label = [](bool shown, int value) {
        return shown ? QStringLiteral("(%1)").arg(value) : QString();
    };
    m_left->setText(label(visibleLeft() > 0, m_slotWidth - visibleLeft()));
    m_right->setText(label(visibleRight() < m_slotWidth, visibleRight()));
    m_top->setText(label(visibleTop() > 0, m_slotHeight - visibleTop()));
    m_bottom->setText(label(visibleBottom() < m_slotHeight, visibleBottom()));
}

void CClipImageDlg::onScrollAction(QScrollBar *bar, int action)
{
    // A page moves by half the view, though the thumb shows the whole view as its page.
    const bool horizontal = bar->orientation() == Qt::Horizontal;
    const int position = horizontal ? m_scrollX : m_scrollY;
    const int halfView = (horizontal ? m_viewWidth : m_viewHeight) / 2;
    if (action == QAbstractSlider::SliderPageStepAdd)
        bar->setSliderPosition(position + halfView);
    else if (action == QAbstractSlider::SliderPageStepSub)
        bar->setSliderPosition(position - halfView);
}

void CClipImageDlg::scrollTo(Qt::Orientation orientation, int position)
{
    int &scroll = orientation == Qt::Horizontal ? m_scrollX : m_scrollY;
    if (scroll == position)
        return;
    scroll = position;
    updateCutLabels();
    m_area->update();
}

void CClipImageDlg::capture()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard->mimeData();
    if (!data || !data->hasImage()) {
        m_tell(QString::fromUtf8(kNoImage));
        return;
    }
    const QImage image = clipboard->image();
    if (image.isNull()) {
        m_tell(QStringLiteral("クリップボードの画像を読み込めませんでした。"));
        return;
    }
    if (static_cast<long long>(image.width()) * image.height() > kMaxCapturePixels) {
        m_tell(QStringLiteral("クリップボードの画像が大きすぎます（%1 × %2 ピクセル）。\n"
                              "取り込める画像は 4000 万ピクセルまでです。")
                   .arg(image.width())
                   .arg(image.height()));
        return;
    }
    if (!FillSlotFromImage(m_slots, m_currentSlot, image)) {
        m_tell(QStringLiteral("クリップボードの画像を取り込むメモリが足りません。"));
        return;
    }
    updateTabLabel(m_currentSlot);
    refresh();
    update();
}

void CClipImageDlg::cut(Cut which, bool resetX, bool resetY)
{
    if (!(m_slots.*which)(m_currentSlot, visibleLeft(), visibleTop(), visibleRight(),
                          visibleBottom()))
        return;
    if (resetX)
        m_scrollX = m_marginX;
    if (resetY)
        m_scrollY = m_marginY;
    refresh();
    update();
}

// A left or top cut brings the picture's new edge to the view's edge; after a right or
// bottom cut the new edge is where the view's edge already was.
void CClipImageDlg::leftCut()
{
    cut(&ClipImageStore::LeftCut, true, false);
}

void CClipImageDlg::rightCut()
{
    cut(&ClipImageStore::RightCut, false, false);
}

void CClipImageDlg::topCut()
{
    cut(&ClipImageStore::TopCut, false, true);
}

void CClipImageDlg::bottomCut()
{
    cut(&ClipImageStore::BottomCut, false, false);
}
