// Merge printing in the desktop program: the data file chosen per document, remembered,
// shown in the status bar, and run by the preview for every record.
#include "testsupport.h"

#include "commandtable.h"
#include "mainframe.h"
#include "pageview.h"
#include "previewdialog.h"
#include "zentovaapp.h"
#include "zentovaview.h"

#include <QAction>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class MergeTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<CZentovaApp> m_app;

    void start(const QString &document)
    {
        m_app = std::make_unique<CZentovaApp>(*m_prompter);
        QVERIFY(m_app->start({document}));
    }
    QAction *action(CommandId id) { return m_app->frame().commands().action(id); }
    // The status bar's note, "" while it is hidden.
    QString status()
    {
        auto *label = m_app->frame().findChild<QLabel *>(QStringLiteral("mergeStatus"));
        return label && label->isVisibleTo(&m_app->frame()) ? label->text() : QString();
    }
    QString file(const QString &name, const QByteArray &bytes)
    {
        WriteBytes(m_dir.filePath(name), bytes);
        return m_dir.filePath(name);
    }

private slots:
    void init()
    {
        QSettings(QStringLiteral("Tirsel Applications"), QStringLiteral("Zentova")).clear();
        m_prompter = std::make_unique<ScriptedPrompter>();
    }

    void cleanup() { m_app.reset(); }

    void choiceIsShownRememberedPerDocumentAndCleared()
    {
        const QString card = file("card.zent", ":.{{nm}}\r\n*\r\n");
        const QString other = file("other.zent", "page\r\n");
        const QString bad = file("bad.csv", "nm\nA\nB,C\n");
        const QString good = file("good.csv", "nm\n山田\n佐藤\n\"鈴木, 一郎\"\n");
        start(card);
        m_prompter->openFileAnswers << bad << good;
        action(ID_MERGE_DATA)->trigger();
        QCOMPARE(m_prompter->messages.size(), 1);
        QVERIFY(m_prompter->messages[0].contains(QStringLiteral("3 行目 2 列目")));
        QCOMPARE(status(), QString());
        action(ID_MERGE_DATA)->trigger();
        QCOMPARE(status(), QStringLiteral("差し込み: good.csv (3 件)"));
        QVERIFY(action(ID_MERGE_NONE)->isEnabled());

        start(card);
        QCOMPARE(status(), QStringLiteral("差し込み: good.csv (3 件)"));
        QVERIFY(m_app->openDocumentFile(other));
        QCOMPARE(status(), QString());
        QVERIFY(!action(ID_MERGE_NONE)->isEnabled());
        QVERIFY(m_app->openDocumentFile(card));
        QCOMPARE(status(), QStringLiteral("差し込み: good.csv (3 件)"));
        action(ID_MERGE_NONE)->trigger();
        QCOMPARE(status(), QString());
        start(card);
        QCOMPARE(status(), QString());
    }

    // Two pages and three records: the preview has six pages.
    void previewRunsEveryRecord()
    {
        start(file("two.zent", ":.{{nm}}\r\n*\r\npage\r\n:.{{nm}}\r\n*\r\n"));
        m_prompter->openFileAnswers << file("three.csv", "nm\nA\nB\nC\n");
        action(ID_MERGE_DATA)->trigger();
        int pages = 0;
        WhenModal([&pages](QWidget *dialog) {
            if (auto *preview = qobject_cast<PreviewDialog *>(dialog))
                pages = preview->pageView()->pageCount();
            dialog->close();
        });
        m_app->frame().view().printPreview();
        QCOMPARE(pages, 6);
    }
};

ZENTOVA_APP_TEST(MergeTest);
#include "merge_test.moc"
