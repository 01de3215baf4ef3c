// The settings store: defaults, values kept across runs, clamping of stored values.
#include "testsupport.h"

#include "settingsstore.h"

#include <QSettings>
#include <QTest>

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
};

ZENTOVA_APP_TEST(SettingsTest);
#include "settings_test.moc"
