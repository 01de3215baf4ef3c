// The command insertion tools and the clipboard images of the editor view: where a line
// goes, one undo step, the paths with their macros, the remembered folders, Cancel, the
// font dialog, and slots that outlive documents and are printed.
#include "testsupport.h"

#include "clipimagedialog.h"
#include "fontselectdialog.h"
#include "insertiontools.h"
#include "settingsstore.h"
#include "zentovadoc.h"
#include "zentovaview.h"

#include "draw/qt/printerjob.h"
#include "engine/codepage.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class InsertionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_temp;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<CZentovaDoc> m_doc;
    std::unique_ptr<CZentovaView> m_view;

    QString path(const QString &name) const { return m_temp->filePath(name); }

    void caretAt(int from, int to)
    {
        QTextCursor cursor = m_view->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        m_view->setTextCursor(cursor);
    }

private slots:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        m_prompter = std::make_unique<ScriptedPrompter>();
        m_settings = std::make_unique<SettingsStore>();
        m_settings->setPicturePath(QString());
        m_settings->setCallPath(QString());
        m_doc = std::make_unique<CZentovaDoc>(*m_prompter);
        m_view = std::make_unique<CZentovaView>(*m_doc, *m_settings, *m_prompter);
        m_doc->newDocument();
    }

    void cleanup()
    {
        m_view.reset();
        m_doc.reset();
    }

    // The line goes in front of the caret's line, never splitting it; a selection stays.
    void linesGoInFrontOfTheCaretsLineAsOneUndoStep()
    {
        const QString text = QStringLiteral("one\ntwo\nthree\nfour\nfive\nsix");
        m_view->setEditorText(text);
        m_prompter->colorAnswers = {QColor(255, 128, 0), QColor(1, 2, 3), QColor(4, 5, 6)};

        caretAt(10, 10); // in the middle of line 3
        m_view->insertColorCommand();
        QCOMPARE(m_view->editorText(),
                 QStringLiteral("one\ntwo\ncolor\t255\t128\t0\nthree\nfour\nfive\nsix"));
        QVERIFY(m_doc->isModified());
        m_view->undo();
        QCOMPARE(m_view->editorText(), text);

        caretAt(9, 21); // from line 3 into line 5
        m_view->insertColorCommand();
        QCOMPARE(m_view->editorText(),
                 QStringLiteral("one\ntwo\ncolor\t1\t2\t3\nthree\nfour\nfive\nsix"));
        m_view->undo();

        caretAt(2, 2); // on the first line
        m_view->insertColorCommand();
        QVERIFY(m_view->editorText().startsWith(QStringLiteral("color\t4\t5\t6\none\n")));

        // Cancel inserts nothing.
        const QString before = m_view->editorText();
        m_view->insertColorCommand();
        m_view->insertFontCommand();
        QCOMPARE(m_view->editorText(), before);
    }

    // Paths are shortened by the document's folder first, then the user's folders; a
    // folder that matches none keeps the whole path. The tool remembers the folder.
    void pathsAreAbbreviatedAndFoldersRemembered()
    {
        QDir(m_temp->path()).mkpath(QStringLiteral("docs"));
        QDir(m_temp->path()).mkpath(QStringLiteral("form"));
        m_view->state().documentsFolder = cp932::FromUtf8(path("docs/").toStdString());
        const QString logo = path("docs/logo.png");

        // An untitled document has no folder of its own.
        m_prompter->openFileAnswers = {logo};
        m_view->insertImageCommand();
        QCOMPARE(m_view->editorText(), QStringLiteral("!%Documents%logo.png\n"));
        QCOMPARE(m_settings->picturePath(), path("docs/"));
        QVERIFY(m_view->state().baseFolder.empty());

        // A saved document: its own folder wins.
        WriteBytes(path("form/form.zent"), "line 0 0 1 1\r\n");
        QVERIFY(m_doc->openDocument(path("form/form.zent")));
        m_prompter->openFileAnswers = {path("form/parts/frame.zent"), path("elsewhere.zent"),
                                       QString()};
        m_view->insertCallCommand();
        m_view->insertCallCommand();
        QCOMPARE(m_prompter->openFolders.last(), path("form/parts/"));
        m_view->insertCallCommand(); // cancelled
        QCOMPARE(m_view->editorText(),
                 QStringLiteral("<%With%parts/frame.zent\n<") + path("elsewhere.zent") +
                     QStringLiteral("\nline 0 0 1 1\n"));
        QCOMPARE(m_settings->callPath(), m_temp->path() + QLatin1Char('/'));
        QCOMPARE(m_settings->picturePath(), path("docs/"));
        m_prompter->openFileAnswers = {path("form/logo.bmp")};
        m_view->insertImageCommand();
        QCOMPARE(m_prompter->openFolders.last(), path("docs/"));
        // The caret stayed at the start of the line it was on.
        QVERIFY(m_view->editorText().endsWith(QStringLiteral("\n!%With%logo.bmp\nline 0 0 1 1\n")));
    }

    // Windows filters become Qt filters that find files whatever their extension's case.
    void fileFiltersOfferEveryFormat()
    {
        QCOMPARE(QtFileFilter(CP932("画像ファイル|*.BMP;*.png|ビットマップ (*.bmp)|*.BMP|"
                                    "PNG|*.png||")),
                 QStringLiteral("画像ファイル (*.BMP *.bmp *.png *.PNG);;"
                                "ビットマップ (*.BMP *.bmp);;PNG (*.png *.PNG)"));

        ViewState withPlugin;
        withPlugin.programFolder =
            cp932::FromUtf8(QStringLiteral(ZENTOVA_PROGRAM_DIR "/").toStdString());
        const QString filter = ImageFileFilter(withPlugin);
        QVERIFY2(filter.startsWith(QStringLiteral("画像ファイル (")), qPrintable(filter));
        QVERIFY2(filter.contains(QStringLiteral("*.jpg")) && filter.contains(QStringLiteral("*.png")),
                 qPrintable(filter));
        QVERIFY(filter.contains(QStringLiteral(";;ビットマップ (*.BMP *.bmp)")));
        QCOMPARE(ImageFileFilter(ViewState()), QStringLiteral("ビットマップ (*.bmp *.BMP)"));
    }

    // Every face once, sorted; Japanese faces also with "@"; OK needs a choice; the
    // chosen face comes back as listed and goes into a "/" line.
    void fontDialogListsFacesOnceAndReturnsThemAsListed()
    {
        CFontSelectDlg dialog;
        QStringList names;
        for (int i = 0; i < dialog.faceList()->count(); ++i)
            names << dialog.faceList()->item(i)->text();
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        QVERIFY(names.contains(QStringLiteral("IPAMincho")) || names.contains(QStringLiteral("IPA明朝")));
        const QString japanese = names.contains(QStringLiteral("IPAMincho"))
                                     ? QStringLiteral("IPAMincho")
                                     : QStringLiteral("IPA明朝");
        QVERIFY(names.contains(QLatin1Char('@') + japanese));
        QVERIFY(names.contains(QStringLiteral("DejaVu Sans")));
        QVERIFY(!names.contains(QStringLiteral("@DejaVu Sans")));
        QVERIFY(names.indexOf(QStringLiteral("DejaVu Sans")) < names.indexOf(japanese));

        dialog.show();
        dialog.accept();
        QVERIFY(dialog.isVisible()); // nothing chosen yet
        QVERIFY(dialog.previewSample().isEmpty());
        dialog.faceList()->setCurrentRow(names.indexOf(QStringLiteral("DejaVu Sans")));
        QCOMPARE(dialog.previewSample(), QStringLiteral("AaBbYyZz"));
        dialog.faceList()->setCurrentRow(names.indexOf(QLatin1Char('@') + japanese));
        QCOMPARE(dialog.previewSample(), QStringLiteral("Aaあぁアァ亜宇"));
        dialog.accept();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.selectedFace(), QLatin1Char('@') + japanese);

        m_prompter->faceAnswers = {dialog.selectedFace()};
        m_view->insertFontCommand();
        QCOMPARE(m_view->editorText(), QStringLiteral("/@") + japanese + QLatin1Char('\n'));
    }

    // A picture captured through the view's dialog stays in its slot through New, Open
    // and Reload, and the print job draws it with "!0".
    void slotsOutliveDocumentsAndArePrinted()
    {
        QImage picture(64, 32, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QApplication::clipboard()->setImage(picture);
        WhenModal([](QWidget *dialog) {
            if (auto *clip = qobject_cast<CClipImageDlg *>(dialog))
                clip->capture();
            dialog->close();
        });
        m_view->clipImage();
        QVERIFY(m_view->state().clipSlots.Slot(0));

        // An undefined command unless slot 0 holds the 64-pixel-wide picture.
        WriteBytes(path("pic.zent"), "!!0\r\n$aa ipw\r\nskip 1 $aa = 64\r\nzzz\r\n!0\r\n");
        m_doc->newDocument();
        QVERIFY(m_doc->openDocument(path("pic.zent")));
        m_view->reload();
        const ClipImage *slot = m_view->state().clipSlots.Slot(0);
        QVERIFY(slot);
        QCOMPARE(slot->width, 64);

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path("pic.pdf"));
        bool printed = false;
        const bool errors =
            PrintDocument(printer, m_view->state(), m_doc->commandBytes(), "", {}, &printed);
        QVERIFY(printed);
        QVERIFY2(!errors, m_view->state().errorText.str().c_str());
    }
};

ZENTOVA_APP_TEST(InsertionTest);
#include "insertion_test.moc"
