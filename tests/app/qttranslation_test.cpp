// Qt's own texts in Japanese: standard buttons and the print preview's tools.
#include "testsupport.h"

#include "qttranslation.h"

#include <QAction>
#include <QCoreApplication>
#include <QLocale>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

class QtTranslationTest : public QObject {
    Q_OBJECT

private slots:
    void qtTextsAreJapanese()
    {
        const QLocale locale;
        QTranslator *translator = InstallQtJapanese();
        QVERIFY2(translator, "qt6-translations-l10n is not installed");

        QMessageBox box(QMessageBox::Question, QStringLiteral("Zentova"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));

        QPrinter printer;
        QPrintPreviewDialog preview(&printer);
        QStringList tips;
        for (const QAction *action : preview.findChildren<QAction *>())
            tips << action->toolTip();
        QVERIFY2(tips.contains(QStringLiteral("次のページ")), qPrintable(tips.join(' ')));

        QCoreApplication::removeTranslator(translator);
        delete translator;
        QLocale::setDefault(locale);
    }
};

ZENTOVA_APP_TEST(QtTranslationTest);
#include "qttranslation_test.moc"
