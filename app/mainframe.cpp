// The main window.
#include "mainframe.h"

#include "adjustdialog.h"
#include "commandtable.h"
#include "helpwindow.h"
#include "livepreviewpane.h"
#include "lockindicators.h"
#include "mergedata.h"
#include "prompter.h"
#include "quickrefdialog.h"
#include "settingsstore.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QLayout>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <initializer_list>

namespace {

const QString kAppTitle = QStringLiteral("Zentova");
const QString kIdlePrompt = QStringLiteral("ﾚﾃﾞｨ");
constexpr int kSeparator = 0;
constexpr int kQuickRefInset = 30; // pixels between the two windows' bottom-right corners
constexpr int kRecentFileTextWidth = 400; // pixels; longer paths lose their middle

QStringList localFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

} // namespace

CMainFrame::CMainFrame(CZentovaDoc &document, SettingsStore &settings, Prompter &prompter,
                       bool printMode)
    : m_document(document), m_settings(settings), m_prompter(prompter), m_printMode(printMode),
      m_commands(new CommandTable(this)),
      m_view(new CZentovaView(document, settings, prompter, this)),
      m_split(new QSplitter(Qt::Horizontal, this)),
      m_livePreview(new LivePreviewPane(*m_view, m_split))
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/zentova/icons/zentova.png")));
    m_split->addWidget(m_view);
    m_split->addWidget(m_livePreview);
    m_split->setChildrenCollapsible(false);
    m_split->setStretchFactor(0, 3);
    m_split->setStretchFactor(1, 2);
    m_livePreview->hide();
    setCentralWidget(m_split);
    buildMenus();
    buildToolBar();
    buildStatusBar();
    connectCommands();
    setAcceptDrops(true);
    updateCaption(m_document.title());
    updateCommandStates();
    if (!m_printMode && m_settings.livePreviewShown())
        setLivePreviewShown(true);
}

CMainFrame::~CMainFrame()
{
    // Closing the window as it is destroyed hides the editor, which may still report its
    // caret: nothing of it may reach the half-destroyed window.
    disconnect(m_view, nullptr, this, nullptr);
    disconnect(statusBar(), nullptr, this, nullptr);
}

CQuickRefDlg *CMainFrame::quickReference() const
{
    return m_quickRef;
}

CHelpWindow *CMainFrame::helpWindow() const
{
    return m_help;
}

