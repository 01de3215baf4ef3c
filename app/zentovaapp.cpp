// Start-up and the application's own commands.
#include "zentovaapp.h"

#include "aboutdialog.h"
#include "commandtable.h"
#include "livepreviewpane.h"
#include "mainframe.h"
#include "printcontroller.h"
#include "prompter.h"
#include "settingsstore.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include <QAction>
#include <QTimer>

namespace {

const QString kOpenFilter =
    QStringLiteral("Zentova ﾌｧｲﾙ (*.zent);;すべてのファイル (*)");

} // namespace

CZentovaApp::CZentovaApp(Prompter &prompter) : m_prompter(prompter) {}

CZentovaApp::~CZentovaApp() = default;

bool CZentovaApp::start(const QStringList &arguments)
{
    m_commandLine = ParseCommandLine(arguments);
    m_settings = std::make_unique<SettingsStore>();
    m_document = std::make_unique<CZentovaDoc>(m_prompter);
    // Started to print and close, the program shows no window of its own but the print
    // dialog; with the preview switch as well it is an ordinary run that opens the preview.
    const bool printOnly = m_commandLine.printMode && !m_commandLine.preview;
    m_frame = std::make_unique<CMainFrame>(*m_document, *m_settings, m_prompter, printOnly);
    connectCommands();

    m_document->newDocument();
    // A file that cannot be opened has been reported; the program goes on with a new
    // document, except when it was started only to print that file.
    if (!m_commandLine.file.isEmpty() && !m_document->openDocument(m_commandLine.file) &&
        m_commandLine.printMode)
        return false;

    m_frame->showAsStored();
    if (!printOnly)
        m_frame->toggleQuickReference();
    applyPrinterSwitches();

    CZentovaView &view = m_frame->view();
    if (m_commandLine.preview) {
        QTimer::singleShot(0, &view, &CZentovaView::printPreview);
    } else if (m_commandLine.printMode) {
        QTimer::singleShot(0, &view, [this, &view]() {
            view.print();
            m_frame->close();
            emit printRunEnded();
        });
    }
    return true;
}

void CZentovaApp::applyPrinterSwitches()
{
    if (!m_commandLine.changesPrinter())
        return;
    CPrintController &printer = m_frame->view().printController();
    if (m_commandLine.paperCode() != 0)
        printer.setPaperByCode(m_commandLine.paperCode());
    if (m_commandLine.landscape)
        printer.setLandscape();
}

void CZentovaApp::connectCommands()
{
    CommandTable &c = m_frame->commands();
    connect(c.action(ID_FILE_NEW), &QAction::triggered, this, &CZentovaApp::fileNew);
    connect(c.action(ID_FILE_OPEN), &QAction::triggered, this, &CZentovaApp::fileOpen);
    connect(c.action(ID_FILE_SAVE), &QAction::triggered, m_document.get(), &CZentovaDoc::save);
    connect(c.action(ID_FILE_SAVE_AS), &QAction::triggered, m_document.get(),
            &CZentovaDoc::saveAs);
    connect(c.action(ID_FILE_PRINT_SETUP), &QAction::triggered, this,
            [this]() {
                m_frame->view().printController().printSetup();
                m_frame->livePreview().refresh();
            });
    connect(c.action(ID_APP_ABOUT), &QAction::triggered, this, &CZentovaApp::about);
    connect(m_frame.get(), &CMainFrame::filesDropped, this, [this](const QStringList &paths) {
        for (const QString &path : paths)
            openDocumentFile(path);
    });
    connect(m_frame.get(), &CMainFrame::recentFileChosen, this, &CZentovaApp::openRecentFile);
}

void CZentovaApp::fileNew()
{
    if (m_document->saveModified())
        m_document->newDocument();
}

void CZentovaApp::fileOpen()
{
    const QString path =
        m_prompter.openFileName(m_frame.get(), m_settings->zentPath(), kOpenFilter);
    if (path.isEmpty())
        return;
    openDocumentFile(path);
    m_settings->setZentPath(SettingsStore::FolderOf(path));
}

bool CZentovaApp::openDocumentFile(const QString &path)
{
    if (!m_document->saveModified())
        return false;
    return m_document->openDocument(path);
}

void CZentovaApp::openRecentFile(const QString &path)
{
    if (!m_document->saveModified())
        return;
    // The user has been told why the file cannot be opened (moved, deleted, unreadable);
    // the list keeps only entries that open.
    if (!m_document->openDocument(path))
        m_settings->removeRecentFile(path);
}

void CZentovaApp::about()
{
    CAboutDlg dialog(m_frame.get());
    dialog.exec();
}
