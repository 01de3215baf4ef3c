// zentova-print: renders, checks or traces a Zentova command file without a window.
#include "options.h"
#include "render.h"
#include "watch.h"

#include <QGuiApplication>

#include <iostream>

namespace {

// Qt's own notes (a missing runtime folder, font fallbacks) are not for the users of a
// command-line tool: standard error carries the error list and our messages only.
void quietQtMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << "zentova-print: " << message.toStdString() << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    Options options;
    const std::string error = ParseOptions(args, options);
    if (!error.empty()) {
        std::cerr << "zentova-print: " << error << "\nTry 'zentova-print --help'.\n";
        return 2;
    }
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (options.version) {
        std::cout << "zentova-print " ZENTOVA_VERSION "\n";
        return 0;
    }
    // Fonts and painting need a GUI application object, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQtMessages);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    return options.watch ? WatchCommandFile(options) : RenderCommandFile(options);
}
