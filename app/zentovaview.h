// The editor view: the command text in a plain-text editor, and the state that print
// jobs and the dialogs share with it.
#pragma once

#include "editorblocks.h"

#include "draw/drawingview.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPoint>

#include <memory>

namespace commandtext {
struct Encoded;
}
class CMergeData;
class CPrintController;
class CZentovaDoc;
class CommandColoring;
class ErrorMarks;
class Prompter;
class SettingsStore;

// A word-wrapping editor without a horizontal scroll bar, in a fixed-pitch font. Owns the
// view state of the interpreter (error list of the last job, clipboard slots, image
// cache, paper, folders) and the print controller. Any edit sets the document's modified
// flag and its title mark; nothing else runs per keystroke. The text lives in the editor's
// document in blocks of bounded length (editorblocks.h), so that neither many lines nor
// long ones slow typing down; read it with editorText(), not toPlainText(). The text is
// coloured by its meaning to the interpreter, a block as it comes into view; lines marked
// faulty (ErrorMarks) show a red bar and a wavy line, their message as a tool tip.
class CZentovaView : public QPlainTextEdit {
    Q_OBJECT
public:
    CZentovaView(CZentovaDoc &document, SettingsStore &settings, Prompter &prompter,
                 QWidget *parent = nullptr);
    ~CZentovaView() override;
    Q_DISABLE_COPY(CZentovaView)

    CZentovaDoc &zentovaDoc() { return m_document; }
    DrawingView &state() { return m_state; }
    CPrintController &printController() { return *m_printer; }
    // The data file of merge printing for the open document.
    CMergeData &mergeData() { return *m_merge; }

    // The whole text as the document reads and writes it ("\n" between lines).
    QString editorText() const;
    // Replaces the whole text (a new or loaded document): no modified mark, an empty undo
    // history and an empty error list.
    void setEditorText(const QString &text);

    // Replaces the selection, or inserts at the caret, by `text` as one undoable edit.
    void InsertText(const QString &text);

    // Selects line `lineNo` (1-based) without its line break and scrolls it into view;
    // past the last line the caret goes to the end of the text.
    void selectLine(int lineNo);

    // The number (1-based) of the line that holds the caret.
    int caretLine();
    ErrorMarks &errorMarks() { return *m_errorMarks; }
    // The message of the marked line that holds the caret; empty when it has none.
    const QString &caretError() const { return m_caretError; }

    bool canReload() const;
    bool canCheckErrors() const { return !m_state.errorText.empty(); }

public slots:
    // Reads the file again; asks first when the text has unsaved edits.
    void reload();
    // The error list of the last job; a chosen error selects its line.
    void checkErrors();
    // The command insertion tools: each asks through its dialog and inserts a whole
    // command line in front of the caret's line as one undoable edit; Cancel inserts
    // nothing and changes no setting.
    void insertColorCommand();
    void insertFontCommand();
    void insertImageCommand();
    void insertCallCommand();
    // The clipboard image dialog over the view's ten slots.
    void clipImage();
    // With a data file chosen, both run the document once per record.
    void printPreview();
    // The print dialog, then the pages. False when nothing was printed.
    bool print();

signals:
    // The commands whose enabled state depends on the view (reload, error check) may
    // have changed.
    void commandStateChanged();
    // The caret came onto a marked line, or left it: its message, or "".
    void caretErrorChanged(const QString &message);
    // The clipboard image dialog may have changed the slots.
    void clipSlotsChanged();

protected:
    // Files dragged onto the editor are left to the main window, which opens them.
    bool canInsertFromMimeData(const QMimeData *source) const override;
    // Pasted and dropped text goes in as InsertText puts it; copied text is the text of
    // the selection, without the breaks between the blocks of one long line.
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;
    // Enter always ends a line, also inside a long line's later block; Backspace and Delete
    // next to the break between two blocks of one line delete the character beyond it.
    void keyPressEvent(QKeyEvent *event) override;
    // A triple click selects the line, not the whole block of lines it stands in.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Colours the blocks about to be painted, paints, then draws the error marks.
    void paintEvent(QPaintEvent *event) override;
    // The tool tip of a marked line is its message.
    bool viewportEvent(QEvent *event) override;

private:
    void markModified();
    bool deleteAcrossBlockBreak(QKeyEvent *event);
    void insertCommandLine(const QString &line);
    // Asks for a file in `startFolder` (remembered by `remember`) and inserts `prefix` and
    // its abbreviated path.
    void insertPathCommand(const QString &prefix, const QString &filter, const QString &startFolder,
                           void (SettingsStore::*remember)(const QString &));
    // The text for a print or preview job, in code page 932.
    commandtext::Encoded jobText() const;
    void endOfJob(bool hadErrors);
    // Tells the user of a PDF file the last print could not write.
    void tellPrintFailure();
    void textMoved(int position, int removed, int added);
    void showCaretError();

    CZentovaDoc &m_document;
    SettingsStore &m_settings;
    Prompter &m_prompter;
    DrawingView m_state;
    std::unique_ptr<CPrintController> m_printer;
    CMergeData *m_merge;
    bool m_replacingText = false; // setEditorText is filling the editor
    QElapsedTimer m_sinceDoubleClick;
    QPoint m_doubleClickAt;
    CommandColoring *m_coloring;
    ErrorMarks *m_errorMarks;
    editorblocks::LineAnchor m_lineAnchor; // where counting lines for the caret starts
    QString m_caretError;
};
