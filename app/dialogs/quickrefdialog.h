// The command quick reference: a window beside the editor that summarises the command
// language and pastes a selected part of it into the editor.
#pragma once

#include <QDialog>

#include <string>

class QCloseEvent;
class QPlainTextEdit;

// Modeless and deleted when it closes. Construct it with the main window as owner, place
// it, then show() it. "閉じる", Esc and the window's close box close it and emit closed();
// Enter leaves it open.
class CQuickRefDlg : public QDialog {
    Q_OBJECT
public:
    explicit CQuickRefDlg(QWidget *owner);
    Q_DISABLE_COPY(CQuickRefDlg)

    // The reference text in code page 932: header lines, "● " entries and their
    // descriptions, separated by CR LF, with no line end after the last line.
    static const std::string &ReferenceText();

    // Emits pasteRequested with the selection of the reference (lines separated by "\n");
    // does nothing when nothing is selected. The button "選択部分を貼り付け" calls it.
    void pasteSelection();

    QPlainTextEdit *referenceView() const { return m_text; }

signals:
    // The receiver replaces the editor's selection by `text` and gives the editor the focus.
    void pasteRequested(const QString &text);
    // The window is closing; it deletes itself afterwards.
    void closed();

public slots:
    void accept() override; // Enter: nothing
    void reject() override; // Esc: closes the window

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QPlainTextEdit *m_text;
    bool m_closedSent = false;
};
