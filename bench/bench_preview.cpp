// The desktop program with long files and short ones: opening the generated 3,000-page
// form, typing in it, its first preview page, turning pages, and the peak memory of all
// that; typing in a line of a million characters and opening a file of one 10 MB line;
// the first page of examples/ruled-form.zent painted in the preview; typing into a
// 10,000-line file; how soon Cancel in the progress dialog ends a page that would run for
// hours. The live preview beside the editor: keystroke to updated pane for
// examples/ruled-form.zent and for a 100-page form with the caret on page 60, single keys
// and the last key of a burst; typing with the pane open in a 10,000-line file, also when
// every line is faulty and marked. Prints its figures (wall clock and the process's CPU
// time, since the machine may be shared); the offscreen platform is used unless another
// is set.
// With --large, last, a 50 MB form and a file of 500,000 page lines: open, first and last
// preview page, peak memory.
//     bench_preview [PAGES] [--large]      (the form's pages, 3,000 when not given)
//     bench_preview --live                 (the live preview's figures only)
#include "formgen.h"
#include "errormarks.h"
#include "livepreviewpane.h"
#include "markpageview.h"
#include "pageview.h"
#include "previewdialog.h"
#include "printcontroller.h"
#include "prompter.h"
#include "settingsstore.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// CPU time of the calling thread: the editor's, without the live preview's thread.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The process's peak resident memory so far, in MB.
double peakMb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    return -1;
}

// Wall clock and CPU time of one step.
struct Span {
    QElapsedTimer wall;
    double cpu = cpuMs();
    Span() { wall.start(); }
    void print(const char *what) const
    {
        std::printf("  %-44s %8.1f ms  (CPU %.1f ms)\n", what, wall.nsecsElapsed() / 1e6,
                    cpuMs() - cpu);
    }
};

void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// Milliseconds a key of the editor's thread: `keys` presses of "a" at the caret, each
// handled and painted.
double typing(CZentovaView &view, int keys)
{
    settle();
    const double start = threadCpuMs();
    const double process = cpuMs();
    QElapsedTimer wall;
    wall.start();
    for (int i = 0; i < keys; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&view, &press);
        QApplication::sendEvent(&view, &release);
        QApplication::processEvents();
    }
    std::printf("    wall %.3f ms a key, the process's CPU %.3f ms a key\n",
                wall.nsecsElapsed() / 1e6 / keys, (cpuMs() - process) / keys);
    return (threadCpuMs() - start) / keys;
}

void caretAt(CZentovaView &view, double fraction)
{
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(static_cast<int>((view.document()->characterCount() - 1) * fraction));
    view.setTextCursor(cursor);
    view.ensureCursorVisible();
}

// Runs `inPreview` on the preview dialog once its first page has been painted, then closes
// the preview. Gives the milliseconds from the preview command to that paint, -1 when
// none came.
class PreviewProbe : public QObject {
public:
    double firstPage(CZentovaView &view, std::function<void(PreviewDialog &)> inPreview = {})
    {
        m_inPreview = std::move(inPreview);
        m_paintedAt = -1;
        m_clock.start();
        QApplication::instance()->installEventFilter(this);
        view.printPreview();
        QApplication::instance()->removeEventFilter(this);
        return m_paintedAt;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || m_paintedAt >= 0)
            return false;
        auto *pageView = qobject_cast<PageView *>(watched->parent());
        auto *dialog = pageView ? qobject_cast<PreviewDialog *>(pageView->window()) : nullptr;
        if (!dialog || pageView->viewport() != watched || !pageView->showsPage())
            return false;
        // Runs once the paint event has been handled.
        QTimer::singleShot(0, dialog, [this, dialog]() {
            m_paintedAt = m_clock.nsecsElapsed() / 1e6;
            if (m_inPreview)
                m_inPreview(*dialog);
            dialog->close();
        });
        return false;
    }

private:
    QElapsedTimer m_clock;
    double m_paintedAt = -1;
    std::function<void(PreviewDialog &)> m_inPreview;
};

