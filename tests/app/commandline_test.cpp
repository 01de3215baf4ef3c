// The command line: the file, print mode, the preview and the paper switches.
#include "testsupport.h"

#include "commandline.h"

#include <QTest>

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void switches_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("printMode");
        QTest::addColumn<bool>("preview");
        QTest::addColumn<int>("paperCode");
        QTest::addColumn<bool>("landscape");

        QTest::newRow("nothing") << QStringList{} << "" << false << false << 0 << false;
        QTest::newRow("/p and a file") << QStringList{"/p", "a.zent"} << "a.zent" << true
                                       << false << 0 << false;
        QTest::newRow("/p alone") << QStringList{"/p"} << "" << false << false << 0 << false;
        QTest::newRow("/pt is not /p") << QStringList{"/pt", "a.zent"} << "a.zent" << false
                                       << false << 0 << false;
        QTest::newRow("-pv") << QStringList{"-pv", "a.zent"} << "a.zent" << false << true << 0
                             << false;
        QTest::newRow("/#9") << QStringList{"/#9"} << "" << false << false << 9 << false;
        QTest::newRow("/pc wins over /#9") << QStringList{"/#9", "/pc"} << "" << false << false
                                           << 43 << false;
        QTest::newRow("/#0 changes nothing") << QStringList{"/#0"} << "" << false << false << 0
                                             << false;
        QTest::newRow("/#12abc") << QStringList{"/#12abc"} << "" << false << false << 12
                                 << false;
        QTest::newRow("/#huge saturates") << QStringList{"/#99999999999"} << "" << false << false
                                          << 2147483647 << false;
        QTest::newRow("first # decides") << QStringList{"/#0", "/#9"} << "" << false << false
                                         << 0 << false;
        QTest::newRow("/l") << QStringList{"/l", "b.zent"} << "b.zent" << false << false << 0
                            << true;
        QTest::newRow("switches together") << QStringList{"-pvl#9", "c.zent"} << "c.zent"
                                           << false << true << 9 << true;
        QTest::newRow("unknown switches") << QStringList{"/xyz", "--qqq", "d.zent"} << "d.zent"
                                          << false << false << 0 << false;
        QTest::newRow("absolute paths are files")
            << QStringList{"/p", "/home/lee/pv/form.zent"} << "/home/lee/pv/form.zent" << true
            << false << 0 << false;
        QTest::newRow("an existing file at the root") << QStringList{"/"} << "/" << false
                                                      << false << 0 << false;
    }

    void switches()
    {
        QFETCH(QStringList, arguments);
        const CommandLine line = ParseCommandLine(arguments);
        QTEST(line.file, "file");
        QTEST(line.printMode, "printMode");
        QTEST(line.preview, "preview");
        QTEST(line.paperCode(), "paperCode");
        QTEST(line.landscape, "landscape");
        QCOMPARE(line.changesPrinter(), line.paperCode() != 0 || line.landscape);
    }
};

ZENTOVA_APP_TEST(CommandLineTest);
#include "commandline_test.moc"