void CMainFrame::buildMenus()
{
    auto fill = [this](const QString &title, std::initializer_list<int> ids) {
        QMenu *menu = menuBar()->addMenu(title);
        if (!m_fileMenu)
            m_fileMenu = menu;
        for (int id : ids) {
            if (id == kSeparator)
                menu->addSeparator();
            else
                menu->addAction(m_commands->action(static_cast<CommandId>(id)));
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
    };
    fill(QStringLiteral("ﾌｧｲﾙ(&F)"),
         {ID_FILE_NEW, ID_FILE_OPEN, ID_RELOAD, kSeparator, ID_FILE_SAVE, ID_FILE_SAVE_AS,
          kSeparator, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, ID_ADJUST,
          kSeparator, ID_MERGE_DATA, ID_MERGE_NONE, kSeparator, ID_FILE_MRU_FILE1, kSeparator,
          ID_APP_EXIT});
    fill(QStringLiteral("編集(&E)"),
         {ID_INSERT_COLOR, ID_INSERT_FONT, ID_INSERT_IMAGE, ID_INSERT_CALL, kSeparator,
          ID_EDIT_UNDO, kSeparator, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE});
    fill(QStringLiteral("表示(&V)"), {ID_CLIP_IMAGE, ID_ERROR_CHECK, ID_QUICK_REF, ID_LIVE_PREVIEW,
                                     kSeparator, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR});
    fill(QStringLiteral("ﾍﾙﾌﾟ(&H)"), {ID_HELP, ID_APP_ABOUT});
    connect(m_fileMenu, &QMenu::aboutToShow, this, &CMainFrame::updateRecentFileMenu);
    // Shift+F1 has no menu entry; its key works in the whole window.
    addAction(m_commands->action(ID_HELP_FINDER));
}

void CMainFrame::buildToolBar()
{
    m_toolBar = new QToolBar(QStringLiteral("ﾂｰﾙ ﾊﾞｰ"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(16, 15));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    const std::initializer_list<int> buttons{
        ID_FILE_OPEN,    ID_RELOAD,      ID_FILE_SAVE,    kSeparator,
        ID_EDIT_CUT,     ID_EDIT_COPY,   ID_EDIT_PASTE,   kSeparator,
        ID_CLIP_IMAGE,   kSeparator,     ID_INSERT_COLOR, ID_INSERT_FONT,
        ID_INSERT_IMAGE, ID_INSERT_CALL, kSeparator,      ID_FILE_PRINT_PREVIEW,
        ID_FILE_PRINT,   ID_FILE_PRINT_SETUP, ID_ERROR_CHECK, kSeparator,
        ID_QUICK_REF,    ID_HELP};
    for (int id : buttons) {
        if (id == kSeparator)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(m_commands->action(static_cast<CommandId>(id)));
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void CMainFrame::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    m_mergeStatus = new QLabel(bar);
    m_mergeStatus->setObjectName(QStringLiteral("mergeStatus"));
    m_mergeStatus->setVisible(false);
    bar->addPermanentWidget(m_mergeStatus);
    new LockIndicators(bar);
    // A prompt disappears when the pointer leaves its command; the idle prompt returns.
    // So does the message of a faulty line while the caret is on it.
    connect(bar, &QStatusBar::messageChanged, this, [this](const QString &message) {
        if (message.isEmpty())
            showIdleMessage();
    });
    connect(m_view, &CZentovaView::caretErrorChanged, this, &CMainFrame::showIdleMessage);
    showIdleMessage();
}

void CMainFrame::showIdleMessage()
{
    const QString &error = m_view->caretError();
    statusBar()->showMessage(error.isEmpty() ? kIdlePrompt : error);
}

void CMainFrame::connectCommands()
{
    CommandTable &c = *m_commands;
    connect(c.action(ID_RELOAD), &QAction::triggered, m_view, &CZentovaView::reload);
    connect(c.action(ID_FILE_PRINT), &QAction::triggered, m_view, &CZentovaView::print);
    connect(c.action(ID_FILE_PRINT_PREVIEW), &QAction::triggered, m_view,
            &CZentovaView::printPreview);
    connect(c.action(ID_ERROR_CHECK), &QAction::triggered, m_view, &CZentovaView::checkErrors);
    connect(c.action(ID_EDIT_UNDO), &QAction::triggered, m_view, &QPlainTextEdit::undo);
    connect(c.action(ID_EDIT_CUT), &QAction::triggered, m_view, &QPlainTextEdit::cut);
    connect(c.action(ID_EDIT_COPY), &QAction::triggered, m_view, &QPlainTextEdit::copy);
    connect(c.action(ID_EDIT_PASTE), &QAction::triggered, m_view, &QPlainTextEdit::paste);
    connect(m_view, &QPlainTextEdit::undoAvailable, c.action(ID_EDIT_UNDO),
            &QAction::setEnabled);
    connect(m_view, &QPlainTextEdit::copyAvailable, c.action(ID_EDIT_CUT),
            &QAction::setEnabled);
    connect(m_view, &QPlainTextEdit::copyAvailable, c.action(ID_EDIT_COPY),
            &QAction::setEnabled);
    connect(m_view, &CZentovaView::commandStateChanged, this, &CMainFrame::updateCommandStates);

    connect(c.action(ID_ADJUST), &QAction::triggered, this, &CMainFrame::adjustPrintPosition);
    QAction *livePreview = c.action(ID_LIVE_PREVIEW);
    livePreview->setCheckable(true);
    connect(livePreview, &QAction::triggered, this, &CMainFrame::setLivePreviewShown);
    // A job's print dialog may have changed the printer and its paper.
    connect(m_view, &CZentovaView::commandStateChanged, m_livePreview, &LivePreviewPane::refresh);
    QAction *quickRef = c.action(ID_QUICK_REF);
    quickRef->setCheckable(true);
    // A menu item with an icon shows its checked state only as a faint frame around the
    // icon; without it the menu shows a check mark.
    quickRef->setIconVisibleInMenu(false);
    connect(quickRef, &QAction::triggered, this, &CMainFrame::toggleQuickReference);
    connect(c.action(ID_HELP), &QAction::triggered, this, &CMainFrame::showHelp);
    connect(c.action(ID_HELP_FINDER), &QAction::triggered, this, &CMainFrame::showHelp);
    connect(c.action(ID_APP_EXIT), &QAction::triggered, this, &QWidget::close);

    QAction *toolBarShown = c.action(ID_VIEW_TOOLBAR);
    toolBarShown->setCheckable(true);
    toolBarShown->setChecked(true);
    connect(toolBarShown, &QAction::toggled, m_toolBar, &QWidget::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, toolBarShown, &QAction::setChecked);
    QAction *statusShown = c.action(ID_VIEW_STATUS_BAR);
    statusShown->setCheckable(true);
    statusShown->setChecked(true);
    connect(statusShown, &QAction::toggled, statusBar(), &QWidget::setVisible);

    connect(c.action(ID_INSERT_COLOR), &QAction::triggered, m_view,
            &CZentovaView::insertColorCommand);
    connect(c.action(ID_INSERT_FONT), &QAction::triggered, m_view,
            &CZentovaView::insertFontCommand);
    connect(c.action(ID_INSERT_IMAGE), &QAction::triggered, m_view,
            &CZentovaView::insertImageCommand);
    connect(c.action(ID_INSERT_CALL), &QAction::triggered, m_view,
            &CZentovaView::insertCallCommand);
    connect(c.action(ID_CLIP_IMAGE), &QAction::triggered, m_view, &CZentovaView::clipImage);
    CMergeData &merge = m_view->mergeData();
    connect(c.action(ID_MERGE_DATA), &QAction::triggered, &merge, &CMergeData::choose);
    connect(c.action(ID_MERGE_NONE), &QAction::triggered, &merge, &CMergeData::clear);
    connect(&merge, &CMergeData::changed, this, [this]() {
        const QString text = m_view->mergeData().statusText();
        m_mergeStatus->setText(text);
        m_mergeStatus->setVisible(!text.isEmpty());
        updateCommandStates();
    });
    // The greyed placeholder stands for an empty recent-file list.
    c.action(ID_FILE_MRU_FILE1)->setEnabled(false);
    connect(&m_document, &CZentovaDoc::fileOpenedOrSaved, this,
            [this](const QString &path) { m_settings.addRecentFile(path); });
    c.action(ID_EDIT_UNDO)->setEnabled(false);
    c.action(ID_EDIT_CUT)->setEnabled(false);
    c.action(ID_EDIT_COPY)->setEnabled(false);

    connect(&m_document, &CZentovaDoc::titleChanged, this, [this](const QString &title) {
        updateCaption(title);
        updateCommandStates();
    });
}

void CMainFrame::updateRecentFileMenu()
{
    QAction *placeholder = m_commands->action(ID_FILE_MRU_FILE1);
    for (QAction *action : std::as_const(m_recentActions))
        delete action;
    m_recentActions.clear();
    const QStringList paths = m_settings.recentFiles();
    placeholder->setVisible(paths.isEmpty());
    for (int i = 0; i < paths.size(); ++i) {
        QString shown = fontMetrics().elidedText(QDir::toNativeSeparators(paths[i]),
                                                 Qt::ElideMiddle, kRecentFileTextWidth);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto *action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), m_fileMenu);
        action->setStatusTip(placeholder->statusTip());
        connect(action, &QAction::triggered, this,
                [this, path = paths[i]]() { emit recentFileChosen(path); });
        m_fileMenu->insertAction(placeholder, action);
        m_recentActions << action;
    }
}

void CMainFrame::updateCaption(const QString &title)
{
    setWindowTitle(title + QStringLiteral(" - ") + kAppTitle);
}

void CMainFrame::updateCommandStates()
{
    m_commands->action(ID_RELOAD)->setEnabled(m_view->canReload());
    m_commands->action(ID_ERROR_CHECK)->setEnabled(m_view->canCheckErrors());
    m_commands->action(ID_MERGE_NONE)->setEnabled(!m_view->mergeData().path().isEmpty());
    m_commands->action(ID_QUICK_REF)->setChecked(!m_quickRef.isNull());
}

void CMainFrame::setLivePreviewShown(bool shown)
{
    m_commands->action(ID_LIVE_PREVIEW)->setChecked(shown);
    if (shown == m_livePreview->isVisibleTo(this))
        return;
    if (!shown) {
        m_settings.setLivePreview(false, m_livePreview->width());
        m_livePreview->hide();
        m_view->setFocus();
        return;
    }
    m_livePreview->show();
    placeLivePreview();
    m_settings.setLivePreview(true, m_split->sizes().value(1));
}

void CMainFrame::placeLivePreview()
{
    // The splitter takes the window's new size only when the layout runs: run it now.
    layout()->activate();
    // The handle between the two takes its own width.
    const int total =
        (m_split->width() > 1 ? m_split->width() : width()) - m_split->handleWidth();
    const int stored = m_settings.livePreviewWidth();
    const int pane = std::clamp(stored > 0 ? stored : total * 2 / 5, 1, std::max(1, total - 1));
    m_split->setSizes({std::max(1, total - pane), pane});
}

void CMainFrame::showAsStored()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    if (m_printMode) {
        // The window only owns the print dialog and the progress of the print run: it
        // stays off the screen, its centre at the screen's, where those dialogs appear.
        const QRect whole = screen ? screen->geometry() : available;
        resize(30, 30);
        move(whole.center() - QPoint(15, 15));
        return;
    }
    const int width = m_settings.windowWidth();
    const int height = m_settings.windowHeight();
    if (width < 0 || height < 0) {
        showMaximized();
        return;
    }
    // A stored size larger than the screen (another monitor, a damaged value) is cut to
    // the screen.
    if (width > 0 && height > 0)
        resize(std::min(width, available.width()), std::min(height, available.height()));
    else
        resize(available.width() * 3 / 4, available.height() * 3 / 4);
    show();
    if (m_livePreview->isVisibleTo(this))
        placeLivePreview();
}

