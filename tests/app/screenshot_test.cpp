// The main window on a real X server (Xvfb): a command file open, the quick reference
// beside it, the lock indicators; the print preview; the clipboard image dialog and
// the font selection dialog. Checks the windows' structure and that the screen shows
// them, and leaves the screenshots in ZENTOVA_SCREENSHOT_DIR for people to look at.
#include "clipimagedialog.h"
#include "editorblocks.h"
#include "errormarks.h"
#include "fontselectdialog.h"
#include "livepreviewpane.h"
#include "mainframe.h"
#include "markpageview.h"
#include "pageview.h"
#include "previewdialog.h"
#include "prompter.h"
#include "quickrefdialog.h"
#include "settingsstore.h"
#include "zentovaapp.h"
#include "zentovaview.h"

#include "image/clipimage.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <set>

#ifdef ZENTOVA_HAVE_XKB
#include <X11/XKBlib.h>
#endif

namespace {

// Distinct colours in a part of the image, counted up to `enough`.
int colours(const QImage &image, const QRect &area, int enough = 64)
{
    std::set<QRgb> seen;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); y += 2)
        for (int x = r.left(); x <= r.right(); x += 2) {
            seen.insert(image.pixel(x, y));
            if (static_cast<int>(seen.size()) >= enough)
                return enough;
        }
    return static_cast<int>(seen.size());
}

// The whole screen saved as `name` in the screenshot folder, and read back.
QImage screenshot(const QString &name)
{
    const QString folder = qEnvironmentVariable("ZENTOVA_SCREENSHOT_DIR", QDir::tempPath());
    QDir().mkpath(folder);
    const QString shot = QDir(folder).filePath(name);
    QFile::remove(shot);
    QProcess import;
    import.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), shot});
    if (!import.waitForFinished(30000) || import.exitCode() != 0)
        return {};
    qInfo("screenshot: %s", qPrintable(shot));
    return QImage(shot);
}

QRect onScreen(const QWidget *widget)
{
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

} // namespace

