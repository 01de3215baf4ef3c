// The error list: what it lists and which line a click picks.
#include "errorlistdialog.h"

#include "engine/codepage.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// The error list of a job with errors on lines 3 and 12, as the interpreter writes it.
std::string twoErrors()
{
    return CP932("(3) colour 256 0 0\r\n"
                 "      数値が範囲外です\r\n"
                 "(12) lin 0 0 (5)\r\n"
                 "      コマンドのフォーマットが間違っています\r\n");
}

QListWidget *listOf(CErrorListDlg &dialog)
{
    return dialog.findChild<QListWidget *>();
}

void clickEntry(CErrorListDlg &dialog, int row)
{
    QListWidget *list = listOf(dialog);
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class ErrorListDialogTest : public QObject {
    Q_OBJECT
private slots:
    void listsEveryLineConverted()
    {
        CErrorListDlg dialog(twoErrors());
        QListWidget *list = listOf(dialog);
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(0)->text(), QStringLiteral("(3) colour 256 0 0"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("      数値が範囲外です"));
        QCOMPARE(list->item(3)->text(),
                 QStringLiteral("      コマンドのフォーマットが間違っています"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("エラー内容"));
        QCOMPARE(dialog.chosenLine(), 0);
    }

    void clickPicksTheLineOfEitherEntry_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("line");
        QTest::newRow("first line of the first error") << 0 << 3;
        QTest::newRow("message of the first error") << 1 << 3;
        QTest::newRow("first line of the second error") << 2 << 12;
        QTest::newRow("message of the second error") << 3 << 12;
    }

    void clickPicksTheLineOfEitherEntry()
    {
        QFETCH(int, row);
        QFETCH(int, line);
        CErrorListDlg dialog(twoErrors());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        clickEntry(dialog, row);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.chosenLine(), line);
        QVERIFY(!dialog.isVisible());
    }

    void openingAndFocusingPicksNothing()
    {
        CErrorListDlg dialog(twoErrors());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        listOf(dialog)->setFocus();
        QCoreApplication::processEvents();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.chosenLine(), 0);
    }

    void closeAndEscapeReject()
    {
        for (bool escape : {false, true}) {
            CErrorListDlg dialog(twoErrors());
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            if (escape) {
                QTest::keyClick(&dialog, Qt::Key_Escape);
            } else {
                QPushButton *close = dialog.findChild<QPushButton *>();
                QCOMPARE(close->text(), QStringLiteral("閉じる"));
                close->click();
            }
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(dialog.chosenLine(), 0);
            QVERIFY(!dialog.isVisible());
        }
    }

    // Entries that name no line (no "(", or a number no line can have) pick nothing
    // rather than a line 0 or a wrapped number.
    void lineNumberOfMalformedEntries()
    {
        const std::vector<std::string> entries{"(7) x", "      m", "no parenthesis", "      m",
                                               "(99999999999) y", "      m", "(4", "      m"};
        QCOMPARE(CErrorListDlg::LineNumberOf(entries, 1), 7);
        QCOMPARE(CErrorListDlg::LineNumberOf(entries, 2), 0);
        QCOMPARE(CErrorListDlg::LineNumberOf(entries, 5), 0);
        QCOMPARE(CErrorListDlg::LineNumberOf(entries, 7), 4);
        QCOMPARE(CErrorListDlg::LineNumberOf(entries, 8), 0);
        QCOMPARE(CErrorListDlg::LineNumberOf(entries, -1), 0);

        CErrorListDlg dialog("no parenthesis\r\n      m\r\n");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        clickEntry(dialog, 1);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.chosenLine(), 0);
    }
};

QTEST_MAIN(ErrorListDialogTest)
#include "errorlistdialog_test.moc"
