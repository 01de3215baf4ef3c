// The quick reference: its text byte for byte in layout, pasting, closing.
#include "quickrefdialog.h"

#include "engine/codepage.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>

#include <string>
#include <vector>

namespace {

std::vector<std::string> referenceLines()
{
    const std::string &text = CQuickRefDlg::ReferenceText();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 2;
    }
}

bool startsWith(const std::string &s, const std::string &prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

QPushButton *button(CQuickRefDlg &dialog, const QString &text)
{
    for (QPushButton *b : dialog.findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// Selects the first occurrence of `text` in the reference view.
bool select(CQuickRefDlg &dialog, const QString &text)
{
    QPlainTextEdit *view = dialog.referenceView();
    view->moveCursor(QTextCursor::Start);
    return view->find(text);
}

} // namespace

class QuickRefDialogTest : public QObject {
    Q_OBJECT
private slots:
    void textLayout()
    {
        const std::string &text = CQuickRefDlg::ReferenceText();
        QVERIFY(!text.empty());
        QVERIFY(!startsWith(text.substr(text.size() - 2), "\r\n"));
        // CR and LF occur only together, as line separators.
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r')
                QVERIFY(i + 1 < text.size() && text[i + 1] == '\n');
            if (text[i] == '\n')
                QVERIFY(i > 0 && text[i - 1] == '\r');
        }

        const std::string dash = CP932("―"), bullet = CP932("● "), indent = CP932("　　");
        std::vector<std::string> titles;
        std::vector<int> entries;
        std::vector<int> descriptions;
        int twoLineDescriptions = 0;
        for (const std::string &line : referenceLines()) {
            if (startsWith(line, dash)) {
                QCOMPARE(line.size(), std::size_t(48));
                QVERIFY(line.substr(line.size() - 2) == dash);
                std::size_t t = 0;
                while (line.compare(t, 2, dash) == 0)
                    t += 2;
                titles.push_back(cp932::ToUtf8(line.substr(t, line.size() - 2 - t)));
                entries.push_back(0);
            } else if (startsWith(line, bullet)) {
                QVERIFY(!entries.empty());
                ++entries.back();
                descriptions.push_back(0);
            } else {
                QVERIFY2(startsWith(line, indent), line.c_str());
                QVERIFY(!descriptions.empty());
                if (++descriptions.back() == 2)
                    ++twoLineDescriptions;
            }
        }
        const std::vector<std::string> expectedTitles{
            "座標", "色", "フォント", "文字印刷", "整数値印刷", "線", "直線印刷",
            "罫線印刷", "図形印刷", "塗りつぶし図形印刷", "画像印刷", "改ページ", "整変数",
            "整変数一時保存", "文字列短縮形", "文字列短縮形一時保存", "分岐", "呼出し",
            "コメント"};
        QCOMPARE(titles, expectedTitles);
        QCOMPARE(entries, (std::vector<int>{5, 1, 5, 11, 9, 2, 1, 8, 5, 5, 9, 1, 21, 4, 2, 4,
                                            4, 1, 1}));
        for (int n : descriptions)
            QVERIFY(n == 1 || n == 2);
        QCOMPARE(twoLineDescriptions, 3);

        const std::vector<std::string> lines = referenceLines();
        QCOMPARE(lines.size(), std::size_t(220));
        QCOMPARE(cp932::ToUtf8(lines.front()), std::string("―――――――――――――――――――――座標―"));
        QCOMPARE(cp932::ToUtf8(lines[1]), std::string("● offset [Xｵﾌｾｯﾄ] [Yｵﾌｾｯﾄ]"));
        QCOMPARE(cp932::ToUtf8(lines[lines.size() - 2]), std::string("● #[ｺﾒﾝﾄ]"));
        QCOMPARE(cp932::ToUtf8(lines.back()), std::string("　　コメント欄"));
    }

    void shownAsStored()
    {
        CQuickRefDlg dialog(nullptr);
        QString expected = QString::fromStdString(cp932::ToUtf8(CQuickRefDlg::ReferenceText()));
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(dialog.referenceView()->toPlainText(), expected);
    }

    void pastesTheSelection()
    {
        CQuickRefDlg dialog(nullptr);
        QSignalSpy pasted(&dialog, &CQuickRefDlg::pasteRequested);
        QPushButton *paste = button(dialog, QStringLiteral("選択部分を貼り付け"));
        QVERIFY(paste);

        paste->click(); // nothing selected
        QCOMPARE(pasted.count(), 0);

        QVERIFY(select(dialog, QStringLiteral("lwidth [幅]")));
        paste->click();
        QCOMPARE(pasted.count(), 1);
        QCOMPARE(pasted.at(0).at(0).toString(), QStringLiteral("lwidth [幅]"));

        // Across lines: the line ends arrive as "\n".
        QPlainTextEdit *view = dialog.referenceView();
        QVERIFY(select(dialog, QStringLiteral("● page")));
        QTextCursor cursor = view->textCursor();
        cursor.setPosition(cursor.selectionStart());
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
        paste->click();
        QCOMPARE(pasted.count(), 2);
        QCOMPARE(pasted.at(1).at(0).toString(), QStringLiteral("● page\n　　改ページ"));
    }

    void enterKeepsItOpen()
    {
        QPointer<CQuickRefDlg> dialog = new CQuickRefDlg(nullptr);
        QSignalSpy closed(dialog.data(), &CQuickRefDlg::closed);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        dialog->referenceView()->setFocus();
        QTest::keyClick(dialog->referenceView(), Qt::Key_Return);
        QTest::keyClick(dialog.data(), Qt::Key_Enter);
        QVERIFY(dialog->isVisible());
        QCOMPARE(closed.count(), 0);
        delete dialog.data();
    }

    void closesAndDeletesItself_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("閉じる") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("close box") << 2;
    }

    void closesAndDeletesItself()
    {
        QFETCH(int, how);
        QPointer<CQuickRefDlg> dialog = new CQuickRefDlg(nullptr);
        QSignalSpy closed(dialog.data(), &CQuickRefDlg::closed);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        if (how == 0)
            button(*dialog, QStringLiteral("閉じる"))->click();
        else if (how == 1)
            QTest::keyClick(dialog->referenceView(), Qt::Key_Escape);
        else
            dialog->close();
        QCOMPARE(closed.count(), 1);
        QTRY_VERIFY(dialog.isNull());
    }
};

QTEST_MAIN(QuickRefDialogTest)
#include "quickrefdialog_test.moc"