void CMainFrame::storeSize()
{
    if (m_printMode)
        return;
    const bool paneShown = m_livePreview->isVisibleTo(this);
    m_settings.setLivePreview(paneShown, paneShown ? m_livePreview->width()
                                                   : m_settings.livePreviewWidth());
    if (isMaximized()) {
        m_settings.setWindowSize(-1, -1);
        return;
    }
    if (isMinimized() || width() == 0 || height() == 0)
        return;
    m_settings.setWindowSize(width(), height());
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (!m_document.saveModified()) {
        event->ignore();
        return;
    }
    storeSize();
    if (m_quickRef)
        m_quickRef->close();
    if (m_help)
        m_help->close();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    emit filesDropped(paths);
}

void CMainFrame::toggleQuickReference()
{
    if (m_quickRef) {
        m_quickRef->close();
        updateCommandStates();
        return;
    }
    auto *dialog = new CQuickRefDlg(this);
    m_quickRef = dialog;
    connect(dialog, &CQuickRefDlg::pasteRequested, this, [this](const QString &text) {
        m_view->InsertText(text);
        activateWindow();
        m_view->setFocus();
    });
    connect(dialog, &CQuickRefDlg::closed, this, [this]() {
        m_quickRef = nullptr;
        updateCommandStates();
    });
    placeQuickReference();
    dialog->show();
    // At start-up neither window has been placed by the window manager yet: until then
    // the main window's frame stands at (0, 0) with no border, and the reference's border
    // is unknown. The reference is placed again as each of the two windows appears.
    for (QWidget *window : {static_cast<QWidget *>(this), static_cast<QWidget *>(dialog)}) {
        QWindow *handle = window->windowHandle();
        if (handle && !handle->isExposed()) {
            handle->installEventFilter(this);
            m_placementPending = true;
        }
    }
    updateCommandStates();
    // Typing goes on in the editor.
    activateWindow();
    m_view->setFocus();
}

