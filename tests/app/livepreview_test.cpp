// The live preview beside the editor: renderings dropped when overtaken or over budget,
// from a mark to its line and back, error marks that follow the edits, and the colours of
// command lines.
#include "testsupport.h"

#include "commandcoloring.h"
#include "commandcolors.h"
#include "editorblocks.h"
#include "errormarks.h"
#include "livepreviewpane.h"
#include "markpageview.h"
#include "mergedata.h"
#include "previewworker.h"
#include "settingsstore.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMutex>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

namespace {

// The editor and the pane side by side in a shown window, as the main window has them.
struct PaneWindow {
    ScriptedPrompter prompter;
    SettingsStore settings;
    CZentovaDoc doc{prompter};
    QWidget window;
    CZentovaView *view;
    LivePreviewPane *pane;

    explicit PaneWindow(int budgetMs = 2000)
    {
        auto *layout = new QHBoxLayout(&window);
        view = new CZentovaView(doc, settings, prompter);
        pane = new LivePreviewPane(*view, nullptr, budgetMs);
        layout->addWidget(view);
        layout->addWidget(pane);
        doc.newDocument();
        window.resize(900, 600);
        window.show();
    }

    // Puts `text` in the editor and waits for its page to be shown.
    bool renders(const QString &text)
    {
        view->setEditorText(text);
        return settle();
    }
    // Waits until the pane shows the text as it is now.
    bool settle()
    {
        QSignalSpy shown(pane, &LivePreviewPane::rendered);
        return QTest::qWaitFor([&]() { return !pane->busy() && shown.count() > 0; }, 20000);
    }
    int positionOf(int line) const { return editorblocks::LinePosition(*view->document(), line); }
    QString errorOn(int line) const { return view->errorMarks().messageAt(positionOf(line)); }
    void caretTo(int line)
    {
        QTextCursor cursor = view->textCursor();
        cursor.setPosition(positionOf(line));
        view->setTextCursor(cursor);
    }
};

// "kind:text" for every coloured part of `line`, separated by blanks.
QString coloured(const QString &line)
{
    static const char *const kNames[] = {"plain",  "command",  "comment",      "text",
                                         "number", "expr",     "variable",     "abbr",
                                         "label",  "page",     "unknown"};
    QStringList parts;
    for (const commandcolors::Span &span : commandcolors::Spans(line))
        parts << QStringLiteral("%1:%2").arg(QLatin1String(kNames[static_cast<int>(span.kind)]),
                                             line.mid(span.start, span.length));
    return parts.join(QLatin1Char(' '));
}

} // namespace

