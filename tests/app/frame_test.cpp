// The application and its main window: start-up switches, window size, File Open's
// folder, dropped files, help, the quick reference, the error list and the adjustment.
#include "testsupport.h"

#include "adjustdialog.h"
#include "commandtable.h"
#include "errorlistdialog.h"
#include "helpwindow.h"
#include "mainframe.h"
#include "printcontroller.h"
#include "quickrefdialog.h"
#include "settingsstore.h"
#include "zentovaapp.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include "draw/nullsurface.h"
#include "draw/printjob.h"

#include <QAction>
#include <QListWidget>
#include <QMimeData>
#include <QPageSize>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class FrameTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    ScriptedPrompter *m_prompter = nullptr;
    CZentovaApp *m_app = nullptr;

    // Starts the program; false when it ends at once.
    bool start(const QStringList &arguments = {})
    {
        delete m_app;
        m_app = new CZentovaApp(*m_prompter);
        return m_app->start(arguments);
    }
    CMainFrame &frame() { return m_app->frame(); }
    CZentovaView &view() { return frame().view(); }
    QAction *action(CommandId id) { return frame().commands().action(id); }

    QString fileWith(const QString &name, const QByteArray &bytes)
    {
        const QString p = m_dir.filePath(name);
        WriteBytes(p, bytes);
        return p;
    }

    // The error list of running every page of the view's text, as a print job leaves it.
    void runJob()
    {
        const std::string text = view().zentovaDoc().commandBytes();
        PrintJob job(view().state());
        const int pages = job.Prepare(text, false, "");
        job.Begin(2100, 2970);
        NullSurface surface;
        for (int page = 1; page <= pages; ++page)
            job.PrintPage(surface, page, text);
        job.End();
        frame().updateCommandStates();
    }

    // Opens the error list and clicks entry `row`.
    void clickErrorEntry(int row)
    {
        WhenModal([row](QWidget *dialog) {
            auto *list = dialog->findChild<QListWidget *>();
            QVERIFY(list);
            QVERIFY(row < list->count());
            const QRect rect = list->visualItemRect(list->item(row));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        });
        view().checkErrors();
    }

