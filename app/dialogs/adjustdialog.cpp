// The print-position adjustment dialog.
#include "adjustdialog.h"

#include "dialogunits.h"

#include "engine/codepage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

namespace {

QSlider *makeSlider(Qt::Orientation orientation, int value, QWidget *parent)
{
    auto *slider = new QSlider(orientation, parent);
    slider->setRange(CAdjustDlg::kMinimum, CAdjustDlg::kMaximum);
    slider->setTickInterval(10);
    slider->setTickPosition(orientation == Qt::Horizontal ? QSlider::TicksBelow
                                                          : QSlider::TicksRight);
    slider->setSingleStep(1);
    slider->setPageStep(1);
    if (orientation == Qt::Vertical) {
        // -100 at the top, 0 at the bottom; the arrow keys move the handle the way they
        // point.
        slider->setInvertedAppearance(true);
        slider->setInvertedControls(true);
    }
    slider->setValue(value);
    return slider;
}

QLineEdit *makeBox(int value, QWidget *parent)
{
    auto *box = new QLineEdit(QString::number(value), parent);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return box;
}

// A label at its place in the layout, widened when the installed face draws its text
// wider than the layout allows.
void placeLabel(const QString &text, const QRect &rect, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QRect fitted = rect;
    fitted.setWidth(std::max(rect.width(), label->sizeHint().width()));
    label->setGeometry(fitted);
}

} // namespace

int CAdjustDlg::clamp(int value)
{
    return std::clamp(value, kMinimum, kMaximum);
}

int CAdjustDlg::boxValue(const QLineEdit *box, int fallback)
{
    bool ok = false;
    const int value = box->text().toInt(&ok);
    return ok ? value : fallback;
}

CAdjustDlg::CAdjustDlg(int adjustX, int adjustY, QWidget *parent)
    : QDialog(parent), m_adjustX(clamp(adjustX)), m_adjustY(clamp(adjustY))
{
    setWindowTitle(QStringLiteral("印字位置微調整"));
    setFont(DialogFont(CP932("ＭＳ Ｐゴシック"), 9));
    const DialogUnits du(font());
    setFixedSize(du.size(117, 127));

    m_sliderX = makeSlider(Qt::Horizontal, m_adjustX, this);
    m_sliderX->setGeometry(du.rect(24, 7, 80, 20));
    m_sliderY = makeSlider(Qt::Vertical, m_adjustY, this);
    m_sliderY->setGeometry(du.rect(7, 27, 16, 93));
    m_boxX = makeBox(m_adjustX, this);
    m_boxX->setGeometry(du.rect(65, 34, 20, 14));
    m_boxY = makeBox(m_adjustY, this);
    m_boxY->setGeometry(du.rect(30, 78, 20, 14));
    placeLabel(QStringLiteral("横"), du.rect(55, 37, 8, 8), this);
    placeLabel(QStringLiteral("縦"), du.rect(32, 68, 8, 8), this);
    placeLabel(QStringLiteral("( ×0.1mm )"), du.rect(60, 63, 35, 8), this);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(du.rect(70, 86, 40, 14));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setGeometry(du.rect(70, 106, 40, 14));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CAdjustDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Every move of a slider, by mouse, keyboard or wheel, shows in its box at once, so
    // what OK returns is always what the sliders and boxes show together.
    connect(m_sliderX, &QSlider::valueChanged, m_boxX,
            [this](int value) { m_boxX->setText(QString::number(value)); });
    connect(m_sliderY, &QSlider::valueChanged, m_boxY,
            [this](int value) { m_boxY->setText(QString::number(value)); });
}

void CAdjustDlg::accept()
{
    m_adjustX = clamp(boxValue(m_boxX, m_adjustX));
    m_adjustY = clamp(boxValue(m_boxY, m_adjustY));
    QDialog::accept();
}
