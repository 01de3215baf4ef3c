// The print-position adjustment: clamping, sliders and boxes in step, OK and Cancel.
#include "adjustdialog.h"
#include "dialogtest.h"

#include <QLineEdit>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

namespace {

void sendMouse(QWidget *widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// Drags the slider's handle, where the style draws it, with the mouse to `target`.
void drag(QSlider *slider, QPoint target)
{
    struct Access : QSlider {
        using QSlider::initStyleOption;
    };
    QStyleOptionSlider option;
    (slider->*&Access::initStyleOption)(&option);
    const QPoint from = slider->style()
                            ->subControlRect(QStyle::CC_Slider, &option,
                                             QStyle::SC_SliderHandle, slider)
                            .center();
    sendMouse(slider, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseMove, (from + target) / 2, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseMove, target, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseButtonRelease, target, Qt::NoButton);
}

// Drags to the left end of a horizontal slider, the top end of a vertical one, or past
// the other end.
void dragToEnd(QSlider *slider, bool start)
{
    const bool across = slider->orientation() == Qt::Horizontal;
    const int along = start ? -50 : (across ? slider->width() : slider->height()) + 50;
    drag(slider, across ? QPoint(along, slider->height() / 2) : QPoint(slider->width() / 2, along));
}

} // namespace

class AdjustDialogTest : public QObject {
    Q_OBJECT
private slots:
    void storedValuesAreClamped()
    {
        for (const auto &[stored, shown] : {std::pair{QPoint(-35, -7), QPoint(-35, -7)},
                                            {QPoint(-250, 30), QPoint(-100, 0)},
                                            {QPoint(INT_MIN, INT_MAX), QPoint(-100, 0)}}) {
            CAdjustDlg dialog(stored.x(), stored.y());
            QCOMPARE(dialog.horizontalSlider()->value(), shown.x());
            QCOMPARE(dialog.verticalSlider()->value(), shown.y());
            QCOMPARE(dialog.horizontalBox()->text(), QString::number(shown.x()));
            QCOMPARE(dialog.verticalBox()->text(), QString::number(shown.y()));
        }
    }

    // Left and up are -100, right and down 0, by mouse and by the arrow keys; the boxes
    // follow.
    void slidersRunTheWayThePrintMoves()
    {
        CAdjustDlg dialog(-50, -50);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (auto [slider, box] : {std::pair{dialog.horizontalSlider(), dialog.horizontalBox()},
                                   {dialog.verticalSlider(), dialog.verticalBox()}}) {
            dragToEnd(slider, true);
            QCOMPARE(slider->value(), -100);
            QCOMPARE(box->text(), QStringLiteral("-100"));
            dragToEnd(slider, false);
            QCOMPARE(slider->value(), 0);
            QCOMPARE(box->text(), QStringLiteral("0"));
            slider->setFocus();
            QTest::keyClick(slider, slider == dialog.verticalSlider() ? Qt::Key_Up : Qt::Key_Left);
            QCOMPARE(slider->value(), -1);
            QCOMPARE(box->text(), QStringLiteral("-1"));
        }
    }

    void okReturnsWhatTheBoxesShowCancelChangesNothing()
    {
        for (const QString how : {"OK", "ｷｬﾝｾﾙ", "Esc"}) {
            CAdjustDlg dialog(-20, -30);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            dragToEnd(dialog.horizontalSlider(), true);
            dragToEnd(dialog.verticalSlider(), true);
            QPushButton *button = findButton(&dialog, how);
            QVERIFY(button || how == "Esc");
            if (button)
                button->click();
            else
                QTest::keyClick(&dialog, Qt::Key_Escape);
            const bool ok = how == "OK";
            QCOMPARE(dialog.result(), int(ok ? QDialog::Accepted : QDialog::Rejected));
            QCOMPARE(dialog.adjustX(), ok ? dialog.horizontalBox()->text().toInt() : -20);
            QCOMPARE(dialog.adjustY(), ok ? dialog.verticalBox()->text().toInt() : -30);
            QCOMPARE(dialog.adjustX() + dialog.adjustY(), ok ? -200 : -50);
        }
    }
};

QTEST_MAIN(AdjustDialogTest)
#include "adjustdialog_test.moc"