// Turns to each of `pages` and waits until it is shown; prints the time a page.
void turnPages(PreviewDialog &dialog, const std::vector<int> &pages)
{
    PageView &view = *dialog.pageView();
    Span span;
    for (int page : pages) {
        view.setCurrentPage(page);
        while (!view.showsPage())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    char what[64];
    std::snprintf(what, sizeof what, "%zu pages turned to, each shown (all)", pages.size());
    span.print(what);
    std::printf("  page images kept: %d, %.1f MB\n", dialog.images().count(),
                dialog.images().bytes() / 1048576.0);
}

// The editor and the live preview pane side by side, as the main window shows them.
class LiveWindow : public QObject {
public:
    LiveWindow(CZentovaDoc &doc, SettingsStore &settings, Prompter &prompter)
        : view(new CZentovaView(doc, settings, prompter)), pane(new LivePreviewPane(*view))
    {
        auto *layout = new QHBoxLayout(&window);
        layout->addWidget(view);
        layout->addWidget(pane);
        window.resize(1400, 900);
        view->printController().printer();
        pane->pageView()->viewport()->installEventFilter(this);
    }

    // Waits until the pane has painted a new rendering that is current; false after 60 s.
    bool waitForPane()
    {
        QElapsedTimer limit;
        limit.start();
        m_rendered = m_painted = false;
        while (!(m_painted && !pane->busy()) && limit.elapsed() < 60000) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            if (m_rendered && !m_painted)
                pane->pageView()->viewport()->update();
        }
        return m_painted;
    }

    void press(int key, const QString &text)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(view, &press);
        QApplication::sendEvent(view, &release);
    }

    QWidget window;
    CZentovaView *view;
    LivePreviewPane *pane;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_rendered)
            m_painted = true;
        return false;
    }

private:
    bool m_rendered = false;
    bool m_painted = false;
    QMetaObject::Connection m_connection =
        QObject::connect(pane, &LivePreviewPane::rendered, [this]() { m_rendered = true; });
};

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const std::size_t i = std::min(values.size() - 1, static_cast<std::size_t>(p * values.size()));
    return values[i];
}

// Keystroke to updated pane: `keys` single keys, each after a quiet moment (a digit typed,
// then taken back), and `bursts` bursts of five keys 40 ms apart, timed from their last
// key. The caret stays where `caretAt` put it.
void keystrokeToPane(LiveWindow &live, const char *what, int keys, int bursts)
{
    std::vector<double> single, burst;
    for (int i = 0; i < keys + bursts; ++i) {
        QTest::qWait(LivePreviewPane::kPauseMs + 150);
        const bool isBurst = i >= keys;
        if (isBurst)
            for (int k = 0; k < 4; ++k) {
                live.press(k % 2 ? Qt::Key_Backspace : Qt::Key_1, k % 2 ? QString() : "1");
                QTest::qWait(40);
            }
        QElapsedTimer clock;
        clock.start();
        live.press(i % 2 ? Qt::Key_Backspace : Qt::Key_1, i % 2 ? QString() : "1");
        if (!live.waitForPane()) {
            std::printf("  %s: the pane did not come\n", what);
            return;
        }
        (isBurst ? burst : single).push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("  %s, single keys (%zu): median %.1f ms, 95th percentile %.1f ms, max %.1f ms\n",
                what, single.size(), percentile(single, 0.5), percentile(single, 0.95),
                percentile(single, 1.0));
    if (!burst.empty())
        std::printf("  %s, last key of a burst (%zu): median %.1f ms, max %.1f ms "
                    "(the pause is %d ms)\n",
                    what, burst.size(), percentile(burst, 0.5), percentile(burst, 1.0),
                    LivePreviewPane::kPauseMs);
}

bool writeFile(const QString &path, const std::string &bytes)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << bytes;
    return bool(out);
}

// Opens `path`, previews its first and last page; prints the times and the peak memory.
bool openAndPreview(CZentovaDoc &doc, CZentovaView &view, PreviewProbe &probe,
                    const QString &path, const char *what)
{
    std::printf("%s (%.1f MB):\n", what, QFile(path).size() / 1048576.0);
    Span open;
    if (!doc.openDocument(path))
        return false;
    settle();
    open.print("open, until painted");
    const double first = probe.firstPage(view, [](PreviewDialog &dialog) {
        std::printf("  pages: %d\n", dialog.pageView()->pageCount());
        turnPages(dialog, {dialog.pageView()->pageCount()});
    });
    std::printf("  preview command to first page painted: %.1f ms\n", first);
    std::printf("  peak memory so far: %.0f MB\n", peakMb());
    return true;
}

// Previews `text` and presses Cancel in the progress dialog once it shows. Gives the
// milliseconds from the press to the end of the job (the progress dialog goes) and to the
// editor being back (the preview command returns); -1 when no progress dialog came.
void cancelLatency(CZentovaView &view, const char *what, const QString &text)
{
    view.setEditorText(text);
    QElapsedTimer sinceCancel;
    double jobEnded = -1;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&]() {
        auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        if (progress && !sinceCancel.isValid()) {
            QObject::connect(progress, &QObject::destroyed,
                             [&]() { jobEnded = sinceCancel.nsecsElapsed() / 1e6; });
            progress->cancel();
            sinceCancel.start();
        }
    });
    poll.start();
    view.printPreview();
    const double back = sinceCancel.isValid() ? sinceCancel.nsecsElapsed() / 1e6 : -1;
    std::printf("  %s: job ended %.1f ms, editor back %.1f ms after Cancel\n", what, jobEnded,
                back);
}

} // namespace

