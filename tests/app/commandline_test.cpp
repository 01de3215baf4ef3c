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
        const auto row = [](const char *name, const QStringList &arguments, const char *file,
                            bool print, bool preview, int paper, bool landscape) {
            QTest::newRow(name) << arguments << QString::fromUtf8(file) << print << preview
                                << paper << landscape;
        };
        row("nothing", {}, "", false, false, 0, false);
        row("/p and a file", {"/p", "a.zent"}, "a.zent", true, false, 0, false);
        row("/p alone", {"/p"}, "", false, false, 0, false);
        row("/pt is not /p", {"/pt", "a.zent"}, "a.zent", false, false, 0, false);
        row("-pv", {"-pv", "a.zent"}, "a.zent", false, true, 0, false);
        row("/#9", {"/#9"}, "", false, false, 9, false);
        row("/pc wins over /#9", {"/#9", "/pc"}, "", false, false, 43, false);
        row("/#0 changes nothing", {"/#0"}, "", false, false, 0, false);
        row("/#12abc", {"/#12abc"}, "", false, false, 12, false);
        row("/#huge saturates", {"/#99999999999"}, "", false, false, 2147483647, false);
        row("first # decides", {"/#0", "/#9"}, "", false, false, 0, false);
        row("/l", {"/l", "b.zent"}, "b.zent", false, false, 0, true);
        row("switches together", {"-pvl#9", "c.zent"}, "c.zent", false, true, 9, true);
        row("unknown switches", {"/xyz", "--qqq", "d.zent"}, "d.zent", false, false, 0, false);
        row("absolute paths are files", {"/p", "/home/lee/pv/form.zent"},
            "/home/lee/pv/form.zent", true, false, 0, false);
        row("an existing file at the root", {"/"}, "/", false, false, 0, false);
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
