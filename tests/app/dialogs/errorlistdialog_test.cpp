// The error list: what it lists and which line a click picks.
#include "errorlistdialog.h"

#include "engine/codepage.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

// The error list of a job with errors on lines 3 and 12, as the interpreter writes it.
const std::string kTwoErrors = CP932("(3) colour 256 0 0\r\n"
                                     "      数値が範囲外です\r\n"
                                     "(12) lin 0 0 (5)\r\n"
                                     "      コマンドのフォーマットが間違っています\r\n");

std::unique_ptr<CErrorListDlg> shown(const std::string &errors)
{
    auto dialog = std::make_unique<CErrorListDlg>(errors);
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get()))
        qFatal("the error list was not shown");
    return dialog;
}

void clickEntry(CErrorListDlg &dialog, int row)
{
    auto *list = dialog.findChild<QListWidget *>();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

} // namespace

class ErrorListDialogTest : public QObject {
    Q_OBJECT
private slots:
    // Clicks on entries are followed through to the editor's line by the main window's
    // test; here, what picks nothing: opening and focusing the list, Close and Esc.
    void openingFocusingAndClosingPickNothing()
    {
        auto dialog = shown(kTwoErrors);
        auto *list = dialog->findChild<QListWidget *>();
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(3)->text(),
                 QStringLiteral("      コマンドのフォーマットが間違っています"));
        list->setFocus();
        QCoreApplication::processEvents();
        QVERIFY(dialog->isVisible());

        for (bool escape : {false, true}) {
            dialog = shown(kTwoErrors);
            if (escape)
                QTest::keyClick(dialog.get(), Qt::Key_Escape);
            else
                dialog->findChild<QPushButton *>()->click();
            QCOMPARE(dialog->result(), int(QDialog::Rejected));
            QCOMPARE(dialog->chosenLine(), 0);
            QVERIFY(!dialog->isVisible());
        }
    }

    // Entries that name no line (no "(", or a number no line can have) pick nothing
    // rather than a line 0 or a wrapped number.
    void lineNumberOfMalformedEntries()
    {
        const std::vector<std::string> entries{"(7) x", "      m", "no parenthesis", "      m",
                                               "(99999999999) y", "      m", "(4", "      m"};
        for (const auto &[index, line] :
             {std::pair{1, 7}, {2, 0}, {5, 0}, {7, 4}, {8, 0}, {-1, 0}})
            QCOMPARE(CErrorListDlg::LineNumberOf(entries, index), line);

        const auto dialog = shown("no parenthesis\r\n      m\r\n");
        clickEntry(*dialog, 1);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->chosenLine(), 0);
    }
};

QTEST_MAIN(ErrorListDialogTest)
#include "errorlistdialog_test.moc"
