// The print-position adjustment: shifts everything printed by up to 10 mm to the left and
// upwards, in steps of 0.1 mm.
#pragma once

#include <QDialog>

class QLineEdit;
class QSlider;

// Two sliders, each with a read-only box showing its value in 0.1 mm (-100..0). The
// horizontal slider runs from -100 at its left end to 0 at its right end, the vertical one
// from -100 at its top to 0 at its bottom, so a slider moved left or up moves the print
// that way. The boxes follow the sliders; after OK adjustX() and adjustY() are the numbers
// the boxes show, which the caller stores. Cancel leaves the caller's values alone.
class CAdjustDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinimum = -100;
    static constexpr int kMaximum = 0;

    // `adjustX` and `adjustY` as read from the settings; clamped to -100..0.
    CAdjustDlg(int adjustX, int adjustY, QWidget *parent = nullptr);
    Q_DISABLE_COPY(CAdjustDlg)

    int adjustX() const { return m_adjustX; }
    int adjustY() const { return m_adjustY; }

    QSlider *horizontalSlider() const { return m_sliderX; }
    QSlider *verticalSlider() const { return m_sliderY; }
    QLineEdit *horizontalBox() const { return m_boxX; }
    QLineEdit *verticalBox() const { return m_boxY; }

public slots:
    void accept() override;

private:
    static int clamp(int value);
    static int boxValue(const QLineEdit *box, int fallback);

    QSlider *m_sliderY;
    QSlider *m_sliderX;
    QLineEdit *m_boxX;
    QLineEdit *m_boxY;
    int m_adjustX;
    int m_adjustY;
};
