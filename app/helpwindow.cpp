// The help window over QTextBrowser.
#include "helpwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    setWindowTitle(QStringLiteral("Zentova ﾍﾙﾌﾟ"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    // Links to other sites open in the desktop's browser, not inside the manual.
    m_browser->setOpenExternalLinks(true);
    resize(720, 640);
}

QString CHelpWindow::ManualPath()
{
    // applicationDirPath() is the folder of /proc/self/exe: links already resolved.
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("manual/index.html"));
}

void CHelpWindow::showPage(const QString &path)
{
    m_browser->setSource(QUrl::fromLocalFile(path));
    show();
    raise();
    activateWindow();
}
