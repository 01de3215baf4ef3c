// Print preview, printing and the printer settings of the editor view.
#pragma once

#include <QString>

#include <memory>
#include <string>
#include <utility>

class DataFile;
class QPrinter;
class QWidget;
struct DrawingView;
struct PrinterSheet;

// Runs the print and preview jobs of the view's text through PrinterJob, with one
// printer whose settings (printer, paper, orientation) hold for the whole run of the
// program. Long jobs show a progress dialog that cancels between pages.
class CPrintController {
public:
    CPrintController(DrawingView &state, QWidget *owner);
    ~CPrintController();
    CPrintController(const CPrintController &) = delete;
    CPrintController &operator=(const CPrintController &) = delete;

    // The program's printer settings, created on first use.
    QPrinter &printer();

    // Sets the paper of the printer settings by a printer paper-size code (9 = A4, 43 =
    // postcard, ...); false for an unknown code, which changes nothing.
    bool setPaperByCode(int code);
    void setLandscape();

    // Shows the preview of `text` (code page 932, CR LF) modally. True when the job
    // recorded errors. `documentPath` is the command file ("" for none). With `records`,
    // the document once per record, its pages numbered across every copy.
    bool preview(std::string text, const QString &documentPath, const DataFile *records = nullptr);

    // Shows the print dialog and prints the chosen pages (with `records`, of every copy).
    // True when the job recorded errors; `printed` says whether pages went to the printer.
    bool print(const std::string &text, const QString &documentPath, bool *printed = nullptr,
               const DataFile *records = nullptr);

    // The message for a PDF file that the last print could not write, once; empty when
    // there is none. A failed file leaves an earlier file of that name as it was.
    QString takeFailure() { return std::exchange(m_failure, QString()); }

    // The printer's page setup: paper, orientation and margins.
    void printSetup();

    // The sheet of the printer as the print preview places its pages on it.
    PrinterSheet previewSheet();

    // Whether `printer` writes a PDF file instead of feeding a printer. Such a target has
    // no unprintable edge: its origin is the paper's corner.
    static bool IsPdfFileTarget(const QPrinter &printer);

private:
    // Names the job after the command file `documentPath` and offers the PDF file beside
    // it, named after it, when the printer writes one.
    void nameOutput(const QString &documentPath);

    DrawingView &m_state;
    QWidget *m_owner;
    std::unique_ptr<QPrinter> m_printer;
    QString m_failure;
};
