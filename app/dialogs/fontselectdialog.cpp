// The font selection dialog.
#include "fontselectdialog.h"

#include "dialogunits.h"

#include "draw/qt/fontresolver.h"
#include "engine/codepage.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace {

// The preview's text cell is this many pixels high.
constexpr int kPreviewCellHeight = 30;
// The face list in dialog units: its height shows about twenty faces, its width grows
// with the longest name between these bounds.
constexpr int kListHeight = 160;
constexpr int kMinListWidth = 92;
constexpr int kMaxListWidth = 220;

std::string cp932Of(const QString &face)
{
    return cp932::FromUtf8(face.toStdString());
}

} // namespace

CFontSelectDlg::CFontSelectDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("フォント選択"));
    setFont(DialogFont(CP932("ＭＳ Ｐゴシック"), 9));
    const DialogUnits du(font());

    // The resolver lists every face once, sorted; whether each covers Japanese decides
    // its preview sample.
    FontResolver &fonts = FontResolver::shared();
    const QStringList names = fonts.faceNames();
    for (const QString &face : names) {
        const std::optional<ResolvedFace> resolved = fonts.resolve(cp932Of(face));
        m_japanese.insert(face, resolved && resolved->info.charset == 128);
    }

    // The list is as wide as its longest name (within reason), so that it never scrolls
    // sideways, and tall enough to show a good part of the faces at once.
    m_list = new QListWidget(this);
    const QFontMetrics metrics(m_list->font());
    int widest = 0;
    for (const QString &face : names)
        widest = std::max(widest, metrics.horizontalAdvance(face));
    const int chrome = 2 * m_list->frameWidth() +
                       m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                       2 * metrics.averageCharWidth();
    const int listWidth = std::clamp((widest + chrome) * 4 / du.baseWidth() + 1,
                                     kMinListWidth, kMaxListWidth);

    // A list that is always shown under the box holding the chosen name.
    m_edit = new QLineEdit(this);
    m_edit->setReadOnly(true);
    m_edit->setGeometry(du.rect(7, 7, listWidth, 12));
    m_list->setGeometry(du.rect(7, 19, listWidth, kListHeight));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const int right = 7 + listWidth + 8;
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(du.rect(right, 47, 40, 14));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setGeometry(du.rect(right, 65, 40, 14));
    const int previewTop = 19 + kListHeight + 6;
    auto *frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(du.rect(7, previewTop, right + 40 - 7, 35));
    m_previewFrame = frame;
    setFixedSize(du.size(right + 40 + 7, previewTop + 35 + 8));

    m_list->addItems(names);
    m_list->setCurrentRow(-1);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &CFontSelectDlg::selectionChanged);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CFontSelectDlg::accept);
    connect(ok, &QPushButton::clicked, this, &CFontSelectDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CFontSelectDlg::selectionChanged()
{
    const QList<QListWidgetItem *> chosen = m_list->selectedItems();
    m_selectedFace = chosen.isEmpty() ? QString() : chosen.first()->text();
    m_edit->setText(m_selectedFace);
    update();
}

QString CFontSelectDlg::previewSample() const
{
    const auto found = m_japanese.constFind(m_selectedFace);
    if (found == m_japanese.constEnd())
        return {};
    return *found ? QStringLiteral("Aaあぁアァ亜宇") : QStringLiteral("AaBbYyZz");
}

void CFontSelectDlg::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QRect area = m_previewFrame->geometry().adjusted(2, 2, -2, -2);
    painter.fillRect(area, Qt::white);
    const QString sample = previewSample();
    if (sample.isEmpty())
        return;
    // A face that went away since the dialog opened leaves the preview empty.
    const std::optional<ResolvedFace> face = FontResolver::shared().resolve(cp932Of(m_selectedFace));
    if (!face)
        return;
    QFont font(face->family);
    font.setWeight(QFont::Normal);
    font.setPixelSize(kPreviewCellHeight);
    // The cell (ascent and descent together) is what is 30 pixels high.
    const int cell = QFontMetrics(font).height();
    if (cell > 0)
        font.setPixelSize(std::max(1, kPreviewCellHeight * kPreviewCellHeight / cell));
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(sample);
    const int height = metrics.height();
    painter.setClipRect(area);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area.left() + (area.width() - width) / 2,
                     area.top() + (area.height() - height) / 2 + metrics.ascent(), sample);
}

void CFontSelectDlg::accept()
{
    if (m_list->selectedItems().isEmpty())
        return;
    QDialog::accept();
}
