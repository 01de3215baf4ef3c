// Print jobs on a QPrinter: the paper, the page range, cancelling between pages, and the
// error list after a preview.
#include "testsupport.h"

#include "printcontroller.h"
#include "settingsstore.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include "draw/qt/printerjob.h"
#include "engine/viewstate.h"

#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
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
        ViewState view;
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
        ViewState view;
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
        ViewState view;
        int pagesDone = 0;
        bool printed = true;
        PrintDocument(*pdfPrinter("cancelled.pdf"), view, kThreePages, "",
                      {[&pagesDone](int done, int) { return (pagesDone = done) < 1; }, {}},
                      &printed);
        QVERIFY(!printed);
        QCOMPARE(pagesDone, 1);
    }

    // Facing pages of landscape paper make the preview lay itself out for many seconds.
    void previewOffersNoFacingPagesForLandscapePaper()
    {
        Editor editor;
        editor.view.setEditorText(QStringLiteral("page\npage\npage\n"));
        editor.view.printController().setLandscape();
        int found = 0;
        const QString facing =
            QCoreApplication::translate("QPrintPreviewDialog", "Show facing pages");
        WhenModal([&found, &facing](QWidget *dialog) {
            for (QAction *action : dialog->findChildren<QAction *>())
                if (action->text() == facing)
                    found += action->isEnabled() ? 2 : 1;
            dialog->close();
        });
        editor.view.printPreview();
        QCOMPARE(found, 1);
    }

    void previewOpensTheErrorListOnlyAfterErrors()
    {
        Editor editor;
        CZentovaView &view = editor.view;
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

    // A page whose drawing would take hours: the progress dialog appears, its Cancel
    // stops the page itself, the preview closes without showing it, and the document is
    // untouched.
    void aPageThatNeverEndsIsCancelledFromTheProgressDialog()
    {
        Editor editor;
        const QString text = QStringLiteral(":.x\n* 10 10 2000000000\n");
        editor.view.setEditorText(text);
        const bool modifiedBefore = editor.doc.isModified();
        QString first;
        WhenModal([&first](QWidget *dialog) {
            first = QString::fromLatin1(dialog->metaObject()->className());
            if (auto *progress = qobject_cast<QProgressDialog *>(dialog))
                progress->cancel();
        });
        editor.view.printPreview();
        QCOMPARE(first, QStringLiteral("QProgressDialog"));
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(editor.view.editorText(), text);
        QCOMPARE(editor.doc.isModified(), modifiedBefore);
    }
};

ZENTOVA_APP_TEST(PrintingTest);
#include "printing_test.moc"
