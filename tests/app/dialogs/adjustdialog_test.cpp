// The print-position adjustment: clamping, sliders and boxes in step, OK and Cancel.
#include "adjustdialog.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

namespace {

// Where the style draws the slider's handle, from the slider's public state.
QRect handleRect(const QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.tickPosition = slider->tickPosition();
    option.tickInterval = slider->tickInterval();
    // A vertical slider puts its minimum at the bottom unless its appearance is inverted.
    option.upsideDown = slider->orientation() == Qt::Horizontal ? slider->invertedAppearance()
                                                                : !slider->invertedAppearance();
    option.subControls = QStyle::SC_All;
    if (slider->orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                           QStyle::SC_SliderHandle, slider);
}

void sendMouse(QWidget *widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// Drags the slider's handle with the mouse to `target` and lets go.
void drag(QSlider *slider, QPoint target)
{
    const QPoint from = handleRect(slider).center();
    sendMouse(slider, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseMove, (from + target) / 2, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseMove, target, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseButtonRelease, target, Qt::NoButton);
}

QPushButton *button(CAdjustDlg &dialog, const QString &text)
{
    for (QPushButton *b : dialog.findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

} // namespace

class AdjustDialogTest : public QObject {
    Q_OBJECT
private slots:
    void storedValuesAreClamped_data()
    {
        QTest::addColumn<int>("storedX");
        QTest::addColumn<int>("storedY");
        QTest::addColumn<int>("shownX");
        QTest::addColumn<int>("shownY");
        QTest::newRow("nothing stored") << 0 << 0 << 0 << 0;
        QTest::newRow("in range") << -35 << -7 << -35 << -7;
        QTest::newRow("too far left, below zero") << -250 << 30 << -100 << 0;
        QTest::newRow("extremes") << INT_MIN << INT_MAX << -100 << 0;
    }

    void storedValuesAreClamped()
    {
        QFETCH(int, storedX);
        QFETCH(int, storedY);
        QFETCH(int, shownX);
        QFETCH(int, shownY);
        CAdjustDlg dialog(storedX, storedY);
        QCOMPARE(dialog.horizontalSlider()->value(), shownX);
        QCOMPARE(dialog.verticalSlider()->value(), shownY);
        QCOMPARE(dialog.horizontalBox()->text(), QString::number(shownX));
        QCOMPARE(dialog.verticalBox()->text(), QString::number(shownY));
        QCOMPARE(dialog.adjustX(), shownX);
        QCOMPARE(dialog.adjustY(), shownY);
        QVERIFY(dialog.horizontalBox()->isReadOnly());
        QVERIFY(dialog.verticalBox()->isReadOnly());
    }

    void slidersRunTheWayThePrintMoves()
    {
        CAdjustDlg dialog(-50, -50);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QSlider *x = dialog.horizontalSlider();
        QSlider *y = dialog.verticalSlider();

        // Horizontal: the left end is -100, the right end 0.
        drag(x, QPoint(-50, x->height() / 2));
        QCOMPARE(x->value(), -100);
        QCOMPARE(dialog.horizontalBox()->text(), QStringLiteral("-100"));
        drag(x, QPoint(x->width() + 50, x->height() / 2));
        QCOMPARE(x->value(), 0);

        // Vertical: the top end is -100, the bottom end 0.
        drag(y, QPoint(y->width() / 2, -50));
        QCOMPARE(y->value(), -100);
        QCOMPARE(dialog.verticalBox()->text(), QStringLiteral("-100"));
        drag(y, QPoint(y->width() / 2, y->height() + 50));
        QCOMPARE(y->value(), 0);
        QCOMPARE(dialog.verticalBox()->text(), QStringLiteral("0"));

        // The arrow keys move the handle the way they point, and the box follows.
        y->setFocus();
        QTest::keyClick(y, Qt::Key_Up);
        QCOMPARE(y->value(), -1);
        QCOMPARE(dialog.verticalBox()->text(), QStringLiteral("-1"));
        x->setFocus();
        QTest::keyClick(x, Qt::Key_Left);
        QCOMPARE(x->value(), -1);
        QCOMPARE(dialog.horizontalBox()->text(), QStringLiteral("-1"));
    }

    void okReturnsWhatTheBoxesShow()
    {
        CAdjustDlg dialog(-20, -30);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        drag(dialog.horizontalSlider(), QPoint(-50, dialog.horizontalSlider()->height() / 2));
        button(dialog, QStringLiteral("OK"))->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.adjustX(), -100);
        QCOMPARE(dialog.adjustY(), -30);
        QCOMPARE(dialog.adjustX(), dialog.horizontalBox()->text().toInt());
        QCOMPARE(dialog.adjustY(), dialog.verticalBox()->text().toInt());
    }

    void cancelChangesNothing()
    {
        for (bool escape : {false, true}) {
            CAdjustDlg dialog(-20, -30);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            dialog.horizontalSlider()->setValue(-90);
            dialog.verticalSlider()->setValue(-10);
            if (escape)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                button(dialog, QStringLiteral("ｷｬﾝｾﾙ"))->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(dialog.adjustX(), -20);
            QCOMPARE(dialog.adjustY(), -30);
        }
    }
};

QTEST_MAIN(AdjustDialogTest)
#include "adjustdialog_test.moc"
