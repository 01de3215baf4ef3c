// The clipboard image dialog: capture, the labels as the picture scrolls, the cuts at
// every position, tabs, painting, and clipboards without a usable picture.
#include "clipimagedialog.h"
#include "dialogtest.h"
#include "dialogunits.h"

#include "image/clipimage.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

namespace {

const QString kNoImage = QStringLiteral(
    "クリップボードに画像イメージがありません。\nコピーしたい画像を表示した状態で、\n"
    "「Alt」＋「PrintScreen(PrtScrn)」キーを押すと、\nクリップボードにイメージがコピーできます。");

// A picture whose every pixel tells where it is: red = x, green = y (both modulo 256).
QImage gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, 0));
    return image;
}

} // namespace

class ClipImageDialogTest : public QObject {
    Q_OBJECT

    ClipImageStore m_slots;
    QStringList m_messages;

    std::unique_ptr<CClipImageDlg> open()
    {
        m_messages.clear();
        return std::make_unique<CClipImageDlg>(
            m_slots, [this](const QString &message) { m_messages << message; });
    }

    // Puts `image` on the clipboard and captures it into the dialog's current slot.
    static void capture(CClipImageDlg &dialog, const QImage &image)
    {
        QApplication::clipboard()->setImage(image);
        dialog.capture();
    }

private slots:
    void init()
    {
        m_slots = ClipImageStore();
        QApplication::clipboard()->clear();
    }

    void emptySlotsAndClipboardsWithoutAPicture()
    {
        auto dialog = open();
        // The picture area, whose size the scrolling depends on, lies on its dialog units.
        QCOMPARE(dialog->pictureArea()->geometry(),
                 DialogUnits(dialog->font()).rect(47, 46, 208, 239));
        for (int i = 0; i < 10; ++i)
            QCOMPARE(dialog->tabs()->tabText(i), QStringLiteral("%1  ").arg(i));
        QVERIFY(dialog->sizeLabel()->isHidden());
        for (QLabel *label : {dialog->leftLabel(), dialog->rightLabel(), dialog->topLabel(),
                              dialog->bottomLabel()})
            QVERIFY(label->text().isEmpty());
        QVERIFY(!dialog->horizontalBar()->isEnabled());
        QVERIFY(!dialog->verticalBar()->isEnabled());

        dialog->capture();
        QApplication::clipboard()->setText(QStringLiteral("only text"));
        dialog->capture();
        QCOMPARE(m_messages, QStringList({kNoImage, kNoImage}));
        QVERIFY(!m_slots.Slot(0));
        QCOMPARE(dialog->tabs()->tabText(0), QStringLiteral("0  "));

        // The cuts on an empty slot do nothing and say nothing.
        for (const char *cut : {"左カット", "右カット", "上カット", "下カット"})
            findButton(dialog.get(), QString::fromUtf8(cut))->click();
        QVERIFY(!m_slots.Slot(0));
        QCOMPARE(m_messages.size(), 2);
    }

    void captureScrollAndCut()
    {
        auto dialog = open();
        capture(*dialog, gradient(640, 480));
        QVERIFY(m_messages.isEmpty());
        const ClipImage *record = m_slots.Slot(0);
        QVERIFY(record);
        QCOMPARE(dialog->tabs()->tabText(0), QStringLiteral("0 *"));
        QCOMPARE(dialog->sizeLabel()->text(), QStringLiteral("640 × 480"));
        QVERIFY(!dialog->sizeLabel()->isHidden());
        QVERIFY(dialog->leftLabel()->text().isEmpty());
        QVERIFY(dialog->topLabel()->text().isEmpty());
        QVERIFY(dialog->viewWidth() < 640 && dialog->viewHeight() < 480);
        QCOMPARE(dialog->rightLabel()->text(), QStringLiteral("(%1)").arg(dialog->viewWidth()));
        QCOMPARE(dialog->bottomLabel()->text(), QStringLiteral("(%1)").arg(dialog->viewHeight()));
        QVERIFY(dialog->horizontalBar()->isEnabled());

        // One line to the right moves the picture 20 pixels left.
        dialog->horizontalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(dialog->visibleLeft(), 20);
        QCOMPARE(dialog->leftLabel()->text(), QStringLiteral("(620)"));
        findButton(dialog.get(), QStringLiteral("左カット"))->click();
        QCOMPARE(m_slots.Slot(0), record); // the same record, a new picture in it
        QCOMPARE(record->width, 620);
        QCOMPARE(record->height, 480);
        QCOMPARE(record->pixels[0], qRgb(20, 0, 0));
        QCOMPARE(dialog->visibleLeft(), 0);
        QVERIFY(dialog->leftLabel()->text().isEmpty());
        QCOMPARE(dialog->sizeLabel()->text(), QStringLiteral("620 × 480"));

        // A page is half the view; the line step is 20 whatever the picture's size.
        dialog->verticalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(dialog->visibleTop(), dialog->viewHeight() / 2);
        dialog->verticalBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(dialog->visibleTop(), dialog->viewHeight() / 2 - 20);
        QCOMPARE(dialog->topLabel()->text(),
                 QStringLiteral("(%1)").arg(480 - (dialog->viewHeight() / 2 - 20)));

        // A right cut then a left cut leave exactly the columns that were visible.
        const int left = dialog->visibleLeft() + 40;
        dialog->horizontalBar()->setValue(dialog->marginX() + left);
        findButton(dialog.get(), QStringLiteral("右カット"))->click();
        QCOMPARE(record->width, left + dialog->viewWidth());
        findButton(dialog.get(), QStringLiteral("左カット"))->click();
        QCOMPARE(record->width, dialog->viewWidth());
        QCOMPARE(record->pixels[0], qRgb(20 + left, 0, 0));
    }