private slots:
    void init()
    {
        QSettings(QStringLiteral("Tirsel Applications"), QStringLiteral("Zentova")).clear();
        m_prompter = new ScriptedPrompter;
    }

    void cleanup()
    {
        delete m_app;
        m_app = nullptr;
        delete m_prompter;
    }

    void startsWithAFileAndTheQuickReference()
    {
        QVERIFY(start({fileWith("s.zent", "position 1 1\r\n")}));
        QVERIFY(frame().isVisible());
        QCOMPARE(frame().windowTitle(), QStringLiteral("s.zent - Zentova"));
        QCOMPARE(view().editorText(), QStringLiteral("position 1 1\n"));
        QVERIFY(frame().quickReference());
        QVERIFY(frame().quickReference()->isVisible());
        QVERIFY(action(ID_QUICK_REF)->isChecked());
        QVERIFY(!m_app->printMode());
    }

    // Unknown switches and a missing file start normally; the missing file is reported.
    // Started only to print it, the program ends after the message.
    void oddCommandLinesStartNormally()
    {
        QVERIFY(start({"/nonsense", "--what", m_dir.filePath("nowhere.zent")}));
        QVERIFY(frame().isVisible());
        QVERIFY(!m_app->printMode());
        QCOMPARE(frame().windowTitle(), QStringLiteral("無題 - Zentova"));
        QCOMPARE(m_prompter->messages.size(), 1);
        QVERIFY(!start({"/p", m_dir.filePath("nowhere.zent")}));
    }

    void paperSwitchesSetThePrinter()
    {
        QVERIFY(start({"/pc", "-l"}));
        const QPrinter &printer = view().printController().printer();
        const QSizeF mm = printer.pageLayout().pageSize().size(QPageSize::Millimeter);
        QCOMPARE(qRound(mm.width()), 100);
        QCOMPARE(qRound(mm.height()), 148);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    }

    void previewSwitchOpensThePreview()
    {
        bool previewed = false;
        WhenModal([&previewed](QWidget *dialog) {
            previewed = qobject_cast<QPrintPreviewDialog *>(dialog) != nullptr;
            dialog->close();
        });
        QVERIFY(start({"-pv", fileWith("pv.zent", "position 10 10\r\n:.preview\r\n*\r\n")}));
        QTRY_VERIFY(previewed);
    }

    void printModeShowsThePrintDialogAndCloses()
    {
        SettingsStore().setWindowSize(700, 500);
        QString shown;
        WhenModal([&shown](QWidget *dialog) {
            shown = QString::fromLatin1(dialog->metaObject()->className());
            dialog->close();
        });
        QVERIFY(start({"/p", fileWith("print.zent", "position 1 1\r\n")}));
        QVERIFY(m_app->printMode());
        QTRY_VERIFY(!frame().isVisible());
        QCOMPARE(shown, QStringLiteral("QPrintDialog"));
        QCOMPARE(SettingsStore().windowWidth(), 700);
        QCOMPARE(SettingsStore().windowHeight(), 500);
    }

    void windowSizeIsStoredOnClose()
    {
        QVERIFY(start());
        frame().showNormal();
        frame().resize(640, 480);
        QVERIFY(frame().close());
        SettingsStore stored;
        QCOMPARE(stored.windowWidth(), 640);
        QCOMPARE(stored.windowHeight(), 480);

        QVERIFY(start());
        QCOMPARE(frame().size(), QSize(640, 480));
        frame().showMaximized();
        QVERIFY(frame().close());
        QCOMPARE(SettingsStore().windowWidth(), -1);
        QCOMPARE(SettingsStore().windowHeight(), -1);

        QVERIFY(start());
        QVERIFY(frame().isMaximized());
        frame().showMinimized();
        QVERIFY(frame().close());
        QCOMPARE(SettingsStore().windowWidth(), -1);
    }

    void fileOpenRemembersTheFolderEvenWhenOpeningFails()
    {
        QVERIFY(start());
        QDir(m_dir.path()).mkdir("forms");
        const QString missing = m_dir.filePath("forms/missing.zent");
        m_prompter->openFileAnswers << missing;
        m_app->fileOpen();
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(SettingsStore().zentPath(), m_dir.filePath("forms") + QLatin1Char('/'));
        m_app->fileOpen();
        QCOMPARE(m_prompter->openFolders.last(), m_dir.filePath("forms") + QLatin1Char('/'));
    }

    void droppedFilesAreOpenedInTurn()
    {
        QVERIFY(start());
        const QString first = fileWith("d1.zent", "one\r\n");
        const QString second = fileWith("d2.zent", "two\r\n");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&frame(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame(), &drop);
        QCOMPARE(m_app->document().pathName(), second);
        QCOMPARE(view().editorText(), QStringLiteral("two\n"));
    }

    void helpWithoutTheManualNamesThePath()
    {
        QVERIFY(start());
        if (QFileInfo::exists(CHelpWindow::ManualPath()))
            QSKIP("a manual lies beside the test program");
        frame().showHelp();
        QCOMPARE(m_prompter->messages,
                 QStringList{QStringLiteral("Not Exist Html Help File\n\n   File Path [ %1 ]")
                                 .arg(CHelpWindow::ManualPath())});
    }

    void quickReferenceTogglesWithItsCheckMark()
    {
        QVERIFY(start());
        QVERIFY(frame().quickReference());
        action(ID_QUICK_REF)->trigger();
        QTRY_VERIFY(!frame().quickReference());
        QVERIFY(!action(ID_QUICK_REF)->isChecked());
        action(ID_QUICK_REF)->trigger();
        QVERIFY(frame().quickReference());
        QVERIFY(action(ID_QUICK_REF)->isChecked());
        // Its own close button tells the frame too.
        frame().quickReference()->reject();
        QTRY_VERIFY(!frame().quickReference());
        QVERIFY(!action(ID_QUICK_REF)->isChecked());
    }

    void quickReferencePasteIsOneUndoStep()
    {
        QVERIFY(start());
        view().setEditorText(QStringLiteral("abc\ndef"));
        QTextCursor cursor = view().textCursor();
        cursor.setPosition(4);
        cursor.setPosition(7, QTextCursor::KeepAnchor);
        view().setTextCursor(cursor);

        CQuickRefDlg *reference = frame().quickReference();
        QPlainTextEdit *text = reference->referenceView();
        const QString entry = QStringLiteral("lwidth [幅]");
        const qsizetype at = text->toPlainText().indexOf(entry);
        QVERIFY(at >= 0);
        QTextCursor selection = text->textCursor();
        selection.setPosition(static_cast<int>(at));
        selection.setPosition(static_cast<int>(at + entry.size()), QTextCursor::KeepAnchor);
        text->setTextCursor(selection);
        QPushButton *paste = nullptr;
        for (QPushButton *button : reference->findChildren<QPushButton *>())
            if (button->text() == QStringLiteral("選択部分を貼り付け"))
                paste = button;
        QVERIFY(paste);
        QTest::mouseClick(paste, Qt::LeftButton);

        QCOMPARE(view().editorText(), QStringLiteral("abc\nlwidth [幅]"));
        QTRY_COMPARE(QApplication::focusWidget(), &view());
        view().undo();
        QCOMPARE(view().editorText(), QStringLiteral("abc\ndef"));
    }

    void errorListSelectsTheLineOfTheChosenError()
    {
        QVERIFY(start());
        QStringList lines;
        for (int i = 1; i <= 14; ++i)
            lines << QStringLiteral("# line %1").arg(i);
        lines[2] = QStringLiteral("zzz third");
        lines[11] = QStringLiteral("qqq twelfth");
        view().setEditorText(lines.join(QLatin1Char('\n')));
        QVERIFY(!action(ID_ERROR_CHECK)->isEnabled());
        runJob();
        QVERIFY(action(ID_ERROR_CHECK)->isEnabled());

        clickErrorEntry(2); // the second error's first line
        QCOMPARE(view().textCursor().selectedText(), QStringLiteral("qqq twelfth"));
        clickErrorEntry(1); // the first error's message line
        QCOMPARE(view().textCursor().selectedText(), QStringLiteral("zzz third"));
        clickErrorEntry(3);
        QCOMPARE(view().textCursor().selectedText(), QStringLiteral("qqq twelfth"));
    }

    void adjustmentIsStoredOnOkOnly()
    {
        QVERIFY(start());
        WhenModal([](QWidget *dialog) {
            auto *adjust = qobject_cast<CAdjustDlg *>(dialog);
            QVERIFY(adjust);
            adjust->horizontalSlider()->setValue(-40);
            adjust->verticalSlider()->setValue(-7);
            adjust->accept();
        });
        action(ID_ADJUST)->trigger();
        QCOMPARE(m_app->settings().adjustX(), -40);
        QCOMPARE(m_app->settings().adjustY(), -7);
        QCOMPARE(view().state().profile->ReadInt("adjustX", 0), -40);

        WhenModal([](QWidget *dialog) {
            auto *adjust = qobject_cast<CAdjustDlg *>(dialog);
            QVERIFY(adjust);
            adjust->horizontalSlider()->setValue(-100);
            adjust->reject();
        });
        action(ID_ADJUST)->trigger();
        QCOMPARE(m_app->settings().adjustX(), -40);
    }
};

ZENTOVA_APP_TEST(FrameTest);
#include "frame_test.moc"