int main(int argc, char *argv[])
{
    // The offscreen platform cannot size windows to their contents, and says so for every
    // dialog.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (!text.contains(QStringLiteral("propagateSizeHints")))
            std::fprintf(stderr, "%s%s\n", type == QtDebugMsg ? "" : "qt: ", qPrintable(text));
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configHome;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configHome.path());
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const bool large = arguments.contains(QStringLiteral("--large"));
    const bool liveOnly = arguments.contains(QStringLiteral("--live"));
    int pages = 3000;
    for (const QString &argument : arguments.mid(1))
        if (argument.toInt() > 0)
            pages = argument.toInt();

    MessageBoxPrompter prompter;
    SettingsStore settings;
    CZentovaDoc doc(prompter);
    CZentovaView view(doc, settings, prompter);
    doc.newDocument();
    view.resize(1000, 800);
    view.show();
    // The printer settings exist from start-up on, as in the program.
    view.printController().printer();
    settle();
    PreviewProbe probe;

    QTemporaryDir files;
    // The generated form: open, type, preview.
    if (!liveOnly) {
        const QString form = files.filePath(QStringLiteral("form.zent"));
        if (!writeFile(form, formgen::CommandText(pages)))
            return 1;
        std::printf("%d-page form (%.1f MB), %s platform, peak memory %.0f MB before it:\n", pages,
                    QFile(form).size() / 1048576.0, qPrintable(QGuiApplication::platformName()),
                    peakMb());
        {
            Span open;
            if (!doc.openDocument(form))
                return 1;
            settle();
            open.print("open, until painted");
        }
        caretAt(view, 0.5);
        std::printf("  typing in the middle: %.3f ms a key (CPU)\n", typing(view, 200));
        caretAt(view, 0);
        std::printf("  typing in the first line: %.3f ms a key (CPU)\n", typing(view, 100));
        const double first = probe.firstPage(view, [pages](PreviewDialog &dialog) {
            turnPages(dialog, {2, 3, 4, pages / 2, pages / 2 + 1, pages, 1});
            std::vector<int> many;
            for (int page = 10; page < std::min(pages, 110); ++page)
                many.push_back(page);
            turnPages(dialog, many);
            dialog.pageView()->setFit(PageView::Fit::PageWidth);
            turnPages(dialog, {pages / 3});
        });
        std::printf("  preview command to first page painted: %.1f ms\n", first);
        std::printf("  peak memory with the form: %.0f MB\n", peakMb());

        // A line of a million characters amid short lines; a file of one 10 MB line.
        std::printf("long lines:\n");
        view.setEditorText(QStringLiteral("position 100 100\n:") + QString(1000000, QChar(u'x')) +
                           QStringLiteral("\n*\n"));
        caretAt(view, 0.5);
        std::printf("  typing in the middle of a 1,000,000-character line: %.3f ms a key (CPU)\n",
                    typing(view, 100));
        const QString oneLine = files.filePath(QStringLiteral("one-line.zent"));
        if (!writeFile(oneLine, ":" + std::string(10 * 1024 * 1024, 'y')))
            return 1;
        {
            Span open;
            if (!doc.openDocument(oneLine))
                return 1;
            settle();
            open.print("open a file of one 10 MB line");
        }
        caretAt(view, 0.5);
        std::printf("  typing in it: %.3f ms a key (CPU)\n", typing(view, 100));
        std::printf("  its preview, command to first page painted: %.1f ms\n",
                    probe.firstPage(view));

        // The example form: previews from a fresh start and later ones.
        if (!doc.openDocument(QStringLiteral(ZENTOVA_EXAMPLES_DIR "/ruled-form.zent")))
            return 1;
        std::vector<double> times;
        for (int run = 0; run < 10; ++run) {
            times.push_back(probe.firstPage(view));
            if (times.back() < 0) {
                std::printf("the preview closed before its page was painted\n");
                return 1;
            }
        }
        std::printf("preview of ruled-form.zent, command to first page painted:\n");
        std::printf("  first preview: %.1f ms\n", times.front());
        std::vector<double> later(times.begin() + 1, times.end());
        std::sort(later.begin(), later.end());
        std::printf("  later previews (%zu): min %.1f ms, median %.1f ms, max %.1f ms\n",
                    later.size(), later.front(), later[later.size() / 2], later.back());

    }

    // Typing into a long file: each key goes through the editor and the modified mark.
    QStringList lines;
    for (int i = 0; i < 10000; ++i)
        lines << QStringLiteral("position %1 %2").arg(i % 2000).arg(i * 7 % 2900);
    view.setEditorText(lines.join(QLatin1Char('\n')));
    caretAt(view, 0.5);
    std::printf("typing in the middle of a 10,000-line file: %.3f ms a key (CPU)\n",
                typing(view, 200));

    // The live preview beside the editor.
    std::printf("live preview beside the editor (%s):\n", qPrintable(QGuiApplication::platformName()));
    {
        LiveWindow live(doc, settings, prompter);
        view.hide();
        live.window.show();
        if (!doc.openDocument(QStringLiteral(ZENTOVA_EXAMPLES_DIR "/ruled-form.zent")))
            return 1;
        live.waitForPane();
        QTextCursor cursor = live.view->textCursor();
        cursor.setPosition(live.view->document()->find(QStringLiteral("position 1050 120")).position());
        live.view->setTextCursor(cursor);
        keystrokeToPane(live, "ruled-form.zent", 40, 10);

        const QString form100 = files.filePath(QStringLiteral("form100.zent"));
        if (!writeFile(form100, formgen::CommandText(100)) || !doc.openDocument(form100))
            return 1;
        live.waitForPane();
        QTextCursor onPage60(live.view->document());
        for (int pageLine = 0; pageLine < 59; ++pageLine)
            onPage60 = live.view->document()->find(QStringLiteral("page"), onPage60);
        onPage60 = live.view->document()->find(QStringLiteral("position"), onPage60);
        onPage60.movePosition(QTextCursor::EndOfWord);
        live.view->setTextCursor(onPage60);
        live.waitForPane();
        std::printf("  100-page form, caret on page %d of %d\n",
                    live.pane->pageView()->currentPage(), live.pane->pageView()->pageCount());
        keystrokeToPane(live, "100-page form", 40, 10);

        live.view->setEditorText(lines.join(QLatin1Char('\n')));
        live.waitForPane();
        caretAt(*live.view, 0.5);
        std::printf("  typing in the middle of a 10,000-line file, pane open: %.3f ms a key (CPU)\n",
                    typing(*live.view, 200));
        QStringList faulty;
        for (int i = 0; i < 10000; ++i)
            faulty << QStringLiteral("potision %1 %2").arg(i % 2000).arg(i * 7 % 2900);
        Span marking;
        live.view->setEditorText(faulty.join(QLatin1Char('\n')));
        live.waitForPane();
        marking.print("10,000 faulty lines: text to pane and marks");
        std::printf("  error marks: %d\n", live.view->errorMarks().count());
        caretAt(*live.view, 0.5);
        std::printf("  typing in them, pane open: %.3f ms a key (CPU)\n", typing(*live.view, 200));
        live.window.hide();
        view.show();
    }
    doc.attachView(&view);
    if (liveOnly)
        return 0;

    // Pages that never end: a text repeated two billion times, and a repeat of 500 around
    // calls nested seven deep.
    QTemporaryDir calls;
    for (int i = 1; i <= 7; ++i) {
        QFile level(calls.filePath(QStringLiteral("level%1.zent").arg(i)));
        if (!level.open(QIODevice::WriteOnly))
            return 1;
        level.write(QStringLiteral("repeat 1 500\r\n<%1/level%2.zent\r\n")
                        .arg(calls.path()).arg(i + 1).toUtf8());
    }
    QFile last(calls.filePath(QStringLiteral("level8.zent")));
    if (!last.open(QIODevice::WriteOnly))
        return 1;
    last.write("line 0 0 10 10\r\n");
    last.close();
    std::printf("cancel in the progress dialog to the end of the job:\n");
    cancelLatency(view, "* 10 10 2000000000", QStringLiteral(":.x\n* 10 10 2000000000\n"));
    cancelLatency(view, "repeat 500 around calls nested seven deep",
                  QStringLiteral("<%1/level1.zent\n").arg(calls.path()));
    if (!large)
        return 0;

    // Files far beyond the ordinary: 50 MB of form, half a million page lines.
    const QString huge = files.filePath(QStringLiteral("huge.zent"));
    std::string pageLines;
    for (int i = 0; i < 500000; ++i)
        pageLines += "page\r\n";
    const QString manyPages = files.filePath(QStringLiteral("pages.zent"));
    if (!writeFile(huge, formgen::CommandText(13200)) || !writeFile(manyPages, pageLines) ||
        !openAndPreview(doc, view, probe, manyPages, "500,000 page lines") ||
        !openAndPreview(doc, view, probe, huge, "13,200-page form"))
        return 1;
    return 0;
}
