// The document: the command file's identity and its bytes on disk.
#pragma once

#include "commandtext.h"

#include <QObject>
#include <QString>

#include <string>

class CZentovaView;
class Prompter;
class QWidget;

// Reads and writes the command file for the one editor view. The file's bytes are kept:
// a document whose text was not edited is saved and printed from exactly those bytes,
// whatever they hold (lone LF, mixed line ends, bytes that form no code page 932
// character). Edited text is written as code page 932 with CR LF line ends, through a
// temporary file that replaces the old one only when it was written completely. Bytes
// that form no character are written back as they were, and every line the edits left
// alone keeps its bytes (its line end becomes CR LF).
class CZentovaDoc : public QObject {
    Q_OBJECT
public:
    // Files larger than this are refused. Editing and previewing a file takes about a dozen
    // bytes of memory for every byte of it (the text in UTF-16 in the editor and as saved,
    // the bytes as read, the text of a job); generated command files of thousands of pages
    // are tens of megabytes.
    static constexpr qint64 kMaxFileSize = 128 * 1024 * 1024;

    CZentovaDoc(Prompter &prompter, QObject *parent = nullptr);
    Q_DISABLE_COPY(CZentovaDoc)

    // The view whose editor holds the text; set once before any other call.
    void attachView(CZentovaView *view) { m_view = view; }

    const QString &pathName() const { return m_path; }
    // The title shown before the program's name: the file name, "無題" for a new
    // document, with " *" appended while the text has unsaved edits.
    const QString &title() const { return m_title; }
    void setTitle(const QString &title);
    bool isModified() const { return m_modified; }
    void setModifiedFlag(bool modified) { m_modified = modified; }

    // New document: no path, empty text, empty error list.
    void newDocument();

    // Opens `path` into the editor. A file that is missing, unreadable, a folder, a device
    // or larger than kMaxFileSize is reported to the user and leaves the document as it
    // was.
    bool openDocument(const QString &path);
    // Reads the document's own file again, keeping path and title; false when it failed
    // (reported, the editor keeps its text).
    bool reread();

    // The save commands; false when the user cancelled or writing failed (reported).
    bool save();
    bool saveAs();
    // Before the text is replaced or the program ends: asks whether to save unsaved edits.
    // False when the user cancelled, or chose to save and saving failed.
    bool saveModified();
    // Writes the text to `path`; false when the user cancelled or writing failed.
    bool saveTo(const QString &path);

    // The command text to print: the file's bytes while the editor's text is what was
    // read, otherwise the editor's text in code page 932, with the lines that lost
    // characters code page 932 has no form for; lines end with CR LF.
    commandtext::Encoded commandText() const;
    // The same, to be encoded later on another thread: what the editor holds now.
    commandtext::Source commandTextSource() const;
    std::string commandBytes() const;

signals:
    void titleChanged(const QString &title);
    // The document's file `path` (absolute) was opened or saved: the recent-file list
    // takes it.
    void fileOpenedOrSaved(const QString &path);
    // A new document, or another file opened (its path is set, its title not yet).
    void documentReplaced();

private:
    // The file's bytes, or nothing after the user was told why they cannot be read.
    bool readFile(const QString &path, std::string &bytes);
    void takeBytes(std::string bytes);
    QWidget *window() const;

    Prompter &m_prompter;
    CZentovaView *m_view = nullptr;
    QString m_path;
    QString m_title;
    bool m_modified = false;
    std::string m_bytes;  // the bytes last read from or written to the file
    QString m_savedText;  // the editor's text that m_bytes stands for
    commandtext::KeptLines m_keptLines; // lines read with codes the text would not give
};
