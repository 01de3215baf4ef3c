// The application and its main window: start-up switches, window size, File Open's
// folder, dropped files, help, the quick reference, the error list and the adjustment.
#include "testsupport.h"

#include "adjustdialog.h"
#include "commandtable.h"
#include "helpwindow.h"
#include "livepreviewpane.h"
#include "mainframe.h"
#include "printcontroller.h"
#include "quickrefdialog.h"
#include "settingsstore.h"
#include "zentovaapp.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include <QAction>
#include <QListWidget>
#include <QMimeData>
#include <QPageSize>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <string_view>
#include <tuple>

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
        WriteBytes(m_dir.filePath(name), bytes);
        return m_dir.filePath(name);
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

    // A file named on the command line is opened, the quick reference shown. Unknown
    // switches and a missing file start normally (the file reported); started only to
    // print a missing file, the program ends after the message.
    void startsWithTheFileAndTheQuickReference()
    {
        QVERIFY(start({"/nonsense", fileWith("s.zent", "position 1 1\r\n")}));
        QVERIFY(frame().isVisible());
        QCOMPARE(frame().windowTitle(), QStringLiteral("s.zent - Zentova"));
        QCOMPARE(view().editorText(), QStringLiteral("position 1 1\n"));
        QVERIFY(frame().quickReference() && frame().quickReference()->isVisible());
        QVERIFY(action(ID_QUICK_REF)->isChecked());
        QVERIFY(!m_app->printMode());

        QVERIFY(start({"--what", m_dir.filePath("nowhere.zent")}));
        QVERIFY(frame().isVisible());
        QCOMPARE(frame().windowTitle(), QStringLiteral("無題 - Zentova"));
        QCOMPARE(m_prompter->messages.size(), 1);
        QVERIFY(!start({"/p", m_dir.filePath("nowhere.zent")}));
    }

    void paperSwitchesSetThePrinter()
    {
        QVERIFY(start({"/pc", "-l"}));
        const QPrinter &printer = view().printController().printer();
        const QSizeF mm = printer.pageLayout().pageSize().size(QPageSize::Millimeter);
        QCOMPARE(mm.toSize(), QSize(100, 148));
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    }

    // -pv opens the preview at the main window's size, maximized after a maximized close
    // although the main window is not yet maximized when the preview opens. /p shows the
    // print dialog and no other window, then ends the program without storing the size.
    void previewAndPrintSwitches()
    {
        for (const auto &[option, dialog, stored] :
             {std::tuple{"-pv", "PreviewDialog", -1}, {"-pv", "PreviewDialog", 700},
              {"/p", "QPrintDialog", 700}}) {
            SettingsStore().setWindowSize(stored, stored < 0 ? -1 : 500);
            QString shown;
            QSize size;
            bool maximized = false, others = true;
            WhenModal([&](QWidget *modal) {
                shown = QString::fromLatin1(modal->metaObject()->className());
                size = modal->size();
                maximized = modal->isMaximized();
                others = frame().isVisible() || frame().quickReference();
                modal->close();
            });
            QSignalSpy ended(m_app = new CZentovaApp(*m_prompter), &CZentovaApp::printRunEnded);
            QVERIFY(m_app->start({option, fileWith("p.zent", "position 10 10\r\n:.p\r\n*\r\n")}));
            QTRY_COMPARE(shown, QString::fromLatin1(dialog));
            if (option == std::string_view("-pv")) {
                QCOMPARE(maximized, stored < 0);
                if (stored > 0)
                    QCOMPARE(size, frame().size());
            } else {
                QVERIFY(!others);
                QTRY_COMPARE(ended.count(), 1);
            }
            delete m_app;
            m_app = nullptr;
        }
        QCOMPARE(SettingsStore().windowWidth(), 700);
        QCOMPARE(SettingsStore().windowHeight(), 500);
    }

    // The size is stored on close, -1 for a maximized window; a minimized one stores
    // nothing.
    void windowSizeIsStoredOnClose()
    {
        QVERIFY(start());
        frame().showNormal();
        frame().resize(640, 480);
        QVERIFY(frame().close());
        QCOMPARE(SettingsStore().windowWidth(), 640);
        QCOMPARE(SettingsStore().windowHeight(), 480);

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
        m_prompter->openFileAnswers << m_dir.filePath("forms/missing.zent");
        m_app->fileOpen();
        QCOMPARE(m_prompter->messages.size(), 1);
        const QString folder = m_dir.filePath("forms") + QLatin1Char('/');
        QCOMPARE(SettingsStore().zentPath(), folder);
        m_app->fileOpen();
        QCOMPARE(m_prompter->openFolders.last(), folder);
    }

    void droppedFilesAreOpenedInTurn()
    {
        QVERIFY(start());
        const QString second = fileWith("d2.zent", "two\r\n");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(fileWith("d1.zent", "one\r\n")),
                      QUrl::fromLocalFile(second)});
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
        QCOMPARE(m_prompter->messages.size(), 1);
        QVERIFY(m_prompter->messages.first().contains(CHelpWindow::ManualPath()));
    }

    // At start-up the quick reference is placed once the main window is, 30 pixels inside
    // its bottom-right corner: at a stored size and maximized alike.
    void quickReferenceStartsInsideTheMainWindowsCorner()
    {
        for (int stored : {700, -1}) {
            SettingsStore().setWindowSize(stored, stored < 0 ? -1 : 500);
            QVERIFY(start());
            QVERIFY(QTest::qWaitForWindowExposed(&frame()));
            QVERIFY(QTest::qWaitForWindowExposed(frame().quickReference()));
            QCOMPARE(frame().isMaximized(), stored < 0);
            QTRY_COMPARE(frame().quickReference()->frameGeometry().bottomRight(),
                         frame().frameGeometry().bottomRight() - QPoint(30, 30));
        }
    }

    // Files opened or saved are listed newest first, five at most, and are still listed
    // after a restart. Choosing an entry opens it; an entry whose file has gone is
    // reported and leaves the list.
    void recentFilesOutliveARestart()
    {
        QVERIFY(start());
        frame().updateRecentFileMenu();
        QVERIFY(frame().recentFileActions().isEmpty());
        QVERIFY(action(ID_FILE_MRU_FILE1)->isVisible());
        QVERIFY(!action(ID_FILE_MRU_FILE1)->isEnabled());

        QStringList opened;
        for (int i = 1; i <= 5; ++i) {
            opened << fileWith(QStringLiteral("r%1.zent").arg(i), "x\r\n");
            QVERIFY(m_app->openDocumentFile(opened.last()));
        }
        QVERIFY(m_app->openDocumentFile(opened[1])); // listed again: moves to the top
        const QString saved = m_dir.filePath(QStringLiteral("saved & sound.zent"));
        QVERIFY(m_app->document().saveTo(saved));

        QVERIFY(start());
        frame().updateRecentFileMenu();
        const QStringList expected{saved, opened[1], opened[4], opened[3], opened[2]};
        const QList<QAction *> entries = frame().recentFileActions();
        QCOMPARE(entries.size(), 5);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(entries[i]->text(), QStringLiteral("&%1 %2").arg(i + 1).arg(
                                             QString(expected[i]).replace("&", "&&")));
        QVERIFY(!action(ID_FILE_MRU_FILE1)->isVisible());

        entries[2]->trigger();
        QCOMPARE(m_app->document().pathName(), opened[4]);
        QFile::remove(opened[3]);
        frame().updateRecentFileMenu();
        frame().recentFileActions()[3]->trigger();
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(m_app->document().pathName(), opened[4]);
        QCOMPARE(SettingsStore().recentFiles(),
                 (QStringList{opened[4], saved, opened[1], opened[2]}));
    }

    // The menu command and the window's own close button keep the check mark in step.
    void quickReferenceTogglesWithItsCheckMark()
    {
        QVERIFY(start());
        action(ID_QUICK_REF)->trigger();
        QTRY_VERIFY(!frame().quickReference());
        QVERIFY(!action(ID_QUICK_REF)->isChecked());
        action(ID_QUICK_REF)->trigger();
        QVERIFY(frame().quickReference());
        QVERIFY(action(ID_QUICK_REF)->isChecked());
        frame().quickReference()->reject();
        QTRY_VERIFY(!frame().quickReference());
        QVERIFY(!action(ID_QUICK_REF)->isChecked());
    }

    // The live preview is switched from 表示 and comes back as it was left, with its width;
    // the program started to print never shows it.
    void livePreviewIsRememberedAcrossStarts()
    {
        QVERIFY(start());
        QVERIFY(!frame().livePreview().isVisible());
        frame().resize(1000, 600);
        action(ID_LIVE_PREVIEW)->trigger();
        QVERIFY(frame().livePreview().isVisible());
        QVERIFY(action(ID_LIVE_PREVIEW)->isChecked());
        const int width = frame().livePreview().width();
        QVERIFY(width > 100);
        QVERIFY(frame().close());
        QVERIFY(SettingsStore().livePreviewShown());

        QVERIFY(start());
        QVERIFY(frame().livePreview().isVisible());
        QVERIFY(action(ID_LIVE_PREVIEW)->isChecked());
        QCOMPARE(frame().livePreview().width(), width);
        action(ID_LIVE_PREVIEW)->trigger();
        QVERIFY(!frame().livePreview().isVisible());
        QVERIFY(frame().close());
        QVERIFY(!SettingsStore().livePreviewShown());
        QCOMPARE(SettingsStore().livePreviewWidth(), width);
    }

    // Pasting from the quick reference replaces the editor's selection as one undo step
    // and gives the editor the focus back.
    void quickReferencePasteIsOneUndoStep()
    {
        QVERIFY(start());
        view().setEditorText(QStringLiteral("abc\ndef"));
        QTextCursor cursor = view().textCursor();
        cursor.setPosition(4);
        cursor.setPosition(7, QTextCursor::KeepAnchor);
        view().setTextCursor(cursor);

        CQuickRefDlg *reference = frame().quickReference();
        QVERIFY(reference->referenceView()->find(QStringLiteral("lwidth [幅]")));
        for (QPushButton *button : reference->findChildren<QPushButton *>())
            if (button->text() == QStringLiteral("選択部分を貼り付け"))
                QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(view().editorText(), QStringLiteral("abc\nlwidth [幅]"));
        QTRY_COMPARE(QApplication::focusWidget(), &view());
        view().undo();
        QCOMPARE(view().editorText(), QStringLiteral("abc\ndef"));
    }

    // With errors on lines 3 and 12 listed, either line of an error's entry selects
    // its line of the text.
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
        view().state().errorText.add(3, "zzz third", "message");
        view().state().errorText.add(12, "qqq twelfth", "message");
        frame().updateCommandStates();
        QVERIFY(action(ID_ERROR_CHECK)->isEnabled());

        for (const auto &[row, selected] : {std::pair{2, "qqq twelfth"}, {1, "zzz third"},
                                            {3, "qqq twelfth"}, {0, "zzz third"}}) {
            WhenModal([row = row](QWidget *dialog) {
                auto *list = dialog->findChild<QListWidget *>();
                QVERIFY(list && row < list->count());
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(row)).center());
                dialog->close(); // still open when the click picked nothing
            });
            view().checkErrors();
            QCOMPARE(view().textCursor().selectedText(), QString::fromLatin1(selected));
        }
    }

    // OK stores the adjustment, where the next print job reads it; Cancel stores nothing.
    void adjustmentIsStoredOnOkOnly()
    {
        QVERIFY(start());
        for (bool ok : {true, false}) {
            WhenModal([ok](QWidget *dialog) {
                auto *adjust = qobject_cast<CAdjustDlg *>(dialog);
                QVERIFY(adjust);
                adjust->horizontalSlider()->setValue(ok ? -40 : -100);
                adjust->verticalSlider()->setValue(-7);
                ok ? adjust->accept() : adjust->reject();
            });
            action(ID_ADJUST)->trigger();
            QCOMPARE(m_app->settings().adjustX(), -40);
            QCOMPARE(m_app->settings().adjustY(), -7);
            QCOMPARE(view().state().profile->ReadInt("adjustX", 0), -40);
        }
    }
};

ZENTOVA_APP_TEST(FrameTest);
#include "frame_test.moc"
