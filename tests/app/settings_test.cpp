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

    // The raw store, as another program (or a hand-edited file) would write it.
    static void writeRaw(const QString &name, const QVariant &value)
    {
        QSettings raw(QStringLiteral("Tirsel Applications"), QStringLiteral("Zentova"));
        raw.setValue(QStringLiteral("Settings/") + name, value);
        raw.sync();
    }

private slots:
    void init()
    {
        QSettings(QStringLiteral("Tirsel Applications"), QStringLiteral("Zentova")).clear();
    }

    void absentValuesReadAsDefaults()
    {
        SettingsStore store;
        QCOMPARE(store.adjustX(), 0);
        QCOMPARE(store.adjustY(), 0);
        QCOMPARE(store.windowWidth(), 0);
        QCOMPARE(store.windowHeight(), 0);
        QCOMPARE(store.zentPath(), QString());
        QCOMPARE(store.picturePath(), QString());
        QCOMPARE(store.callPath(), QString());
        QCOMPARE(store.ReadInt("somethingElse", 7), 7);
    }

    void valuesOutliveTheStore()
    {
        {
            SettingsStore store;
            store.setAdjust(-35, -100);
            store.setWindowSize(-1, -1);
            store.setZentPath(QStringLiteral("/home/u/帳票/"));
            store.setPicturePath(QStringLiteral("/pics/"));
            store.setCallPath(QStringLiteral("/calls, with comma/"));
        }
        SettingsStore store;
        QCOMPARE(store.adjustX(), -35);
        QCOMPARE(store.adjustY(), -100);
        QCOMPARE(store.windowWidth(), -1);
        QCOMPARE(store.windowHeight(), -1);
        QCOMPARE(store.zentPath(), QStringLiteral("/home/u/帳票/"));
        QCOMPARE(store.picturePath(), QStringLiteral("/pics/"));
        QCOMPARE(store.callPath(), QStringLiteral("/calls, with comma/"));

        QSettings raw(QStringLiteral("Tirsel Applications"), QStringLiteral("Zentova"));
        QCOMPARE(raw.value(QStringLiteral("Settings/adjustX")).toInt(), -35);
        QCOMPARE(raw.value(QStringLiteral("Settings/wndWidth")).toInt(), -1);
    }

    void storedValuesAreClampedAndTypeChecked_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("read");
        QTest::newRow("adjustX below") << "adjustX" << QVariant(-250) << -100;
        QTest::newRow("adjustX above") << "adjustX" << QVariant(30) << 0;
        QTest::newRow("adjustY in range") << "adjustY" << QVariant(-42) << -42;
        QTest::newRow("adjustY not a number") << "adjustY" << QVariant("abc") << 0;
        QTest::newRow("wndWidth trailing text") << "wndWidth" << QVariant("640px") << 0;
        QTest::newRow("wndHeight number text") << "wndHeight" << QVariant(" 480 ") << 480;
    }

    void storedValuesAreClampedAndTypeChecked()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, stored);
        QFETCH(int, read);
        writeRaw(name, stored);
        SettingsStore store;
        const int value = name == "adjustX"   ? store.adjustX()
                          : name == "adjustY" ? store.adjustY()
                          : name == "wndWidth" ? store.windowWidth()
                                               : store.windowHeight();
        QCOMPARE(value, read);
        QCOMPARE(store.ReadInt(name.toStdString(), 0), read);
    }

    void wrongTypesAndRangesOnBothSides()
    {
        writeRaw(QStringLiteral("zentPath"), QStringList{"a", "b"});
        SettingsStore store;
        QCOMPARE(store.zentPath(), QString());
        store.setAdjust(-500, 12);
        QCOMPARE(store.adjustX(), -100);
        QCOMPARE(store.adjustY(), 0);
        QCOMPARE(SettingsStore::FolderOf(QStringLiteral("/a/b/c.zent")), QStringLiteral("/a/b/"));
    }

    // The interpreter reads the adjustment at every page: a stored value shifts the next
    // page without any restart.
    void theNextPageRunUsesAStoredAdjustment()
    {
        SettingsStore store;
        ViewState view;
        view.profile = &store;
        const std::string text = "line 100 100 200 100\r\n";
        auto firstLine = [&]() {
            NullSurface null;
            std::ostringstream out;
            TraceSurface trace(null, out);
            PrintJob job(view);
            job.Prepare(text, false, "");
            job.Begin(2100, 2970);
            job.PrintPage(trace, 1, text);
            job.End();
            std::istringstream lines(out.str());
            std::string line;
            while (std::getline(lines, line))
                if (line.rfind("line ", 0) == 0)
                    return line;
            return std::string();
        };
        const std::string unshifted = firstLine();
        QVERIFY(unshifted.rfind("line 566 566 ", 0) == 0);
        store.setAdjust(-100, -50);
        const std::string shifted = firstLine();
        // 100 - 100 = 0 and 100 - 50 = 50 page units: 0 and 283 logical units.
        QVERIFY2(shifted.rfind("line 0 283 ", 0) == 0, shifted.c_str());
    }
};

ZENTOVA_APP_TEST(SettingsTest);
#include "settings_test.moc"
