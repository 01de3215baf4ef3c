// zentova: the desktop program that edits, previews and prints command files.
#include "prompter.h"
#include "qttranslation.h"
#include "zentovaapp.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentova"));
    QApplication::setOrganizationName(QStringLiteral("Tirsel Applications"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zentova/icons/zentova.png")));
    InstallQtJapanese();

    MessageBoxPrompter prompter;
    CZentovaApp zentova(prompter);
    QObject::connect(&zentova, &CZentovaApp::printRunEnded, &application,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!zentova.start(arguments))
        return 1;
    return application.exec();
}
