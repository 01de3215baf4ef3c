// Time from the preview command to the first page of examples/ruled-form.zent painted in
// the preview window: the first preview of a run (fonts not yet loaded) and later ones;
// the time per keystroke typed into a 10,000-line command file; and how soon Cancel in the
// progress dialog ends a page that would run for hours. Prints its figures; the offscreen
// platform is used unless another is set.
#include "printcontroller.h"
#include "prompter.h"
#include "settingsstore.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QPrintPreviewDialog>
#include <QProgressDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Notes when the preview's page view has painted and closes the preview right after.
class FirstPaint : public QObject {
public:
    QElapsedTimer clock;
    qint64 paintedAt = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || paintedAt >= 0)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        auto *pageView = widget ? qobject_cast<QGraphicsView *>(widget->parentWidget()) : nullptr;
        auto *dialog = widget ? qobject_cast<QPrintPreviewDialog *>(widget->window()) : nullptr;
        if (!pageView || !dialog || pageView->viewport() != widget)
            return false;
        // Runs once the paint event has been handled.
        QTimer::singleShot(0, dialog, [this, dialog]() {
            paintedAt = clock.nsecsElapsed();
            dialog->close();
        });
        return false;
    }
};

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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configHome;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configHome.path());
    QApplication application(argc, argv);

    MessageBoxPrompter prompter;
    SettingsStore settings;
    CZentovaDoc doc(prompter);
    CZentovaView view(doc, settings, prompter);
    doc.newDocument();
    const QString file = QStringLiteral(ZENTOVA_EXAMPLES_DIR "/ruled-form.zent");
    if (!doc.openDocument(file))
        return 1;
    view.resize(1000, 800);
    view.show();
    // The printer settings exist from start-up on, as in the program.
    view.printController().printer();
    QApplication::processEvents();

    FirstPaint probe;
    application.installEventFilter(&probe);
    std::vector<double> times;
    for (int run = 0; run < 10; ++run) {
        probe.paintedAt = -1;
        probe.clock.start();
        view.printPreview();
        if (probe.paintedAt < 0) {
            std::printf("the preview closed before its page was painted\n");
            return 1;
        }
        times.push_back(probe.paintedAt / 1e6);
    }
    std::printf("preview of ruled-form.zent, command to first page painted (%s platform):\n",
                qPrintable(QGuiApplication::platformName()));
    std::printf("  first preview of the run: %.1f ms\n", times.front());
    std::vector<double> later(times.begin() + 1, times.end());
    std::sort(later.begin(), later.end());
    std::printf("  later previews (%zu): min %.1f ms, median %.1f ms, max %.1f ms\n",
                later.size(), later.front(), later[later.size() / 2], later.back());

    // Typing into a long file: each key goes through the editor and the modified mark.
    QStringList lines;
    for (int i = 0; i < 10000; ++i)
        lines << QStringLiteral("position %1 %2").arg(i % 2000).arg(i * 7 % 2900);
    view.setEditorText(lines.join(QLatin1Char('\n')));
    view.moveCursor(QTextCursor::Start);
    for (int i = 0; i < 5000; ++i)
        view.moveCursor(QTextCursor::Down);
    QApplication::processEvents();
    constexpr int kKeys = 200;
    QElapsedTimer typing;
    typing.start();
    for (int i = 0; i < kKeys; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&view, &press);
        QApplication::sendEvent(&view, &release);
        QApplication::processEvents();
    }
    std::printf("typing in the middle of a 10,000-line file: %.3f ms per key (%d keys)\n",
                typing.nsecsElapsed() / 1e6 / kKeys, kKeys);

    // Pages that never end: a text repeated two billion times, and a repeat of 500 around
    // calls nested seven deep.
    application.removeEventFilter(&probe);
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
    return 0;
}
