// The application: start-up, the command line, and the commands of no single window.
#pragma once

#include "commandline.h"

#include <QObject>

#include <memory>

class CMainFrame;
class CZentovaDoc;
class Prompter;
class SettingsStore;

// Builds the settings store, the document and the main window with its view, then opens
// what the command line asks for. Handles New, Open (starting in the remembered folder),
// Save, Save As, printer setup and the version dialog.
class CZentovaApp : public QObject {
    Q_OBJECT
public:
    explicit CZentovaApp(Prompter &prompter);
    ~CZentovaApp() override;
    Q_DISABLE_COPY(CZentovaApp)

    // Starts with `arguments` (without the program name): opens the file or a new
    // document, shows the main window and the quick reference, applies the printer
    // switches and queues the preview or the print run they ask for. False when the
    // program should end at once (a file given to print cannot be opened).
    bool start(const QStringList &arguments);

    const CommandLine &commandLine() const { return m_commandLine; }
    bool printMode() const { return m_commandLine.printMode; }
    CMainFrame &frame() const { return *m_frame; }
    CZentovaDoc &document() const { return *m_document; }
    SettingsStore &settings() const { return *m_settings; }

    void fileNew();
    // The open dialog in the folder of the last chosen file; remembers the new folder
    // even when the file then fails to open.
    void fileOpen();
    // Opens `path` as the document after the save-changes prompt.
    bool openDocumentFile(const QString &path);
    // Opens an entry of the recent-file list; an entry that fails to open leaves the list.
    void openRecentFile(const QString &path);
    void about();

signals:
    // Started to print a file, the program has printed it (or the user cancelled) and
    // closed its window, which was never shown: the program should end.
    void printRunEnded();

private:
    void connectCommands();
    void applyPrinterSwitches();

    Prompter &m_prompter;
    CommandLine m_commandLine;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<CZentovaDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
};
