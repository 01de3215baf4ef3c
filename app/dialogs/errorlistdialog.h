// The error list of the last print or preview job; one click takes the user to the line.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;

// Shows the job's error list, two entries per faulty line ("(N) " with the line as
// written, then the indented message). A single click on either entry of an error picks
// its line number and accepts the dialog; "閉じる" or Esc rejects it.
class CErrorListDlg : public QDialog {
    Q_OBJECT
public:
    // `errorLines` is the view's error text in code page 932, lines ending in CR LF.
    explicit CErrorListDlg(const std::string &errorLines, QWidget *parent = nullptr);
    Q_DISABLE_COPY(CErrorListDlg)

    // The line number picked by the user; 0 until an entry was picked.
    int chosenLine() const { return m_chosenLine; }

    // The line number an entry stands for: an entry at an odd index is the message of the
    // entry above it. 0 when the entry holds no "(" followed by a number.
    static int LineNumberOf(const std::vector<std::string> &entries, int index);

private:
    void pick();

    std::vector<std::string> m_entries; // the listed lines, code page 932
    QListWidget *m_list;
    int m_chosenLine = 0;
};