class LivePreviewTest : public QObject {
    Q_OBJECT

private slots:
    void colouringClasses_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("parts");
        auto row = [](const char *line, const char *parts) {
            QTest::newRow(line) << QString::fromUtf8(line) << QString::fromUtf8(parts);
        };
        // Commands by their first three letters, whatever follows.
        row("colour 255 0 0", "command:colour number:255 number:0 number:0");
        row("colx 1,2,3", "command:colx number:1 number:2 number:3");
        row("lien 0 0 10 10", "unknown:lien number:0 number:0 number:10 number:10");
        row("  line 0 0 10 10", "unknown:line 0 0 10 10");
        row("** 1 2", "unknown:** number:1 number:2");
        row(":x", "unknown::x");
        row("line 0 0 10 10 # note", "command:line number:0 number:0 number:10 number:10 "
                                     "comment:# note");
        row("position $aa*2 1fh", "command:position variable:$aa expr:*2 expr:1fh");
        row("page 2", "page:page 2");
        row("PAGE", "page:PAGE");
        // Comments and labels; flow with a label and a condition.
        row("# a comment {{ab}}", "comment:# a comment {{ab}}");
        row("##a", "label:##a");
        row("skip a $aa == 0", "command:skip label:a variable:$aa expr:== number:0");
        row("store aa zz", "command:store variable:aa variable:zz");
        // Text, its abbreviations, and the signs of the line forms.
        row(":.見本{{ti}}です", "command::. text:見本 abbr:{{ti}} text:です");
        row("* 0 80 5", "command:* number:0 number:80 number:5");
        row("/ＭＳ 明朝", "command:/ text:ＭＳ 明朝");
        row("=No.%03d", "command:= text:No.%03d");
        row("!%With%logo.png", "command:! text:%With%logo.png");
        row("!0", "command:! number:0");
        row("<%With%parts\\frame.zent", "command:< text:%With%parts\\frame.zent");
        // Variables and abbreviations.
        row("$aa=5", "variable:$aa number:5");
        row("$bb sw", "variable:$bb command:sw");
        row("$$cc p", "variable:$$cc command:p");
        row("{ti}作業日報", "abbr:{ti} text:作業日報");
        row("}{ti}作業日報", "abbr:}{ti} text:作業日報");
        row("{{ab}} 1", "abbr:{{ab}} number:1");
    }

    void colouringClasses()
    {
        QFETCH(QString, line);
        QFETCH(QString, parts);
        QCOMPARE(coloured(line), parts);
    }

    // A line cut into several editor blocks is coloured as one line: its pieces take the
    // colour of the line's start, and change with it.
    void longLinesAreColouredAsOneLine()
    {
        PaneWindow w;
        w.view->setEditorText(QStringLiteral(":.") +
                              QString(editorblocks::kCutChars + 100, QChar(u'x')) +
                              QStringLiteral("\nline 0 0 1 1"));
        auto pieceColour = [&]() {
            const QTextBlock piece = w.view->document()->begin().next();
            const QList<QTextLayout::FormatRange> formats = piece.layout()->formats();
            if (!editorblocks::IsContinued(piece) || formats.isEmpty() || formats[0].start != 0)
                return QColor();
            return formats[0].format.foreground().color();
        };
        auto colourOf = [](commandcolors::Kind kind) {
            return CommandColoring::Format(kind).foreground().color();
        };
        QTRY_COMPARE(pieceColour(), colourOf(commandcolors::Kind::Text));
        QTextCursor(w.view->document()).insertText(QStringLiteral("# "));
        QCOMPARE(pieceColour(), colourOf(commandcolors::Kind::Comment));
        QTextCursor cursor(w.view->document());
        cursor.deleteChar();
        cursor.deleteChar();
        QCOMPARE(pieceColour(), colourOf(commandcolors::Kind::Text));
    }

    // A click on a mark puts the caret on the line that drew it; the marks of the caret's
    // line are outlined.
    void markToLineAndBack()
    {
        PaneWindow w;
        QVERIFY(w.renders("lrectangle 100 100 1900 1400\n"
                          "repeat 1 3\n"
                          "fcircle 1000 2000 20\n"
                          "position 300 600\n"
                          ":.x\n"
                          "* 300 0 4\n"));
        MarkPageView &pages = *w.pane->pageView();
        QCOMPARE(pages.marks().size(), std::size_t(8));
        const Mark circle = pages.marks()[1], text = pages.marks()[5];
        // The text lies inside the rectangle: the smaller mark is the one clicked.
        QTest::mouseClick(pages.viewport(), Qt::LeftButton, {}, pages.centreOf(text));
        QCOMPARE(w.view->caretLine(), 6);
        QTRY_COMPARE(pages.outlinedCount(), 4);
        QTest::mouseClick(pages.viewport(), Qt::LeftButton, {}, pages.centreOf(circle));
        QCOMPARE(w.view->caretLine(), 3);
        QTRY_COMPARE(pages.outlinedCount(), 3);
        w.caretTo(4);
        QTRY_COMPARE(pages.outlinedLine(), 4);
        QCOMPARE(pages.outlinedCount(), 0);
    }

    // Error marks stay on their lines while lines are inserted and joined above them, and
    // the next rendering marks the text as it is then; the caret's line shows its message.
    void errorMarksFollowTheEdits()
    {
        PaneWindow w;
        QVERIFY(w.renders("line 0 0 1 1\n\nbad\nline 0 0 1 1\nworse 1\n"));
        const QString unknown = QStringLiteral("定義されていないコマンドです");
        QCOMPARE(w.view->errorMarks().count(), 2);
        QCOMPARE(w.errorOn(3), unknown);
        QCOMPARE(w.errorOn(5), unknown);
        QVERIFY(w.errorOn(4).isEmpty());

        QTextCursor cursor(w.view->document());
        cursor.insertText(QStringLiteral("# new\n")); // a line at the top
        QCOMPARE(w.errorOn(4), unknown);
        QCOMPARE(w.errorOn(6), unknown);
        QVERIFY(w.errorOn(3).isEmpty());
        cursor.setPosition(w.positionOf(4));
        cursor.deletePreviousChar(); // "bad" joins the empty line above it
        QCOMPARE(w.errorOn(3), unknown);
        QCOMPARE(w.errorOn(5), unknown);
        cursor.setPosition(w.positionOf(5));
        cursor.insertText(QStringLiteral("\n")); // a break in front of "worse" moves it down
        QVERIFY(w.errorOn(5).isEmpty());
        QCOMPARE(w.errorOn(6), unknown);

        w.caretTo(6);
        QCOMPARE(w.view->caretError(), unknown);
        QVERIFY(w.settle());
        QCOMPARE(w.errorOn(3), unknown);
        QCOMPARE(w.errorOn(6), unknown);
        QCOMPARE(w.view->errorMarks().count(), 2);
        // A new text leaves no mark behind until its own rendering.
        w.view->setEditorText(QStringLiteral("bad\n"));
        QCOMPARE(w.view->errorMarks().count(), 0);
        QVERIFY(w.settle());
        QCOMPARE(w.errorOn(1), unknown);
    }

    // With a data file for merge printing the pane shows one record: the first, then the
    // one picked; its fields are in force, and its errors name it.
    void mergeDataShowsOneRecord()
    {
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("sizes.csv"));
        QVERIFY(WriteBytes(data, "sz\n5\n50\n"));
        PaneWindow w;
        QVERIFY(w.renders("}{sz}20\nfsize {{sz}}\n"));
        QCOMPARE(w.view->errorMarks().count(), 0); // the sample value
        w.prompter.openFileAnswers << data;
        w.view->mergeData().choose();
        QVERIFY(w.settle());
        QCOMPARE(w.errorOn(2), QStringLiteral("数値が範囲外です（レコード 1）"));
        QCOMPARE(w.pane->shown()->pageCount, 1); // the document's pages, not every copy's
        auto *record = w.pane->findChild<QSpinBox *>();
        QVERIFY(record && record->isVisible());
        QCOMPARE(record->maximum(), 2);
        record->setValue(2);
        QVERIFY(w.settle());
        QCOMPARE(w.view->errorMarks().count(), 0);
        w.view->mergeData().clear();
        QVERIFY(w.settle());
        QVERIFY(!record->isVisible());
        QCOMPARE(w.view->errorMarks().count(), 0);
    }

    // Only the newest request is delivered: a page under way is stopped by the next
    // request, without waiting for its budget.
    void overtakenRenderingsAreDropped()
    {
        QMutex mutex;
        QList<quint64> delivered;
        DrawingView view;
        PreviewWorker worker(
            view,
            [&](std::shared_ptr<LivePageResult> result) {
                const QMutexLocker lock(&mutex);
                delivered << result->generation;
            },
            600000);
        auto request = [](quint64 generation, const char *text) {
            LivePageRequest r;
            r.generation = generation;
            auto source = std::make_shared<commandtext::Source>();
            source->text = QString::fromLatin1(text);
            r.text = source;
            r.sheet = {QSize(2100, 2970), QSizeF(8.27, 11.69), QPointF()};
            return r;
        };
        worker.request(request(1, ":.x\n* 10 10 2000000000\n"));
        QTest::qWait(100); // the endless page is under way
        worker.request(request(2, ":.x\n*\n"));
        QVERIFY(QTest::qWaitFor([&]() { const QMutexLocker lock(&mutex); return !delivered.isEmpty(); },
                                20000));
        QTest::qWait(100);
        const QMutexLocker lock(&mutex);
        QCOMPARE(delivered, QList<quint64>{2});
    }

    // A page that never ends is shown as far as it got once its budget is spent, and the
    // pane says so; the next text renders normally.
    void theBudgetStopsAnEndlessPage()
    {
        PaneWindow w(300);
        QVERIFY(w.renders(":.x\n* 10 10 2000000000\n"));
        QVERIFY(w.pane->shown()->overBudget);
        QVERIFY(!w.pane->pageView()->marks().empty());
        bool said = false;
        for (QLabel *label : w.pane->findChildren<QLabel *>())
            said = said || (label->isVisible() && label->text().contains(QStringLiteral("打ち切り")));
        QVERIFY(said);
        QVERIFY(w.renders(":.x\n*\n"));
        QVERIFY(!w.pane->shown()->overBudget);
    }
};

ZENTOVA_APP_TEST(LivePreviewTest);
#include "livepreview_test.moc"
