// zentova-print --printer on a real CUPS queue: a private scheduler with a cups-pdf
// printer, the ruled form printed through it, and the PDF that comes out checked.
// Skipped, with the reason, where no scheduler can be started here.
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <regex>
#include <set>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const char *const kCupsd = "/usr/sbin/cupsd", *const kLpadmin = "/usr/sbin/lpadmin",
                  *const kLpstat = "/usr/bin/lpstat", *const kPdfinfo = "/usr/bin/pdfinfo",
                  *const kPdftoppm = "/usr/bin/pdftoppm",
                  *const kBackend = "/usr/lib/cups/backend/cups-pdf",
                  *const kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Outcome {
    int status = -1; // -1: it crashed, could not start or was killed
    std::string output;
};

// Runs a program in this process's environment, killed after `seconds`.
Outcome run(const std::vector<std::string> &argv, int seconds = 20)
{
    QStringList arguments;
    for (const std::string &a : argv)
        arguments << QString::fromStdString(a);
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(arguments.takeFirst(), arguments);
    const bool finished = process.waitForFinished(seconds * 1000);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    const bool normal = finished && process.exitStatus() == QProcess::NormalExit;
    return {normal ? process.exitCode() : -1, process.readAll().toStdString()};
}

// Where cups-pdf puts this user's jobs: its "Out" folder with ${HOME} replaced, and the
// folder for jobs of unknown users.
std::vector<fs::path> cupsPdfFolders()
{
    std::string out = "${HOME}/PDF", anonymous = "/var/spool/cups-pdf/ANONYMOUS";
    std::istringstream conf(readAll("/etc/cups/cups-pdf.conf"));
    for (std::string line, key, value; std::getline(conf, line);)
        if (std::istringstream(line) >> key >> value && (key == "Out" || key == "AnonDirName"))
            (key == "Out" ? out : anonymous) = value;
    const passwd *user = getpwuid(geteuid());
    if (const std::size_t at = out.find("${HOME}"); at != std::string::npos)
        out.replace(at, 7, user ? user->pw_dir : "/root");
    return {out, anonymous};
}

// A private scheduler: configuration, spool and socket in a temporary folder, so it
// neither needs nor disturbs the machine's printing system or port 631. Stopped, with
// its folder and the PDFs of its jobs removed, whatever the test's outcome.
struct PrivateCups {
    fs::path dir;
    QProcess cupsd;
    std::set<fs::path> pdfs;

    ~PrivateCups()
    {
        if (cupsd.state() != QProcess::NotRunning) {
            cupsd.terminate();
            if (!cupsd.waitForFinished(10000)) {
                cupsd.kill();
                cupsd.waitForFinished();
            }
        }
        std::error_code ec;
        for (const fs::path &pdf : pdfs)
            fs::remove(pdf, ec);
        if (!dir.empty())
            fs::remove_all(dir, ec);
    }

    std::string log() const
    {
        const std::string text = readAll(dir / "log/error_log");
        return text.substr(text.size() > 4000 ? text.size() - 4000 : 0);
    }

    // "" once the scheduler answers, with CUPS_SERVER pointing the clients at it;
    // otherwise why it does not.
    std::string start()
    {
        char pattern[] = "/tmp/zentova-cups-XXXXXX";
        if (!mkdtemp(pattern))
            return std::string("no temporary folder: ") + std::strerror(errno);
        dir = pattern;
        for (const char *sub : {"spool", "cache", "state", "log", "tmp", "config"})
            fs::create_directories(dir / sub);
        fs::permissions(dir, fs::perms(0755)); // the filters run as another user
        fs::permissions(dir / "tmp", fs::perms(01777));
        const std::string socket = (dir / "cups.sock").string();
        std::ofstream(dir / "cupsd.conf")
            << "Listen " << socket << "\nLogLevel info\nBrowsing No\nWebInterface No\n"
            << "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n"
            << "</Location>\n<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n";
        std::ofstream files(dir / "cups-files.conf");
        files << "ServerRoot " << dir.string() << "\n";
        for (const auto &[key, path] : {std::pair{"RequestRoot", "spool"}, {"CacheDir", "cache"},
                                        {"StateDir", "state"}, {"TempDir", "tmp"},
                                        {"AccessLog", "log/access_log"},
                                        {"ErrorLog", "log/error_log"}, {"PageLog", "log/page_log"}})
            files << key << ' ' << (dir / path).string() << '\n';
        files.close();

        qputenv("CUPS_SERVER", socket.c_str());
        cupsd.setProcessChannelMode(QProcess::MergedChannels);
        cupsd.setStandardOutputFile(QString::fromStdString((dir / "cupsd.out").string()));
        cupsd.start(kCupsd, {"-f", "-c", QString::fromStdString((dir / "cupsd.conf").string()),
                             "-s", QString::fromStdString((dir / "cups-files.conf").string())});
        if (!cupsd.waitForStarted())
            return "cannot start cupsd: " + cupsd.errorString().toStdString();
        for (const auto deadline = Clock::now() + 15s; Clock::now() < deadline;) {
            if (cupsd.waitForFinished(100))
                return "cupsd stopped at once: " + readAll(dir / "cupsd.out") + log();
            if (fs::exists(socket) && run({kLpstat, "-r"}, 5).status == 0)
                return "";
        }
        return "cupsd did not answer within 15 s: " + log();
    }
};

struct Job {
    fs::path pdf;
    int pages = 0;
    std::string info; // what pdfinfo says of it
};

} // namespace

