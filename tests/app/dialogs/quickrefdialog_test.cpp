// The quick reference: its text byte for byte in layout, pasting, closing.
#include "dialogtest.h"
#include "quickrefdialog.h"

#include "engine/codepage.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>

#include <string>
#include <vector>

class QuickRefDialogTest : public QObject {
    Q_OBJECT
private slots:
    // Sections open with a 48-byte title line of dashes, entries start with "● " and their
    // descriptions (one or two lines) with two ideographic spaces; CR LF separates lines.
    void textLayout()
    {
        const std::string &text = CQuickRefDlg::ReferenceText();
        std::vector<std::string> lines{""};
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.compare(i, 2, "\r\n") == 0) {
                lines.emplace_back();
                ++i;
            } else {
                QVERIFY2(text[i] != '\r' && text[i] != '\n', "a lone CR or LF");
                lines.back() += text[i];
            }
        }
        QCOMPARE(lines.size(), std::size_t(220));
        QCOMPARE(cp932::ToUtf8(lines[0]), std::string("―――――――――――――――――――――座標―"));
        QCOMPARE(cp932::ToUtf8(lines[219]), std::string("　　コメント欄"));

        const std::string dash = CP932("―"), bullet = CP932("● "), indent = CP932("　　");
        int described = 2, twoLineDescriptions = 0;
        for (const std::string &line : lines) {
            if (line.starts_with(dash)) {
                QCOMPARE(line.size(), std::size_t(48));
                QVERIFY(line.ends_with(dash));
                described = 2; // no description before the section's first entry
            } else if (line.starts_with(bullet)) {
                described = 0;
            } else {
                QVERIFY2(line.starts_with(indent), line.c_str());
                QVERIFY(++described <= 2);
                twoLineDescriptions += described == 2;
            }
        }
        QCOMPARE(twoLineDescriptions, 3);

        CQuickRefDlg dialog(nullptr); // shown as stored
        QCOMPARE(dialog.referenceView()->toPlainText(),
                 QString::fromStdString(cp932::ToUtf8(text)).replace("\r\n", "\n"));
    }

    void pastesTheSelection()
    {
        CQuickRefDlg dialog(nullptr);
        QSignalSpy pasted(&dialog, &CQuickRefDlg::pasteRequested);
        QPushButton *paste = findButton(&dialog, QStringLiteral("選択部分を貼り付け"));
        QPlainTextEdit *view = dialog.referenceView();
        paste->click(); // nothing selected
        QCOMPARE(pasted.count(), 0);

        // Across lines (a single line is pasted in the main window's test): the line ends
        // arrive as "\n".
        QVERIFY(view->find(QStringLiteral("● page")));
        QTextCursor cursor = view->textCursor();
        cursor.setPosition(cursor.selectionStart());
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
        paste->click();
        QCOMPARE(pasted.count(), 1);
        QCOMPARE(pasted.at(0).at(0).toString(), QStringLiteral("● page\n　　改ページ"));
    }

    // Closing (by its button, Esc or the close box) tells the owner once and deletes the
    // window; Enter in the text presses no button.
    void closing_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("閉じる") << 0 << true;
        QTest::newRow("close box") << -1 << true;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << true;
        QTest::newRow("Return") << int(Qt::Key_Return) << false;
        QTest::newRow("Enter") << int(Qt::Key_Enter) << false;
    }

    void closing()
    {
        QFETCH(int, key);
        QFETCH(bool, closes);
        QPointer<CQuickRefDlg> dialog = new CQuickRefDlg(nullptr);
        QSignalSpy closed(dialog.data(), &CQuickRefDlg::closed);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        dialog->referenceView()->setFocus();
        if (key > 0)
            QTest::keyClick(dialog->referenceView(), Qt::Key(key));
        else if (key == 0)
            findButton(dialog, QStringLiteral("閉じる"))->click();
        else
            dialog->close();
        QCOMPARE(closed.count(), closes ? 1 : 0);
        if (closes)
            QTRY_VERIFY(dialog.isNull());
        QCOMPARE(dialog.isNull(), closes);
        delete dialog.data();
    }
};

QTEST_MAIN(QuickRefDialogTest)
#include "quickrefdialog_test.moc"
