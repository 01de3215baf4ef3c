// Print jobs on a QPrinter: the paper, the page range, cancelling between pages; the
// preview of short and long files, and the error list after it.
#include "testsupport.h"

#include "pageview.h"
#include "previewdialog.h"
#include "printcontroller.h"
#include "settingsstore.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include "draw/drawingview.h"
#include "draw/qt/printerjob.h"

#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPrinter>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QTest>

namespace {

const QString kPdftoppm = QStringLiteral("/usr/bin/pdftoppm");

const std::string kThreePages = "position 100 100\r\n:.one\r\n*\r\npage\r\n"
                                "zzz bad on page two\r\npage\r\n:.three\r\n*\r\n";

// The line numbers of the error list, in its order.
QList<int> errorLines(const ViewState &state)
{
    QList<int> lines;
    const QString text = QString::fromLatin1(state.errorText.str());
    for (const QRegularExpressionMatch &m :
         QRegularExpression(QStringLiteral("^\\((\\d+)\\) "), QRegularExpression::MultilineOption)
             .globalMatch(text))
        lines << m.captured(1).toInt();
    return lines;
}

int pdfPageCount(const QString &path)
{
    const QString pdf = QString::fromLatin1(ReadBytes(path));
    return static_cast<int>(pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

} // namespace

// A view on a new document, as the main window holds it.
struct Editor {
    ScriptedPrompter prompter;
    SettingsStore settings;
    CZentovaDoc doc{prompter};
    CZentovaView view{doc, settings, prompter};
    Editor() { doc.newDocument(); }
};

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
        DrawingView view;
        auto printer = pdfPrinter("letter.pdf");
        printer->setResolution(600);
        printer->setPageSize(QPageSize(QPageSize::Letter));
        printer->setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        PrinterJob job(view);
        job.prepare("", false, "");
        job.begin(*printer);
        QCOMPARE(view.paperWidth, 2159);
        QCOMPARE(view.paperHeight, 2794);
    }

    void printsThePrintersPageRange()
    {
        DrawingView view;
        auto printer = pdfPrinter("range.pdf");
        printer->setPrintRange(QPrinter::PageRange);
        printer->setFromTo(2, 3);
        bool printed = false;
        int steps = 0;
        const bool errors =
            PrintDocument(*printer, view, kThreePages, "",
                          {[&steps](int, int total) { return ++steps, total == 2; }, {}},
                          &printed);
        QVERIFY(printed);
        QVERIFY(errors);
        QCOMPARE(steps, 3); // before the first page and after each
        QCOMPARE(pdfPageCount(m_dir.filePath("range.pdf")), 2);
        QVERIFY(view.errorText.str().find("(5) zzz") != std::string::npos);
    }

    void cancellingStopsBetweenPages()
    {
        DrawingView view;
        int pagesDone = 0;
        bool printed = true;
        PrintDocument(*pdfPrinter("cancelled.pdf"), view, kThreePages, "",
                      {[&pagesDone](int done, int) { return (pagesDone = done) < 1; }, {}},
                      &printed);
        QVERIFY(!printed);
        QCOMPARE(pagesDone, 1);
    }

    void previewOpensTheErrorListOnlyAfterErrors()
    {
        Editor editor;
        CZentovaView &view = editor.view;
        view.show();
        view.setEditorText(QStringLiteral("position 10 10\n:.fine\n*\n"));
        bool previewShown = false;
        WhenModal([&previewShown](QWidget *dialog) {
            previewShown = qobject_cast<PreviewDialog *>(dialog) != nullptr;
            dialog->close();
        });
        view.printPreview();
        QVERIFY(previewShown);
        QVERIFY(view.state().previewing);
        QTest::qWait(100);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!view.canCheckErrors());

