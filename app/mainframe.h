// The main window: menus, tool bar, status bar around the editor view, and the commands
// that belong to the window (adjustment, quick reference, help).
#pragma once

#include <QMainWindow>
#include <QPointer>

class CHelpWindow;
class CQuickRefDlg;
class CZentovaDoc;
class CZentovaView;
class CommandTable;
class LivePreviewPane;
class Prompter;
class QAction;
class QMenu;
class QLabel;
class QSplitter;
class QToolBar;
class SettingsStore;

// One main window holds the one editor view for the whole run. Its caption shows the
// document's title before the program's name. Closing it asks to save unsaved edits and
// stores its size (-1 × -1 when maximized) unless the program runs only to print a file
// (`printMode`), when the window is never shown.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CZentovaDoc &document, SettingsStore &settings, Prompter &prompter,
               bool printMode);
    ~CMainFrame() override;
    Q_DISABLE_COPY(CMainFrame)

    CZentovaView &view() const { return *m_view; }
    LivePreviewPane &livePreview() const { return *m_livePreview; }
    CommandTable &commands() const { return *m_commands; }
    QToolBar *toolBar() const { return m_toolBar; }
    CQuickRefDlg *quickReference() const;
    CHelpWindow *helpWindow() const;

    // Shows the window as the stored size says: maximized after a maximized close, at
    // the stored size otherwise. In print mode it stays hidden, centred on the screen, so
    // that the print dialog appears there.
    void showAsStored();

    // Opens the quick reference 30 pixels inside the window's bottom-right corner, or
    // closes it when it is open. Opened before the window manager has placed the two
    // windows (at start-up), it is placed again as they appear.
    void toggleQuickReference();
    // Shows or hides the live preview beside the editor; remembered at the window's close.
    void setLivePreviewShown(bool shown);
    // The print-position adjustment dialog; OK stores its values.
    void adjustPrintPosition();
    // The manual in the help window, or a message when it is missing.
    void showHelp();

    // Enables the commands that depend on the document and the view.
    void updateCommandStates();
    // Lists the recent files in the File menu ("&1 path" ...), or the greyed
    // placeholder when there are none. Runs whenever the menu opens.
    void updateRecentFileMenu();
    QList<QAction *> recentFileActions() const { return m_recentActions; }

signals:
    // Files dropped on the window, in order.
    void filesDropped(const QStringList &paths);
    // An entry of the recent-file list was chosen.
    void recentFileChosen(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void connectCommands();
    void updateCaption(const QString &title);
    void storeSize();
    void placeQuickReference();
    void showIdleMessage();
    void placeLivePreview();

    CZentovaDoc &m_document;
    SettingsStore &m_settings;
    Prompter &m_prompter;
    const bool m_printMode;
    CommandTable *m_commands;
    CZentovaView *m_view;
    QSplitter *m_split;
    LivePreviewPane *m_livePreview;
    QToolBar *m_toolBar = nullptr;
    QMenu *m_fileMenu = nullptr;
    QList<QAction *> m_recentActions;
    QLabel *m_mergeStatus = nullptr; // the data file of merge printing and its records
    QPointer<CQuickRefDlg> m_quickRef; // null while the quick reference is closed
    bool m_placementPending = false;   // the reference waits for the windows to appear
    QPointer<CHelpWindow> m_help;
};
