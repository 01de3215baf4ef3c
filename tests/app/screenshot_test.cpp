// The main window on a real X server (Xvfb): a command file open, the quick reference
// beside it. Checks the window's structure and that the screen shows it, and leaves the
// screenshot in ZENTOVA_SCREENSHOT_DIR for people to look at.
#include "mainframe.h"
#include "prompter.h"
#include "quickrefdialog.h"
#include "settingsstore.h"
#include "zentovaapp.h"
#include "zentovaview.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <set>

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

} // namespace

class ScreenshotTest : public QObject {
    Q_OBJECT

private slots:
    void mainWindowWithQuickReference()
    {
        SettingsStore().setWindowSize(1000, 720);
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
        const QRect main = frame.frameGeometry();
        const QRect reference = frame.quickReference()->frameGeometry();
        QCOMPARE(reference.bottomRight(), main.bottomRight() - QPoint(30, 30));

        // The screen as a person would see it.
        const QString folder = qEnvironmentVariable("ZENTOVA_SCREENSHOT_DIR", QDir::tempPath());
        QDir().mkpath(folder);
        const QString shot = QDir(folder).filePath(QStringLiteral("main-window.png"));
        QFile::remove(shot);
        QProcess import;
        import.start(QStringLiteral("import"),
                     {QStringLiteral("-window"), QStringLiteral("root"), shot});
        QVERIFY(import.waitForFinished(30000));
        QCOMPARE(import.exitCode(), 0);
        QImage image(shot);
        QVERIFY2(!image.isNull(), qPrintable(shot));
        qInfo("screenshot: %s", qPrintable(shot));

        // Not blank: the editor's text, the tool bar's icons and the reference's text
        // each show many colours (antialiased glyphs, icons).
        const QRect editor(frame.view().mapToGlobal(QPoint(0, 0)), frame.view().size());
        QVERIFY2(colours(image, editor) >= 16, "the editor shows no text");
        const QRect tools(frame.toolBar()->mapToGlobal(QPoint(0, 0)), frame.toolBar()->size());
        QVERIFY2(colours(image, tools) >= 8, "the tool bar shows no icons");
        QVERIFY2(colours(image, reference) >= 16, "the quick reference shows no text");
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