        // A character without a code page 932 form is listed after the job's errors.
        view.setEditorText(QStringLiteral("position 10 10\n:.😀\nzzz\n"));
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
        QCOMPARE(QByteArray::fromStdString(view.state().errorText.str()),
                 Cp932("(3) zzz\r\n      定義されていないコマンドです\r\n"
                       "(2) :.?\r\n      Shift-JIS にない文字があります (?で印刷)\r\n"));
    }

    // Printed to a PDF file through the print dialog, a mark stands at its distance from
    // the paper's corner, as in zentova-print's PDFs: a PDF file has no unprintable edge;
    // the file is zentova-print's kind, from the program's own writer. The dialog offers
    // the command file's own name with ".pdf", beside it.
    void pdfFileTargetHasThePapersCornerAsOrigin()
    {
        if (!QFileInfo::exists(kPdftoppm))
            QSKIP("pdftoppm (poppler-utils) is not installed");
        Editor editor;
        editor.settings.setAdjust(0, 0);
        const QString form = m_dir.filePath(QStringLiteral("origin.form.zent"));
        QVERIFY(WriteBytes(form, "frectangle 100 200 300 450\r\n"));
        QVERIFY(editor.doc.openDocument(form));
        // A PDF file target whether or not printers are configured here.
        editor.view.printController().printer().setOutputFormat(QPrinter::PdfFormat);
        QString offered;
        WhenModal([&offered](QWidget *dialog) {
            if (auto *file = dialog->findChild<QLineEdit *>(QStringLiteral("filename")))
                offered = file->text();
            qobject_cast<QDialog *>(dialog)->accept();
        });
        QVERIFY(editor.view.print());
        const QString pdf = m_dir.filePath(QStringLiteral("origin.form.pdf"));
        QCOMPARE(offered, pdf);
        QVERIFY(ReadBytes(pdf).contains("/Producer(Zentova)"));

        // At 254 dots per inch a pixel is 0.1 mm.
        QProcess pdftoppm;
        pdftoppm.start(kPdftoppm, {"-r", "254", "-gray", "-singlefile", "-png", pdf,
                                   m_dir.filePath(QStringLiteral("origin"))});
        QVERIFY(pdftoppm.waitForFinished(30000) && pdftoppm.exitCode() == 0);
        const QImage page(m_dir.filePath(QStringLiteral("origin.png")));
        QVERIFY(!page.isNull());
        QRect inked;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128)
                    inked |= QRect(x, y, 1, 1);
        QVERIFY2(std::abs(inked.left() - 100) <= 1 && std::abs(inked.top() - 200) <= 1 &&
                     std::abs(inked.right() + 1 - 300) <= 1 &&
                     std::abs(inked.bottom() + 1 - 450) <= 1,
                 qPrintable(QStringLiteral("the mark covers %1,%2 to %3,%4")
                                .arg(inked.left()).arg(inked.top())
                                .arg(inked.right() + 1).arg(inked.bottom() + 1)));
    }

    // A PDF file that cannot be written is said so, not passed over as printed.
    void unwritablePdfFileIsReported()
    {
        Editor editor;
        editor.view.setEditorText(QStringLiteral("frectangle 100 200 300 450\n"));
        QPrinter &printer = editor.view.printController().printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString missing = m_dir.filePath(QStringLiteral("no-such-folder/out.pdf"));
        WhenModal([&missing](QWidget *dialog) {
            if (auto *file = dialog->findChild<QLineEdit *>(QStringLiteral("filename")))
                file->setText(missing);
            qobject_cast<QDialog *>(dialog)->accept();
        });
        printer.setOutputFileName(missing);
        QVERIFY(!editor.view.print());
        QCOMPARE(editor.prompter.messages.size(), 1);
        QVERIFY(editor.prompter.messages.front().startsWith(
            QStringLiteral("PDF ファイルを書き込めませんでした。\n") + missing));
    }

    // A generated file of 3,000 pages (3.4 MB) with a faulty line on every page: it opens;
    // its preview shows the first page having rendered no other; every page records its
    // errors when first shown, in whatever order; the page images kept stay within their
    // budget; the error list opens after the preview.
    void aLongFilePreviewsTheShownPagesOnly()
    {
        Editor editor;
        editor.view.show();
        QByteArray text;
        QList<int> faultyLine{0}; // by page
        const QByteArray comment = "# " + QByteArray(62, '-') + "\r\n";
        int line = 1;
        for (int page = 1; page <= 3000; ++page) {
            if (page > 1)
                text += "page\r\n", ++line;
            text += QStringLiteral("position 100 100\r\n:.page %1\r\n*\r\nzzz %1\r\n")
                        .arg(page).toLatin1();
            faultyLine << line + 3;
            text += comment.repeated(16);
            line += 4 + 16;
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.zent"));
        QVERIFY(WriteBytes(path, text));
        QVERIFY(editor.doc.openDocument(path));

        QList<QList<int>> seen;
        int imagesKept = 0;
        WhenModal([&](QWidget *dialog) {
            auto *preview = qobject_cast<PreviewDialog *>(dialog);
            const auto close = qScopeGuard([dialog] { dialog->close(); });
            QVERIFY(preview);
            PageView &pages = *preview->pageView();
            QCOMPARE(pages.pageCount(), 3000);
            QTRY_VERIFY(pages.showsPage());
            seen << errorLines(editor.view.state());
            for (int page : {2500, 3, 2500, 1}) {
                pages.setCurrentPage(page);
                QTRY_VERIFY(pages.showsPage());
            }
            seen << errorLines(editor.view.state());
            // Three pages at the largest zoom are more than the images' budget.
            pages.setZoom(PageView::ZoomSteps().back());
            for (int page : {4, 5, 6}) {
                pages.setCurrentPage(page);
                QTRY_VERIFY(pages.showsPage());
            }
            QVERIFY(preview->images().bytes() <= PreviewDialog::kImageBudget ||
                    preview->images().count() == 1);
            imagesKept = preview->images().count();
        });
        bool errorListShown = false;
        WhenModal(
            [&errorListShown](QWidget *dialog) {
                errorListShown = true;
                dialog->close();
            },
            "CErrorListDlg");
        editor.view.printPreview();
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], QList<int>{faultyLine[1]});
        QCOMPARE(seen[1], (QList<int>{faultyLine[1], faultyLine[2500], faultyLine[3]}));
        QVERIFY(imagesKept < 3);
        QTRY_VERIFY(errorListShown);
    }

    // A page whose drawing would take hours: the progress dialog appears, its Cancel
    // stops the page itself, the preview closes without showing it, and the document is
    // untouched.
    void aPageThatNeverEndsIsCancelledFromTheProgressDialog()
    {
        Editor editor;
        const QString text = QStringLiteral(":.x\n* 10 10 2000000000\n");
        editor.view.setEditorText(text);
        const bool modifiedBefore = editor.doc.isModified();
        bool cancelled = false;
        WhenModal(
            [&cancelled](QWidget *dialog) {
                if (auto *progress = qobject_cast<QProgressDialog *>(dialog)) {
                    progress->cancel();
                    cancelled = true;
                }
            },
            "QProgressDialog");
        editor.view.printPreview();
        QVERIFY(cancelled);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(editor.view.editorText(), text);
        QCOMPARE(editor.doc.isModified(), modifiedBefore);
    }
};

ZENTOVA_APP_TEST(PrintingTest);
#include "printing_test.moc"