class ScreenshotTest : public QObject {
    Q_OBJECT

private slots:
    // The command file in the editor and the quick reference 30 pixels inside the main
    // window's bottom-right corner, at a stored size and maximized, as the window manager
    // (openbox, where installed) placed the two windows.
    void mainWindowWithQuickReference_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<QString>("shot");
        QTest::newRow("stored size") << QSize(1000, 720) << QStringLiteral("main-window.png");
        QTest::newRow("maximized") << QSize(-1, -1) << QStringLiteral("main-window-maximized.png");
    }

    void mainWindowWithQuickReference()
    {
        QFETCH(QSize, stored);
        QFETCH(QString, shot);
        SettingsStore().setWindowSize(stored.width(), stored.height());
        MessageBoxPrompter prompter;
        CZentovaApp app(prompter);
        QVERIFY(app.start({QStringLiteral(ZENTOVA_EXAMPLES_DIR "/ruled-form.zent")}));
        CMainFrame &frame = app.frame();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.quickReference());
        QVERIFY(QTest::qWaitForWindowExposed(frame.quickReference()));
        QTest::qWait(800);

        // The file in the editor, the reference at the main window's lower right corner.
        QVERIFY(frame.toolBar()->isVisible());
        QVERIFY(frame.view().toPlainText().contains(QStringLiteral("作業日報")));
        QCOMPARE(frame.windowTitle(), QStringLiteral("ruled-form.zent - Zentova"));
        QCOMPARE(frame.isMaximized(), stored.width() < 0);
        const QRect main = frame.frameGeometry();
        const QRect reference = frame.quickReference()->frameGeometry();
        QCOMPARE(reference.bottomRight(), main.bottomRight() - QPoint(30, 30));

        // The screen as a person would see it.
        const QImage image = screenshot(shot);
        QVERIFY(!image.isNull());

        // Not blank: the editor's text, the tool bar's icons and the reference's text
        // each show many colours (antialiased glyphs, icons).
        const QRect editor(frame.view().mapToGlobal(QPoint(0, 0)), frame.view().size());
        QVERIFY2(colours(image, editor) >= 16, "the editor shows no text");
        const QRect tools(frame.toolBar()->mapToGlobal(QPoint(0, 0)), frame.toolBar()->size());
        QVERIFY2(colours(image, tools) >= 8, "the tool bar shows no icons");
        QVERIFY2(colours(image, reference) >= 16, "the quick reference shows no text");
    }

    // The live preview beside the editor: the caret's page with the marks of the caret's
    // line outlined, and a faulty line marked in the editor with its message in the status
    // bar.
    void livePreviewBesideTheEditor()
    {
        SettingsStore settings;
        settings.setWindowSize(1200, 860);
        settings.setLivePreview(true, 520);
        MessageBoxPrompter prompter;
        CZentovaApp app(prompter);
        QVERIFY(app.start({QStringLiteral(ZENTOVA_EXAMPLES_DIR "/ruled-form.zent")}));
        CMainFrame &frame = app.frame();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.toggleQuickReference(); // it would stand over the pane
        LivePreviewPane &pane = frame.livePreview();
        QVERIFY(pane.isVisible());
        CZentovaView &view = frame.view();

        // A misspelt command on line 12: marked, its message in the status bar while the
        // caret is on it.
        QTextCursor cursor(view.document());
        cursor.setPosition(editorblocks::LinePosition(*view.document(), 12));
        cursor.insertText(QStringLiteral("lien 150 400 1950 400\n"));
        cursor.setPosition(editorblocks::LinePosition(*view.document(), 12) + 2);
        view.setTextCursor(cursor);
        QTRY_VERIFY_WITH_TIMEOUT(view.errorMarks().count() == 1, 20000);
        QTRY_COMPARE(frame.statusBar()->currentMessage(),
                     QStringLiteral("定義されていないコマンドです"));
        // Then the caret on the line that draws the rows: their marks are outlined.
        const int rows = view.document()->find(QStringLiteral("hline 660")).selectionStart();
        QVERIFY(rows > 0);
        cursor.setPosition(rows);
        view.setTextCursor(cursor);
        QTRY_VERIFY_WITH_TIMEOUT(!pane.busy() && pane.shown() &&
                                     pane.pageView()->outlinedCount() > 10,
                                 20000);
        QTest::qWait(800);

        const QImage image = screenshot(QStringLiteral("live-preview.png"));
        QVERIFY(!image.isNull());
        QVERIFY2(colours(image, onScreen(pane.pageView()->viewport())) >= 16,
                 "the pane shows no page");
        QVERIFY2(colours(image, onScreen(view.viewport())) >= 16, "the editor shows no text");
    }

    // Caps Lock switched on by another program shows in the status bar at once, and goes
    // grey again when it is switched off.
    void lockIndicatorsFollowTheKeyboard()
    {
#ifndef ZENTOVA_HAVE_XKB
        QSKIP("built without the X keyboard extension");
#else
        MessageBoxPrompter prompter;
        CZentovaApp app(prompter);
        QVERIFY(app.start({}));
        QLabel *caps = nullptr;
        for (QLabel *pane : app.frame().statusBar()->findChildren<QLabel *>())
            if (pane->text() == QStringLiteral("CAP"))
                caps = pane;
        QVERIFY(caps);
        QVERIFY(!caps->isEnabled());
        Display *other = XOpenDisplay(nullptr);
        QVERIFY(other);
        XkbLockModifiers(other, XkbUseCoreKbd, LockMask, LockMask);
        XSync(other, False);
        QTRY_VERIFY(caps->isEnabled());
        XkbLockModifiers(other, XkbUseCoreKbd, LockMask, 0);
        XSync(other, False);
        QTRY_VERIFY(!caps->isEnabled());
        XCloseDisplay(other);
#endif
    }

    // The print preview of the example form at page width: the tool bar and the page.
    void printPreview()
    {
        MessageBoxPrompter prompter;
        CZentovaApp app(prompter);
        QVERIFY(app.start({QStringLiteral(ZENTOVA_EXAMPLES_DIR "/ruled-form.zent")}));
        QImage image;
        QRect page, tools;
        QTimer::singleShot(0, &app.frame(), [&]() {
            auto *preview = qobject_cast<PreviewDialog *>(QApplication::activeModalWidget());
            const auto close = qScopeGuard([preview] {
                if (preview)
                    preview->close();
            });
            QVERIFY(preview);
            PageView &pages = *preview->pageView();
            QVERIFY(QTest::qWaitForWindowExposed(preview));
            pages.setFit(PageView::Fit::PageWidth);
            QTRY_VERIFY(pages.showsPage());
            QTest::qWait(500);
            image = screenshot(QStringLiteral("print-preview.png"));
            page = onScreen(pages.viewport());
            tools = onScreen(preview->findChild<QToolBar *>());
        });
        app.frame().view().printPreview();
        QVERIFY(!image.isNull());
        QVERIFY2(colours(image, page) >= 16, "the page shows no marks");
        QVERIFY2(colours(image, tools) >= 8, "the tool bar shows nothing");
    }

    // A screenshot of the main window captured into slot 0 and scrolled a little.
    void clipboardImageDialog()
    {
        ClipImageStore store;
        CClipImageDlg dialog(store, [](const QString &message) { QFAIL(qPrintable(message)); });
        QImage picture(QDir(qEnvironmentVariable("ZENTOVA_SCREENSHOT_DIR", QDir::tempPath()))
                           .filePath(QStringLiteral("main-window.png")));
        if (picture.isNull())
            picture = QImage(QStringLiteral(":/zentova/icons/zentova.png"));
        QVERIFY(!picture.isNull());
        QApplication::clipboard()->setImage(picture);
        dialog.capture();
        dialog.horizontalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        dialog.verticalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::qWait(500);
        QCOMPARE(dialog.tabs()->tabText(0), QStringLiteral("0 *"));
        QCOMPARE(dialog.leftLabel()->text(), QStringLiteral("(%1)").arg(picture.width() - 20));

        const QImage image = screenshot(QStringLiteral("clipboard-image-dialog.png"));
        QVERIFY(!image.isNull());
        QVERIFY2(colours(image, onScreen(dialog.pictureArea())) >= 8, "the picture is not shown");
        QVERIFY2(colours(image, onScreen(dialog.tabs()).adjusted(0, 0, 0, -300)) >= 4,
                 "the tabs are not shown");
    }

    // A face covering Japanese chosen: the Japanese sample in the preview.
    void fontSelectionDialog()
    {
        CFontSelectDlg dialog;
        const QList<QListWidgetItem *> found =
            dialog.faceList()->findItems(QStringLiteral("IPA"), Qt::MatchStartsWith);
        QVERIFY(!found.isEmpty());
        dialog.faceList()->setCurrentItem(found.first());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::qWait(500);
        QCOMPARE(dialog.previewSample(), QStringLiteral("Aaあぁアァ亜宇"));

        const QImage image = screenshot(QStringLiteral("font-selection-dialog.png"));
        QVERIFY(!image.isNull());
        QVERIFY2(colours(image, onScreen(dialog.faceList())) >= 8, "the list shows no names");
        const QRect preview = onScreen(&dialog).adjusted(0, dialog.height() * 2 / 3, 0, 0);
        QVERIFY2(colours(image, preview) >= 8, "the preview shows no sample");
    }
};

int main(int argc, char *argv[])
{
    QTemporaryDir configHome;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configHome.path());
    QApplication application(argc, argv);
    ScreenshotTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "screenshot_test.moc"
