// The help window: the HTML manual shipped beside the program.
#pragma once

#include <QWidget>

class QTextBrowser;

// A window with the manual's pages, their links followed inside it. One window serves
// every help request of the program.
class CHelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget *parent = nullptr);
    Q_DISABLE_COPY(CHelpWindow)

    // The manual's contents page: manual/index.html in the program's folder (the real
    // folder of the executable, where the program is installed).
    static QString ManualPath();

    // Shows the page `path` and brings the window to the front.
    void showPage(const QString &path);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