void CMainFrame::placeQuickReference()
{
    if (!m_quickRef)
        return;
    const QRect frame = frameGeometry();
    const QSize size = m_quickRef->frameGeometry().size();
    m_quickRef->move(std::max(0, frame.x() + frame.width() - size.width() - kQuickRefInset),
                     std::max(0, frame.y() + frame.height() - size.height() - kQuickRefInset));
}

bool CMainFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && m_placementPending) {
        const QWindow *main = windowHandle();
        const QWindow *reference = m_quickRef ? m_quickRef->windowHandle() : nullptr;
        if (watched == main || watched == reference) {
            placeQuickReference();
            // Once both are on screen the reference stays where it is, also when the main
            // window moves later.
            m_placementPending =
                reference && !(main && main->isExposed() && reference->isExposed());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::adjustPrintPosition()
{
    CAdjustDlg dialog(m_settings.adjustX(), m_settings.adjustY(), this);
    if (dialog.exec() == QDialog::Accepted) {
        m_settings.setAdjust(dialog.adjustX(), dialog.adjustY());
        m_livePreview->refresh();
    }
}

void CMainFrame::showHelp()
{
    const QString path = CHelpWindow::ManualPath();
    if (!QFileInfo(path).isFile()) {
        m_prompter.tell(this,
                        QStringLiteral("Not Exist Html Help File\n\n   File Path [ %1 ]").arg(path),
                        Prompter::Severity::Warning);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!m_help)
        m_help = new CHelpWindow(this);
    m_help->showPage(path);
    QApplication::restoreOverrideCursor();
}
