// Print jobs on a QPrinter: the paper, the page range, cancelling between pages, errors
// recorded once per page, and the error list after a preview.
#include "testsupport.h"

#include "printcontroller.h"
#include "settingsstore.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include "draw/qt/printerjob.h"
#include "engine/viewstate.h"

#include <QAction>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const std::string kThreePages = "position 100 100\r\n:.one\r\n*\r\npage\r\n"
                                "zzz bad on page two\r\npage\r\n:.three\r\n*\r\n";

int pdfPageCount(const QString &path)
{
    const QString pdf = QString::fromLatin1(ReadBytes(path));
    return static_cast<int>(pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

} // namespace

class PrintingTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    std::unique_ptr<QPrinter> pdfPrinter(const QString &name)
    {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_dir.filePath(name));
        return printer;
    }

private slots:
    void paperIsThePrintersWholeSheet()
    {
        ViewState view;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(600);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        PrinterJob job(view);
        job.prepare("", false, "");
        job.begin(printer);
        QCOMPARE(view.paperWidth, 2159);
        QCOMPARE(view.paperHeight, 2794);
    }

    void printsThePrintersPageRange()
    {
        ViewState view;
        auto printer = pdfPrinter("range.pdf");
        printer->setPrintRange(QPrinter::PageRange);
        printer->setFromTo(2, 3);
        bool printed = false;
        int steps = 0;
        const bool errors =
            PrintDocument(*printer, view, kThreePages, "",
                          {[&steps](int, int total) { return ++steps, total == 2; }}, &printed);
        QVERIFY(printed);
        QVERIFY(errors);
        QCOMPARE(steps, 3); // before the first page and after each
        QCOMPARE(pdfPageCount(m_dir.filePath("range.pdf")), 2);
        QVERIFY(view.errorText.str().find("(5) zzz") != std::string::npos);
    }

    void cancellingStopsBetweenPages()
    {
        ViewState view;
        auto printer = pdfPrinter("cancelled.pdf");
        int pagesDone = 0;
        bool printed = true;
        PrintDocument(*printer, view, kThreePages, "",
                      {[&pagesDone](int done, int) { return (pagesDone = done) < 1; }},
                      &printed);
        QVERIFY(!printed);
        QCOMPARE(pagesDone, 1);
    }

    void aPageRenderedAgainAddsNoErrors()
    {
        ViewState view;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir.filePath("twice.pdf"));
        PrinterJob job(view);
        QCOMPARE(job.prepare(kThreePages, true, ""), 3);
        job.begin(printer);
        QPainter painter(&printer);
        QVERIFY(job.renderPages(printer, painter, kThreePages, 1, 2));
        const std::string first = view.errorText.str();
        QVERIFY(!first.empty());
        QVERIFY(job.renderPages(printer, painter, kThreePages, 1, 3));
        QCOMPARE(view.errorText.str(), first);
        painter.end();
        QVERIFY(job.end());
    }

    // Facing pages of landscape paper make the preview lay itself out for many seconds.
    void previewOffersNoFacingPagesForLandscapePaper()
    {
        ScriptedPrompter prompter;
        SettingsStore settings;
        CZentovaDoc doc(prompter);
        CZentovaView view(doc, settings, prompter);
        doc.newDocument();
        view.setEditorText(QStringLiteral("page\npage\npage\n"));
        view.printController().setLandscape();
        bool found = false, enabled = true;
        WhenModal([&](QWidget *dialog) {
            for (QAction *action : dialog->findChildren<QAction *>())
                if (action->text() == QStringLiteral("Show facing pages")) {
                    found = true;
                    enabled = action->isEnabled();
                }
            dialog->close();
        });
        view.printPreview();
        QVERIFY(found);
        QVERIFY(!enabled);
    }

    void previewOpensTheErrorListOnlyAfterErrors()
    {
        ScriptedPrompter prompter;
        SettingsStore settings;
        CZentovaDoc doc(prompter);
        CZentovaView view(doc, settings, prompter);
        doc.newDocument();
        view.show();

        view.setEditorText(QStringLiteral("position 10 10\n:.fine\n*\n"));
        bool previewShown = false;
        WhenModal([&previewShown](QWidget *dialog) {
            previewShown = qobject_cast<QPrintPreviewDialog *>(dialog) != nullptr;
            dialog->close();
        });
        view.printPreview();
        QVERIFY(previewShown);
        QVERIFY(view.state().previewing);
        QTest::qWait(100);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!view.canCheckErrors());

        view.setEditorText(QStringLiteral("position 10 10\nzzz\n"));
        QString after;
        WhenModal([&after](QWidget *dialog) {
            dialog->close();
            WhenModal([&after](QWidget *next) {
                after = QString::fromLatin1(next->metaObject()->className());
                next->close();
            });
        });
        view.printPreview();
        QTRY_COMPARE(after, QStringLiteral("CErrorListDlg"));
        QVERIFY(view.canCheckErrors());
    }
};

ZENTOVA_APP_TEST(PrintingTest);
#include "printing_test.moc"
