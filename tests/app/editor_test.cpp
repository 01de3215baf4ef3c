// The document and the editor view: modified mark, reload, byte-exact saving, edits that
// leave the other lines' bytes alone, text that code page 932 cannot hold, and files that
// cannot be opened.
#include "testsupport.h"

#include "editorblocks.h"
#include "settingsstore.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <unistd.h>

class EditorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_temp;
    ScriptedPrompter *m_prompter = nullptr;
    SettingsStore *m_settings = nullptr;
    CZentovaDoc *m_doc = nullptr;
    CZentovaView *m_view = nullptr;

    QString path(const QString &name) const { return m_temp->filePath(name); }

    QString fileWith(const QString &name, const QByteArray &bytes)
    {
        WriteBytes(path(name), bytes);
        return path(name);
    }

    void type(const QString &text)
    {
        m_view->setFocus();
        QTest::keyClicks(m_view, text);
    }

private slots:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        m_prompter = new ScriptedPrompter;
        m_settings = new SettingsStore;
        m_doc = new CZentovaDoc(*m_prompter);
        m_view = new CZentovaView(*m_doc, *m_settings, *m_prompter);
        m_doc->newDocument();
        m_view->resize(400, 300);
        m_view->show();
    }

    void cleanup()
    {
        delete m_view;
        delete m_doc;
        delete m_settings;
        delete m_prompter;
    }

    // Reload asks only when there are edits: Cancel keeps them, OK reads the file again.
    // A file that is gone is reported and the edits stay.
    void reloadAsksOnlyAboutEdits()
    {
        QVERIFY(!m_view->canReload());
        const QString p = fileWith("r.zent", "one\r\n");
        QVERIFY(m_doc->openDocument(p));
        QVERIFY(m_view->canReload());
        QCOMPARE(m_doc->title(), QStringLiteral("r.zent"));
        WriteBytes(p, "two\r\n");
        m_view->reload();
        QVERIFY(m_prompter->questions.isEmpty());
        QCOMPARE(m_view->editorText(), QStringLiteral("two\n"));

        type("xy");
        QCOMPARE(m_doc->title(), QStringLiteral("r.zent *"));
        WriteBytes(p, "three\r\n");
        m_prompter->okCancelAnswers << false << true;
        m_view->reload();
        QCOMPARE(m_prompter->questions,
                 QStringList{QStringLiteral("データの変更を破棄して再読込しますか？")});
        QCOMPARE(m_view->editorText(), QStringLiteral("xytwo\n"));
        QCOMPARE(m_doc->title(), QStringLiteral("r.zent *"));
        m_view->reload();
        QCOMPARE(m_view->editorText(), QStringLiteral("three\n"));
        QCOMPARE(m_doc->title(), QStringLiteral("r.zent"));
        QVERIFY(!m_doc->isModified());

        type("z");
        QFile::remove(p);
        m_prompter->okCancelAnswers << true;
        m_view->reload();
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(m_view->editorText(), QStringLiteral("zthree\n"));
        QCOMPARE(m_doc->title(), QStringLiteral("r.zent *"));
    }

    void unEditedFilesAreSavedByteForByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CR LF and Shift-JIS")
            << Cp932("# 作業日報\r\n/ＭＳ ゴシック\r\n:.ｶﾀｶﾅ 全角\r\n*\r\n");
        QTest::newRow("lone LF") << QByteArray("page\nposition 1 1\n");
        QTest::newRow("mixed and lone CR") << QByteArray("a\r\nb\nc\rd\r\n\n");
        QTest::newRow("no code page 932 character")
            << QByteArray("\x81\x20 \xFF\xFE\x80\xA0 \x81", 11);
        QTest::newRow("NUL bytes") << QByteArray("a\0b\r\n\0", 6);
        QTest::newRow("empty") << QByteArray();
    }

    void unEditedFilesAreSavedByteForByte()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(m_doc->openDocument(fileWith("in.zent", bytes)));
        QVERIFY(m_doc->saveTo(path("out.zent")));
        QCOMPARE(ReadBytes(path("out.zent")), bytes);
        QVERIFY(m_prompter->questions.isEmpty());

        // An edit taken back by undo leaves the text as read: still the same bytes.
        type("x");
        m_view->undo();
        QVERIFY(m_doc->saveTo(path("again.zent")));
        QCOMPARE(ReadBytes(path("again.zent")), bytes);
    }

    // Until the first edit, printing takes the file's bytes with CR LF line ends; edited
    // text is code page 932 with CR LF, printed and saved alike. A typed wave dash and
    // minus sign are code page 932's; a byte that forms no character stays.
    void editedTextIsShiftJisWithCrLf()
    {
        const QString p = fileWith("in.zent", "b\nc\xFF\r\n");
        QVERIFY(m_doc->openDocument(p));
        QCOMPARE(m_doc->commandBytes(), std::string("b\r\nc\xFF\r\n"));
        m_view->selectLine(1);
        m_view->InsertText(QStringLiteral(":.1〜3丁目 A−B"));
        const QByteArray edited = ":.1\x81\x60" + Cp932("3丁目 A－B\r\nc") + "\xFF\r\n";
        QCOMPARE(QByteArray::fromStdString(m_doc->commandBytes()), edited);
        QVERIFY(m_doc->saveTo(p));
        QVERIFY(m_prompter->questions.isEmpty());
        QCOMPARE(ReadBytes(p), edited);
        QCOMPARE(m_doc->title(), QStringLiteral("in.zent"));
        QVERIFY(!m_doc->isModified());
    }

    // An edit on line 3 leaves line 40 byte for byte, whatever it holds: bytes that form
    // no character, characters with two codes, the user-defined area.
    void anEditLeavesOtherLinesByteForByte()
    {
        QByteArray before;
        for (int line = 1; line <= 45; ++line)
            before += line == 40 ? QByteArray(":.\x85\x40 \xA0\xFD\x80 \xED\x40\x87\x90 \xF0\x40 \x82\r\n")
                                 : "position 1 " + QByteArray::number(line) + "\r\n";
        const QString p = fileWith("damaged.zent", before);
        QVERIFY(m_doc->openDocument(p));
        m_view->selectLine(3);
        m_view->InsertText(QStringLiteral("〜"));
        QVERIFY(m_doc->saveTo(p));
        QVERIFY(m_prompter->questions.isEmpty());
        QCOMPARE(ReadBytes(p), QByteArray(before).replace("position 1 3\r\n", "\x81\x60\r\n"));
    }

    void unrepresentableTextNamesItsLinesAndCanBeCancelled()
    {
        const QByteArray before = Cp932("一\r\n二\r\n三\r\n");
        const QString p = fileWith("bad.zent", before);
        QVERIFY(m_doc->openDocument(p));
        m_view->selectLine(3);
        m_view->InsertText(QStringLiteral("café 😀"));
        m_view->selectLine(1);
        m_view->InsertText(QStringLiteral("☺"));
        m_prompter->okCancelAnswers << false;
        QVERIFY(!m_doc->saveTo(p));
        QCOMPARE(m_prompter->questions.size(), 1);
        QVERIFY2(m_prompter->questions.first().startsWith(QStringLiteral("1、3 行目に")),
                 qPrintable(m_prompter->questions.first()));
        QCOMPARE(ReadBytes(p), before);
        QCOMPARE(QDir(m_temp->path()).entryList(QDir::Files), QStringList{"bad.zent"});
        QVERIFY(m_doc->isModified());

        m_prompter->okCancelAnswers << true;
        QVERIFY(m_doc->saveTo(p));
        QCOMPARE(ReadBytes(p), Cp932("?\r\n二\r\ncaf? ?\r\n"));
    }

    void aFailedSaveReportsAndChangesNothing()
    {
        QVERIFY(m_doc->openDocument(fileWith("a.zent", "abc\r\n")));
        type("x");
        QVERIFY(!m_doc->saveTo(path("a.zent/inside.zent")));
        QCOMPARE(m_prompter->messages.size(), 1);
        QVERIFY(m_doc->isModified());
        QCOMPARE(m_doc->title(), QStringLiteral("a.zent *"));
        QCOMPARE(ReadBytes(path("a.zent")), QByteArray("abc\r\n"));
    }

    // The editor holds short lines several to a block and cuts long lines into blocks;
    // the text reads back unchanged, the last line is found by number and scrolled to, and
    // a triple click selects that line alone.
    void textSurvivesTheEditorsBlocks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("lastLine");
        QStringList many;
        for (int i = 1; i <= 3000; ++i)
            many << QStringLiteral("position %1 %1").arg(i);
        const QString longLine = QString(3 * editorblocks::kCutChars + 5, QChar(u'x'));
        QTest::newRow("many short lines") << many.join(u'\n') << many.last();
        QTest::newRow("long lines among short ones")
            << QStringLiteral("a\n:") + longLine + QStringLiteral("\nb\n") + longLine + "\nend"
            << QStringLiteral("end");
        QTest::newRow("a line of exactly the cut length")
            << QString(editorblocks::kCutChars, QChar(u'y')) + QStringLiteral("\n\n")
            << QString();
        QTest::newRow("a character pair at the cut")
            << QString(editorblocks::kCutChars - 1, QChar(u'z')) + QStringLiteral("😀😀\nq")
            << QStringLiteral("q");
        QTest::newRow("empty") << QString() << QString();
    }

    void textSurvivesTheEditorsBlocks()
    {
        QFETCH(QString, text);
        QFETCH(QString, lastLine);
        m_view->setEditorText(text);
        QCOMPARE(m_view->editorText(), text);
        const int lines = static_cast<int>(text.count(u'\n')) + 1;
        QVERIFY(m_view->document()->blockCount() <= 1 + lines / 10 + text.size() / 500);
        for (QTextBlock block = m_view->document()->begin(); block.isValid(); block = block.next())
            QVERIFY(block.length() <= editorblocks::kCutChars + 1);
        m_view->selectLine(lines);
        QCOMPARE(m_view->textCursor().selectedText(), lastLine);
        // Lines found by number, all in one pass or one at a time, and numbered again from
        // their first and last character, counting from the start or from the line before.
        QTextDocument &document = *m_view->document();
        QList<int> numbers;
        for (int line = 1; line <= lines + 1; ++line)
            numbers << line;
        const QList<int> starts = editorblocks::LinePositions(document, numbers);
        QCOMPARE(starts.last(), -1);
        editorblocks::LineAnchor anchor;
        for (int line = 1; line <= lines; ++line) {
            const int start = starts[line - 1];
            const int end = line < lines ? starts[line] - 1 : document.characterCount() - 1;
            QVERIFY(start >= 0 && end >= start);
            QCOMPARE(editorblocks::LineNumber(document, start, &anchor), line);
            QCOMPARE(editorblocks::LineNumber(document, end, &anchor), line);
            if (line % 97 == 1 || line == lines) {
                QCOMPARE(editorblocks::LinePosition(document, line), start);
                QCOMPARE(editorblocks::LineNumber(document, end), line);
            }
        }
        // A triple click on the last line selects that line alone.
        m_view->moveCursor(QTextCursor::End);
        const QPoint end = m_view->cursorRect().center() - QPoint(2, 0);
        QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, end);
        QTest::mousePress(m_view->viewport(), Qt::LeftButton, {}, end);
        QTest::mouseRelease(m_view->viewport(), Qt::LeftButton, {}, end);
        QCOMPARE(m_view->textCursor().selectedText(), lastLine);
        QVERIFY(!m_doc->isModified());
        QVERIFY(!m_view->document()->isUndoAvailable());
    }

    // Editing where a long line is cut between blocks edits the line as if it were whole.
    void editingALongLineAcrossItsBlocks()
    {
        const QString x = QString(3000, QChar(u'x'));
        m_view->setEditorText(QStringLiteral("short\n") + x + QStringLiteral("\nend"));
        QTextDocument &document = *m_view->document();
        const QTextBlock second = document.findBlockByNumber(2); // the long line's 2nd block
        QVERIFY(editorblocks::IsContinued(second));
        auto caretAt = [this](int position, int anchor = -1) {
            QTextCursor cursor = m_view->textCursor();
            cursor.setPosition(anchor < 0 ? position : anchor);
            cursor.setPosition(position, QTextCursor::KeepAnchor);
            m_view->setTextCursor(cursor);
        };
        auto expect = [this](int removed, const QString &inserted = {}) {
            QString line = QString(3000 - removed, QChar(u'x'));
            line.insert(1500, inserted);
            QCOMPARE(m_view->editorText(), QStringLiteral("short\n") + line + QStringLiteral("\nend"));
        };

        // Backspace at the start of a continued block and Delete at the end of the block
        // before it each take one character, not the break.
        caretAt(second.position());
        QTest::keyClick(m_view, Qt::Key_Backspace);
        expect(1);
        caretAt(second.position() - 1);
        QTest::keyClick(m_view, Qt::Key_Delete);
        expect(2);
        m_view->undo();
        m_view->undo();
        expect(0);

        // Enter, pasting and the insertion tools inside a continued block end lines there.
        const int middle = 6 + 1500 + 1; // after 1,500 of the long line's characters
        caretAt(middle);
        QTest::keyClick(m_view, Qt::Key_Return);
        expect(0, QStringLiteral("\n"));
        m_view->undo();
        QApplication::clipboard()->setText(QStringLiteral("A\nB"));
        caretAt(middle);
        m_view->paste();
        expect(0, QStringLiteral("A\nB"));
        m_view->undo();
        m_prompter->colorAnswers = {QColor(1, 2, 3)};
        caretAt(middle);
        m_view->insertColorCommand();
        QVERIFY(m_view->editorText().startsWith(QStringLiteral("short\ncolor\t1\t2\t3\nxxx")));
        m_view->undo();

        // Copied text has no break where the blocks meet (one position in the document);
        // the line is selected whole.
        caretAt(middle + 1201, middle);
        m_view->copy();
        QCOMPARE(QApplication::clipboard()->text(), QString(1200, QChar(u'x')));
        m_view->selectLine(3);
        QCOMPARE(m_view->textCursor().selectedText(), QStringLiteral("end"));
        m_view->selectLine(2);
        QCOMPARE(editorblocks::Text(document, m_view->textCursor().selectionStart(),
                                    m_view->textCursor().selectionEnd()),
                 x);
    }

    void filesThatCannotBeOpenedLeaveTheDocumentAlone_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "missing.zent";
        QTest::newRow("folder") << "folder";
        QTest::newRow("too large") << "large.bin";
        QTest::newRow("unreadable") << "locked.zent";
        QTest::newRow("device") << "/dev/zero";
    }

    void filesThatCannotBeOpenedLeaveTheDocumentAlone()
    {
        QFETCH(QString, name);
        QDir(m_temp->path()).mkdir("folder");
        QFile large(path("large.bin"));
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(CZentovaDoc::kMaxFileSize + 1));
        large.close();
        const QString locked = fileWith("locked.zent", "secret\r\n");
        QFile::setPermissions(locked, QFileDevice::Permissions());
        if (name == "locked.zent" && ::geteuid() == 0)
            QSKIP("permissions do not stop the superuser");

        const QString p = fileWith("mine.zent", "mine\r\n");
        QVERIFY(m_doc->openDocument(p));
        type("x");
        QVERIFY(!m_doc->openDocument(name.startsWith('/') ? name : path(name)));
        QCOMPARE(m_prompter->messages.size(), 1);
        QVERIFY(m_prompter->messages.first().contains(name));
        QCOMPARE(m_view->editorText(), QStringLiteral("xmine\n"));
        QCOMPARE(m_doc->pathName(), QFileInfo(p).absoluteFilePath());
        QCOMPARE(m_doc->title(), QStringLiteral("mine.zent *"));
    }

    void newDocumentEmptiesTextAndErrors()
    {
        QVERIFY(m_doc->openDocument(fileWith("e.zent", "zzz\r\n")));
        m_view->state().errorText.add(1, "zzz", "message");
        QVERIFY(m_view->canCheckErrors());
        m_doc->newDocument();
        QVERIFY(m_view->editorText().isEmpty());
        QVERIFY(!m_view->canCheckErrors());
        QCOMPARE(m_doc->title(), QStringLiteral("無題"));
        QVERIFY(m_doc->pathName().isEmpty());
    }
};

ZENTOVA_APP_TEST(EditorTest);
#include "editor_test.moc"