TEST(CupsPrinter, RuledFormPrintsAsTwoPagesWithItsRulesInPlace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a private CUPS scheduler with the cups-pdf backend needs root";
    for (const char *needed : {kCupsd, kLpadmin, kLpstat, kPdfinfo, kPdftoppm, kBackend, kPpd})
        if (access(needed, F_OK) != 0)
            GTEST_SKIP() << needed << " is not installed";
    int argc = 1;
    char name[] = "cups_print_tests", *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    PrivateCups cups;
    if (const std::string why = cups.start(); !why.empty())
        GTEST_SKIP() << "no CUPS scheduler here: " << why;
    const std::string tag = std::to_string(getpid()), printer = "zentova-test-" + tag;
    const Outcome added = run({kLpadmin, "-p", printer, "-v", "cups-pdf:/", "-E", "-P", kPpd});
    ASSERT_EQ(added.status, 0) << added.output << cups.log();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", (cups.dir / "config").c_str());

    // Prints the ruled form as the job `stem` and waits for its PDF: cups-pdf names it
    // after the job's title, and it has passed the filters and the backend once pdfinfo
    // reads it.
    const std::vector<fs::path> folders = cupsPdfFolders();
    auto print = [&](const std::string &stem, std::vector<std::string> options) -> Job {
        const fs::path input = cups.dir / (stem + ".zent");
        fs::copy_file(ZENTOVA_EXAMPLES_DIR "/ruled-form.zent", input);
        options.insert(options.begin(), {ZENTOVA_PRINT, "--printer", printer});
        options.push_back(input.string());
        const Outcome printed = run(options, 60);
        EXPECT_EQ(printed.status, 0) << printed.output << cups.log();
        for (const auto deadline = Clock::now() + 60s; Clock::now() < deadline;) {
            std::error_code ec;
            for (const fs::path &folder : folders)
                for (const auto &entry : fs::directory_iterator(folder, ec)) {
                    const fs::path &pdf = entry.path();
                    if (pdf.extension() != ".pdf" ||
                        pdf.filename().string().find(stem) == std::string::npos)
                        continue;
                    cups.pdfs.insert(pdf);
                    const Outcome info = run({kPdfinfo, pdf.string()}, 10);
                    std::smatch pages;
                    if (info.status == 0 &&
                        std::regex_search(info.output, pages, std::regex(R"(Pages:\s+(\d+))")))
                        return {pdf, std::stoi(pages[1].str()), info.output};
                }
            std::this_thread::sleep_for(250ms);
        }
        ADD_FAILURE() << "no PDF of the job " << stem << " within 60 s in " << folders.front()
                      << "\n" << cups.log();
        return {};
    };

    const Job whole = print("zentova-cups-" + tag, {});
    ASSERT_FALSE(whole.pdf.empty());
    EXPECT_EQ(whole.pages, 2) << whole.info;
    EXPECT_NE(whole.info.find("595 x 842"), std::string::npos) << "not A4: " << whole.info;
    // The command line's page range is the printer's: only page 2 comes out.
    EXPECT_EQ(print("zentova-cups-second-" + tag, {"--pages", "2"}).pages, 1);
    // Merge printing: page 2 of each of three copies, one job.
    const fs::path data = cups.dir / "three.csv";
    std::ofstream(data) << "nm\nA\nB\nC\n";
    EXPECT_EQ(print("zentova-cups-merged-" + tag, {"--data", data.string(), "--pages", "2"}).pages,
              3);

    // Page 1 at 100 dpi: the form's outer frame (0.5 mm rules from 15 mm across and 50 mm
    // down, measured from the printable area's corner as Qt places it on this printer)
    // where the command file puts it, white paper outside.
    QPrinter device(QPrinterInfo::printerInfo(QString::fromStdString(printer)),
                    QPrinter::HighResolution);
    device.setPageSize(QPageSize(QPageSize::A4));
    const QMarginsF corner = device.pageLayout().margins(QPageLayout::Millimeter);
    const std::string prefix = (cups.dir / "page").string();
    const Outcome raster = run({kPdftoppm, "-r", "100", "-gray", "-f", "1", "-l", "1",
                                "-singlefile", whole.pdf.string(), prefix},
                               30);
    ASSERT_EQ(raster.status, 0) << raster.output;
    const QImage page(QString::fromStdString(prefix + ".pgm"));
    ASSERT_FALSE(page.isNull()) << "cannot read " << prefix << ".pgm";
    const auto px = [](double mm) { return static_cast<int>(mm / 25.4 * 100 + 0.5); };
    const auto darkest = [&page](QRect area) {
        int value = 255;
        area = area.intersected(page.rect());
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                value = std::min(value, qGray(page.pixel(x, y)));
        return value;
    };
    EXPECT_EQ(page.width(), px(210));
    const int top = px(50 + corner.top()), left = px(15 + corner.left());
    EXPECT_LT(darkest(QRect(px(105), top - 2, 1, 5)), 100) << "no top rule at 50 mm";
    EXPECT_LT(darkest(QRect(left - 2, px(150), 5, 1)), 100) << "no left rule at 15 mm";
    EXPECT_GT(darkest(QRect(px(105), top - 12, 1, 6)), 200) << "marks above the frame";
    EXPECT_GT(darkest(QRect(left - 14, px(150), 8, 1)), 200) << "marks left of the frame";
}

TEST(CupsPrinter, UnknownPrinterIsABadUsage)
{
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const Outcome r = run({ZENTOVA_PRINT, "--printer", "zentova-no-such-printer",
                           ZENTOVA_EXAMPLES_DIR "/ruled-form.zent"},
                          30);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("unknown printer 'zentova-no-such-printer'"), std::string::npos)
        << r.output;
}