    // At either end of a bar 8 pixels of the picture stay in view, and a cut there leaves
    // just those.
    void scrollEndsKeepEightPixels()
    {
        auto dialog = open();
        capture(*dialog, gradient(300, 900));
        const ClipImage *record = m_slots.Slot(0);

        dialog->horizontalBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(dialog->visibleLeft(), 300 - 8);
        QCOMPARE(dialog->leftLabel()->text(), QStringLiteral("(8)"));
        QVERIFY(dialog->rightLabel()->text().isEmpty());
        dialog->verticalBar()->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(dialog->visibleBottom(), 8);
        QCOMPARE(dialog->bottomLabel()->text(), QStringLiteral("(8)"));

        findButton(dialog.get(), QStringLiteral("下カット"))->click();
        QCOMPARE(record->height, 8);
        findButton(dialog.get(), QStringLiteral("左カット"))->click();
        QCOMPARE(record->width, 8);
        QCOMPARE(record->pixels[0], qRgb(292 % 256, 0, 0));
        QCOMPARE(dialog->sizeLabel()->text(), QStringLiteral("8 × 8"));
    }

    // The view shows the picture from the visible corner, black where it reaches beyond.
    void paintsThePictureAndBlackBands()
    {
        auto dialog = open();
        capture(*dialog, gradient(640, 480));
        dialog->show();
        QImage shot = dialog->pictureArea()->grab().toImage();
        QCOMPARE(shot.pixel(2, 2), qRgb(0, 0, 0));
        QCOMPARE(shot.pixel(2 + 30, 2 + 10), qRgb(30, 10, 0));

        dialog->horizontalBar()->triggerAction(QAbstractSlider::SliderToMinimum);
        shot = dialog->pictureArea()->grab().toImage();
        const int band = -dialog->visibleLeft(); // columns left of the picture
        QCOMPARE(shot.pixel(2 + band - 1, 20), qRgb(0, 0, 0));
        QCOMPARE(shot.pixel(2 + band, 20), qRgb(0, 18, 0));
    }

    // A capture keeps the positions; another tab starts at its picture's corner.
    void tabsResetPositionsCapturesKeepThem()
    {
        auto dialog = open();
        capture(*dialog, gradient(640, 480));
        dialog->horizontalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        capture(*dialog, gradient(700, 500));
        QCOMPARE(dialog->visibleLeft(), 20);
        QCOMPARE(dialog->leftLabel()->text(), QStringLiteral("(680)"));

        dialog->tabs()->setCurrentIndex(3);
        QCOMPARE(dialog->currentSlot(), 3);
        QCOMPARE(dialog->visibleLeft(), 0);
        QVERIFY(dialog->sizeLabel()->isHidden());
        dialog->capture();
        QCOMPARE(dialog->tabs()->tabText(3), QStringLiteral("3 *"));
        QCOMPARE(m_slots.Slot(3)->width, 700);
        QCOMPARE(m_slots.Slot(0)->width, 700);

        // The slots outlive the dialog: a new one shows them filled.
        dialog = open();
        QCOMPARE(dialog->tabs()->tabText(0), QStringLiteral("0 *"));
        QCOMPARE(dialog->tabs()->tabText(1), QStringLiteral("1  "));
        QCOMPARE(dialog->sizeLabel()->text(), QStringLiteral("700 × 500"));
    }

    // A picture of 20,000 × 20,000 pixels is refused with a message; the slot keeps its
    // picture.
    void hugePicturesAreRefused()
    {
        auto dialog = open();
        capture(*dialog, gradient(40, 30));
        QImage huge(20000, 20000, QImage::Format_Mono);
        QVERIFY(!huge.isNull());
        huge.fill(0);
        capture(*dialog, huge);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].contains(QStringLiteral("20000 × 20000")));
        QCOMPARE(m_slots.Slot(0)->width, 40);
    }
};

QTEST_MAIN(ClipImageDialogTest)
#include "clipimagedialog_test.moc"
