// The settings store: defaults, values kept across runs, clamping of stored values, and
// the adjustment reaching the interpreter.
#include "testsupport.h"

#include "settingsstore.h"

#include "draw/nullsurface.h"
#include "draw/printjob.h"
#include "draw/tracesurface.h"
#include "engine/viewstate.h"

#include <QSettings>
#include <QTest>

#include <sstream>

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QSettings(QStringLiteral("Tirsel Applications"), QStringLiteral("Zentova")).clear();
    }

    // Values written by one store are read by the next; the adjustment is clamped when
    // written too.
    void valuesOutliveTheStore()
    {
        {
            SettingsStore store;
            store.setAdjust(-500, 12);
            store.setWindowSize(-1, -1);
            store.setCallPath(QStringLiteral("/帳票, with comma/"));
        }
        SettingsStore store;
        QCOMPARE(store.adjustX(), -100);
        QCOMPARE(store.adjustY(), 0);
        QCOMPARE(store.windowHeight(), -1);
        QCOMPARE(store.callPath(), QStringLiteral("/帳票, with comma/"));
        QCOMPARE(SettingsStore::FolderOf(QStringLiteral("/a/b/c.zent")), QStringLiteral("/a/b/"));
    }

    void storedValuesAreClampedAndTypeChecked_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("stored"); // invalid: nothing stored
        QTest::addColumn<int>("read");
        QTest::newRow("adjustX absent") << "adjustX" << QVariant() << 0;
        QTest::newRow("adjustX below") << "adjustX" << QVariant(-250) << -100;
        QTest::newRow("adjustX above") << "adjustX" << QVariant(30) << 0;
        QTest::newRow("adjustY in range") << "adjustY" << QVariant(-42) << -42;
        QTest::newRow("adjustY not a number") << "adjustY" << QVariant("abc") << 0;
        QTest::newRow("wndWidth absent") << "wndWidth" << QVariant() << 0;
        QTest::newRow("wndWidth trailing text") << "wndWidth" << QVariant("640px") << 0;
        QTest::newRow("wndHeight number text") << "wndHeight" << QVariant(" 480 ") << 480;
        QTest::newRow("zentPath a list") << "zentPath" << QVariant(QStringList{"a", "b"}) << 0;
    }

    void storedValuesAreClampedAndTypeChecked()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, stored);
        QFETCH(int, read);
        if (stored.isValid())
            QSettings(QStringLiteral("Tirsel Applications"), QStringLiteral("Zentova"))
                .setValue(QStringLiteral("Settings/") + name, stored);
        SettingsStore store;
        const int value = name == "adjustX"    ? store.adjustX()
                          : name == "adjustY"  ? store.adjustY()
                          : name == "wndWidth" ? store.windowWidth()
                          : name == "zentPath" ? store.zentPath().size()
                                               : store.windowHeight();
        QCOMPARE(value, read);
        if (name != "zentPath")
            QCOMPARE(store.ReadInt(name.toStdString(), 0), read);
    }

    // The interpreter reads the adjustment at every page: a stored value shifts the next
    // page without any restart.
    void theNextPageRunUsesAStoredAdjustment()
    {
        SettingsStore store;
        ViewState view;
        view.profile = &store;
        auto firstLine = [&]() {
            const std::string text = "line 100 100 200 100\r\n";
            NullSurface null;
            std::ostringstream out;
            TraceSurface trace(null, out);
            PrintJob job(view);
            job.Prepare(text, false, "");
            job.Begin(2100, 2970);
            job.PrintPage(trace, 1, text);
            job.End();
            const std::string trail = out.str();
            const std::size_t at = trail.find("\nline ");
            return trail.substr(at + 1, trail.find('\n', at + 1) - at - 1);
        };
        QVERIFY(firstLine().starts_with("line 566 566 "));
        store.setAdjust(-100, -50);
        // 100 - 100 = 0 and 100 - 50 = 50 page units: 0 and 283 logical units.
        const std::string shifted = firstLine();
        QVERIFY2(shifted.starts_with("line 0 283 "), shifted.c_str());
    }
};

ZENTOVA_APP_TEST(SettingsTest);
#include "settings_test.moc"
