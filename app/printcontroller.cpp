// Preview and printing over the preview window, QPrintDialog and QPrinter.
#include "printcontroller.h"

#include "previewdialog.h"

#include "draw/drawingview.h"
#include "draw/papersizes.h"
#include "draw/qt/pagerenderer.h"
#include "draw/qt/pdffile.h"
#include "draw/qt/printerjob.h"
#include "engine/pageindex.h"
#include "merge/datafile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>

#include <memory>

namespace {

// Shows its progress only when a job takes longer than this.
constexpr int kProgressDelayMs = 500;
// While a page runs, the window's events are handled this often, so that the program
// stays responsive and Cancel is seen at once however long the page is.
constexpr int kEventsEveryMs = 50;
// The smallest preview that shows a page at a readable zoom.
constexpr QSize kMinimumPreviewSize(640, 480);

// Progress of a job in a modal progress dialog whose Cancel stops the job, between pages
// or inside a page.
class JobProgress {
public:
    explicit JobProgress(QWidget *parent)
        : m_dialog(QStringLiteral("ページを作成しています..."), QStringLiteral("ｷｬﾝｾﾙ"), 0, 1,
                   parent)
    {
        m_dialog.setWindowTitle(QStringLiteral("Zentova"));
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(kProgressDelayMs);
        m_dialog.setAutoReset(false);
        m_dialog.setAutoClose(false);
        m_sinceEvents.start();
    }

    PrintProgress progress()
    {
        auto step = [this](int done, int total) {
            if (m_dialog.maximum() != total)
                m_dialog.setMaximum(total);
            m_dialog.setValue(done);
            return !m_dialog.wasCanceled();
        };
        auto stopRequested = [this] {
            if (m_sinceEvents.elapsed() >= kEventsEveryMs) {
                // Until the dialog shows (and blocks the other windows as a modal
                // dialog does), input waits: nothing may edit the text being printed.
                QCoreApplication::processEvents(m_dialog.isVisible()
                                                    ? QEventLoop::AllEvents
                                                    : QEventLoop::ExcludeUserInputEvents);
                m_sinceEvents.restart();
            }
            return m_dialog.wasCanceled();
        };
        return {step, stopRequested};
    }

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_sinceEvents;
};

// Prints the pages of `text` that `printer` asks for, with the origin its target has:
// the corner of a printer's printable area, the paper's corner in a PDF file (which has
// no unprintable edge). A PDF file is written by the program's own writer, as
// zentova-print writes it.
bool printOn(QPrinter &printer, DrawingView &state, const std::string &text,
             const std::string &documentPath, const PrintProgress &progress,
             const MergeSelection &merge, bool *printed, std::string *failure)
{
    printer.setFullPage(CPrintController::IsPdfFileTarget(printer));
    if (CPrintController::IsPdfFileTarget(printer))
        return PrintPdfFile(printer, state, text, documentPath, progress, printed, merge,
                            failure);
    return PrintDocument(printer, state, text, documentPath, progress, printed, merge);
}

// The PDF file offered for `documentPath`: beside it, named after it.
QString pdfBeside(const QString &documentPath)
{
    const QFileInfo info(documentPath);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".pdf");
}

// The preview takes the main window's size, and is maximized when the main window is: at
// start-up the window manager may not have maximized the main window yet, so its size
// says nothing then. A main window smaller than a usable preview gives way to one.
void sizeLikeOwner(QDialog &dialog, const QWidget *owner)
{
    const QWidget *window = owner ? owner->window() : nullptr;
    if (window && window->isMaximized()) {
        dialog.setWindowState(Qt::WindowMaximized);
        return;
    }
    const QScreen *screen = window ? window->screen() : QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    const QSize size = window && window->isVisible() ? window->size() : available * 3 / 4;
    dialog.resize(size.expandedTo(kMinimumPreviewSize).boundedTo(available));
}

} // namespace

CPrintController::CPrintController(DrawingView &state, QWidget *owner)
    : m_state(state), m_owner(owner)
{
}

CPrintController::~CPrintController() = default;

QPrinter &CPrintController::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool CPrintController::setPaperByCode(int code)
{
    const std::optional<PaperSize> paper = PaperByCode(code);
    if (!paper)
        return false;
    const QPageSize size(QSizeF(paper->width / 10.0, paper->height / 10.0),
                         QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return printer().setPageSize(size);
}

void CPrintController::setLandscape()
{
    printer().setPageOrientation(QPageLayout::Landscape);
}

bool CPrintController::IsPdfFileTarget(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat;
}

void CPrintController::nameOutput(const QString &documentPath)
{
    QPrinter &target = printer();
    if (documentPath.isEmpty())
        return;
    target.setDocName(QFileInfo(documentPath).fileName());
    if (IsPdfFileTarget(target))
        target.setOutputFileName(pdfBeside(documentPath));
}

bool CPrintController::preview(std::string text, const QString &documentPath,
                               const DataFile *records)
{
    QPrinter &target = printer();
    nameOutput(documentPath);
    // The preview shows the page as printing on the same target would place it.
    target.setFullPage(IsPdfFileTarget(target));
    PageRenderer pages(m_state);
    pages.setRecords(records);
    pages.prepare(std::move(text), true, documentPath.toUtf8().toStdString());
    pages.begin(target);
    std::unique_ptr<PreviewDialog> dialog;
    // A page that runs long shows the progress dialog, whose Cancel stops the page.
    auto renderPage = [&pages, &dialog](int page, qreal dotsPerInch) {
        JobProgress progress(dialog.get());
        return pages.render(page, dotsPerInch, progress.progress().stopRequested);
    };
    // Printing from the preview is a print job of its own, of the same text.
    auto printPages = [this, &pages, &documentPath, records]() {
        bool printed = false;
        print(std::string(pages.text()), documentPath, &printed, records);
        return printed;
    };
    dialog = std::make_unique<PreviewDialog>(pages.pageCount(), pages.paperInches(), renderPage,
                                             printPages, m_owner);
    sizeLikeOwner(*dialog, m_owner);
    dialog->exec();
    dialog.reset();
    return pages.end();
}

bool CPrintController::print(const std::string &text, const QString &documentPath,
                             bool *printed, const DataFile *records)
{
    if (printed)
        *printed = false;
    QPrinter &target = printer();
    const int pages = CountPages(text) * (records ? records->RecordCount() : 1);

    nameOutput(documentPath);
    QPrintDialog dialog(&target, m_owner);
    // With a printer chosen, Qt's dialog keeps its own suggestion for a PDF file (in the
    // working folder) should the user switch to one.
    if (!documentPath.isEmpty())
        if (auto *file = dialog.findChild<QLineEdit *>(QStringLiteral("filename")))
            file->setText(pdfBeside(documentPath));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    dialog.setMinMax(1, pages);
    dialog.setFromTo(1, pages);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    JobProgress progress(m_owner);
    std::string failure;
    const bool errors = printOn(target, m_state, text, documentPath.toUtf8().toStdString(),
                                progress.progress(), MergeSelection{records}, printed, &failure);
    if (!failure.empty())
        m_failure = QStringLiteral("PDF ファイルを書き込めませんでした。\n%1\n%2")
                        .arg(target.outputFileName(), QString::fromStdString(failure));
    return errors;
}

PrinterSheet CPrintController::previewSheet()
{
    QPrinter &target = printer();
    target.setFullPage(IsPdfFileTarget(target));
    return PrinterSheet::Of(target);
}

void CPrintController::printSetup()
{
    QPageSetupDialog dialog(&printer(), m_owner);
    dialog.exec();
}
