// zentova-print --printer on a real CUPS queue: a private scheduler with a PDF printer,
// the ruled form printed through it, and the PDF that comes out checked page by page.
// Skipped, with the reason, where a scheduler cannot be started here.
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <regex>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const char *const kCupsd = "/usr/sbin/cupsd";
const char *const kLpadmin = "/usr/sbin/lpadmin";
const char *const kLpstat = "/usr/bin/lpstat";
const char *const kPdfinfo = "/usr/bin/pdfinfo";
const char *const kPdftoppm = "/usr/bin/pdftoppm";
const char *const kBackend = "/usr/lib/cups/backend/cups-pdf";
const char *const kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
const char *const kCupsPdfConf = "/etc/cups/cups-pdf.conf";

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string tail(const std::string &text, std::size_t bytes = 1500)
{
    return text.size() <= bytes ? text : text.substr(text.size() - bytes);
}

// Starts `argv` with `env` added to this process's environment, standard output and
// error into `log`. Returns the child's id, or -1.
pid_t spawn(const std::vector<std::string> &argv, const std::vector<std::string> &env,
            const fs::path &log)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    for (const std::string &e : env)
        putenv(const_cast<char *>(e.c_str()));
    const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        dup2(fd, STDOUT_FILENO);
        dup2(fd, STDERR_FILENO);
        close(fd);
    }
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
}

// Waits up to `limit` for `pid`; kills it when it takes longer. The exit status, or -1.
int waitFor(pid_t pid, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0)
            return -1;
        if (Clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(50ms);
    }
}

struct Outcome {
    int status = -1;
    std::string output;
};

Outcome run(const std::vector<std::string> &argv, const std::vector<std::string> &env,
        const fs::path &log, std::chrono::milliseconds limit = 20s)
{
    Outcome r;
    const pid_t pid = spawn(argv, env, log);
    if (pid < 0)
        return r;
    r.status = waitFor(pid, limit);
    r.output = readAll(log);
    return r;
}

// Where cups-pdf puts the PDF of a job of this user: its "Out" folder with ${HOME}
// replaced, and the folder for jobs of unknown users.
std::vector<fs::path> cupsPdfFolders()
{
    std::string out = "${HOME}/PDF";
    std::string anonymous = "/var/spool/cups-pdf/ANONYMOUS";
    std::istringstream conf(readAll(kCupsPdfConf));
    for (std::string line; std::getline(conf, line);) {
        std::istringstream words(line);
        std::string key, value;
        words >> key >> value;
        if (key == "Out" && !value.empty())
            out = value;
        else if (key == "AnonDirName" && !value.empty())
            anonymous = value;
    }
    const passwd *user = getpwuid(geteuid());
    const std::string home = user ? user->pw_dir : "/root";
    for (std::size_t at; (at = out.find("${HOME}")) != std::string::npos;)
        out.replace(at, 7, home);
    return {out, anonymous};
}

std::set<fs::path> pdfsIn(const std::vector<fs::path> &folders)
{
    std::set<fs::path> found;
    for (const fs::path &folder : folders) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().extension() == ".pdf")
                found.insert(it->path());
    }
    return found;
}

// A private scheduler: its own configuration, spool and socket in a temporary folder, so
// it neither needs nor disturbs the machine's printing system or port 631.
class PrivateCups {
public:
    ~PrivateCups() { stop(); }

    // "" when the scheduler runs and answers; otherwise why it does not.
    std::string start()
    {
        char pattern[] = "/tmp/zentova-cups-XXXXXX";
        if (!mkdtemp(pattern))
            return std::string("no temporary folder: ") + std::strerror(errno);
        m_dir = pattern;
        chmod(m_dir.c_str(), 0755); // the filters run as another user
        for (const char *sub : {"spool", "cache", "state", "log", "ppd"})
            fs::create_directories(m_dir / sub);
        fs::create_directories(m_dir / "tmp");
        chmod((m_dir / "tmp").c_str(), 01777);
        m_socket = (m_dir / "cups.sock").string();
        std::ofstream(m_dir / "cupsd.conf") << "Listen " << m_socket << "\n"
                                            << "LogLevel info\n"
                                               "Browsing No\n"
                                               "WebInterface No\n"
                                               "DefaultAuthType None\n"
                                               "<Location />\n  Order allow,deny\n  Allow all\n"
                                               "</Location>\n"
                                               "<Location /admin>\n  Order allow,deny\n"
                                               "  Allow all\n</Location>\n";
        std::ofstream(m_dir / "cups-files.conf")
            << "ServerRoot " << m_dir.string() << "\nRequestRoot " << (m_dir / "spool").string()
            << "\nCacheDir " << (m_dir / "cache").string() << "\nStateDir "
            << (m_dir / "state").string() << "\nTempDir " << (m_dir / "tmp").string()
            << "\nAccessLog " << (m_dir / "log/access_log").string() << "\nErrorLog "
            << (m_dir / "log/error_log").string() << "\nPageLog "
            << (m_dir / "log/page_log").string() << "\n";

        m_pid = spawn({kCupsd, "-f", "-c", (m_dir / "cupsd.conf").string(), "-s",
                       (m_dir / "cups-files.conf").string()},
                      {}, m_dir / "cupsd.out");
        if (m_pid < 0)
            return "cannot start cupsd";
        const auto deadline = Clock::now() + 15s;
        while (Clock::now() < deadline) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return "cupsd stopped at once: " + tail(readAll(m_dir / "cupsd.out") +
                                                        readAll(m_dir / "log/error_log"));
            }
            if (fs::exists(m_socket) &&
                run({kLpstat, "-r"}, env(), m_dir / "lpstat.out", 5s).status == 0)
                return "";
            std::this_thread::sleep_for(100ms);
        }
        return "cupsd did not answer within 15 s: " + tail(readAll(m_dir / "log/error_log"));
    }

    // The environment that points the CUPS clients (and QPrinter) at this scheduler.
    std::vector<std::string> env() const { return {"CUPS_SERVER=" + m_socket}; }
    const fs::path &dir() const { return m_dir; }
    const std::string &socket() const { return m_socket; }
    std::string log() const { return tail(readAll(m_dir / "log/error_log"), 4000); }

    Outcome addPdfPrinter(const std::string &name)
    {
        Outcome r = run({kLpadmin, "-p", name, "-v", "cups-pdf:/", "-E", "-P", kPpd}, env(),
                    m_dir / "lpadmin.out");
        if (r.status == 0)
            m_printer = name;
        return r;
    }

    void stop()
    {
        if (!m_printer.empty()) {
            run({kLpadmin, "-x", m_printer}, env(), m_dir / "lpadmin-x.out");
            m_printer.clear();
        }
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            if (waitFor(m_pid, 10s) < 0)
                kill(m_pid, SIGKILL);
            m_pid = -1;
        }
        if (!m_dir.empty()) {
            std::error_code ec;
            fs::remove_all(m_dir, ec);
            m_dir.clear();
        }
    }

private:
    fs::path m_dir;
    std::string m_socket;
    std::string m_printer;
    pid_t m_pid = -1;
};

// One printed job: its PDF (removed whatever the test's outcome), what pdfinfo says of
// it, and what zentova-print wrote on standard error.
struct Printed {
    fs::path pdf;
    std::string info;
    int pages = 0;
    std::string errors;

    Printed() = default;
    Printed(Printed &&other) noexcept { *this = std::move(other); }
    Printed &operator=(Printed &&other) noexcept
    {
        std::swap(pdf, other.pdf);
        info = std::move(other.info);
        pages = other.pages;
        errors = std::move(other.errors);
        return *this;
    }
    ~Printed()
    {
        std::error_code ec;
        if (!pdf.empty())
            fs::remove(pdf, ec);
    }
};

int darkest(const QImage &page, QRect area)
{
    int value = 255;
    area = area.intersected(page.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            value = std::min(value, qGray(page.pixel(x, y)));
    return value;
}

// Pixels at `dpi` of a length in 0.1 mm.
int px(double tenthsOfMm, int dpi)
{
    return static_cast<int>(tenthsOfMm / 254.0 * dpi + 0.5);
}

// The printable area's corner on A4 paper as Qt places it on `printer` through the
// scheduler at `socket`, in 0.1 mm: where a command file's origin lands on the sheet.
QPointF printableCorner(const std::string &socket, const std::string &printer)
{
    setenv("CUPS_SERVER", socket.c_str(), 1);
    static int argc = 1;
    static char name[] = "cups_print_tests";
    static char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QPrinter device(QPrinterInfo::printerInfo(QString::fromStdString(printer)),
                    QPrinter::HighResolution);
    device.setPageSize(QPageSize(QPageSize::A4));
    const QMarginsF margins = device.pageLayout().margins(QPageLayout::Millimeter);
    unsetenv("CUPS_SERVER");
    return QPointF(margins.left() * 10, margins.top() * 10);
}

} // namespace

TEST(CupsPrinter, RuledFormPrintsAsTwoPagesWithItsRulesInPlace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a private CUPS scheduler with the cups-pdf backend needs root";
    for (const char *needed : {kCupsd, kLpadmin, kLpstat, kPdfinfo, kPdftoppm, kBackend, kPpd})
        if (access(needed, F_OK) != 0)
            GTEST_SKIP() << needed << " is not installed";

    PrivateCups cups;
    const std::string why = cups.start();
    if (!why.empty())
        GTEST_SKIP() << "no CUPS scheduler here: " << why;
    const std::string printer = "zentova-test-" + std::to_string(getpid());
    const Outcome added = cups.addPdfPrinter(printer);
    ASSERT_EQ(added.status, 0) << added.output << cups.log();

    fs::create_directories(cups.dir() / "config");
    std::vector<std::string> env = cups.env();
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("XDG_CONFIG_HOME=" + (cups.dir() / "config").string());
    const std::vector<fs::path> folders = cupsPdfFolders();

    // Prints `input` with `options` and fetches the job's PDF. A unique job title tells
    // its PDF apart from any other in the folder; the PDF has passed the filters and the
    // backend once pdfinfo reads it.
    auto print = [&](const std::string &stem, std::vector<std::string> options, int status) {
        Printed job;
        const fs::path input = cups.dir() / (stem + ".zent");
        fs::copy_file(ZENTOVA_EXAMPLES_DIR "/ruled-form.zent", input);
        const std::set<fs::path> before = pdfsIn(folders);
        std::vector<std::string> argv{ZENTOVA_PRINT, "--printer", printer};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back(input.string());
        const Outcome printed = run(argv, env, cups.dir() / (stem + ".out"), 60s);
        EXPECT_EQ(printed.status, status) << printed.output << cups.log();
        job.errors = printed.output;
        const auto deadline = Clock::now() + 60s;
        while (Clock::now() < deadline) {
            for (const fs::path &p : pdfsIn(folders))
                if (!before.count(p) && p.filename().string().find(stem) != std::string::npos)
                    job.pdf = p;
            if (!job.pdf.empty()) {
                const Outcome r = run({kPdfinfo, job.pdf.string()}, {}, cups.dir() / "info", 10s);
                std::smatch pages;
                if (r.status == 0 &&
                    std::regex_search(r.output, pages, std::regex(R"(Pages:\s+(\d+))"))) {
                    job.info = r.output;
                    job.pages = std::stoi(pages[1].str());
                    return job;
                }
            }
            std::this_thread::sleep_for(250ms);
        }
        ADD_FAILURE() << "no PDF of the job " << stem << " within 60 s in "
                      << folders.front().string() << "\n" << cups.log();
        return job;
    };

    const std::string tag = std::to_string(getpid());
    const Printed whole = print("zentova-cups-" + tag, {}, 0);
    ASSERT_FALSE(whole.info.empty());
    EXPECT_EQ(whole.pages, 2) << whole.info;
    EXPECT_NE(whole.info.find("595 x 842"), std::string::npos) << "not A4: " << whole.info;

    // The page range of the command line is the printer's: only page 2 is printed.
    const Printed second = print("zentova-cups-second-" + tag, {"--pages", "2"}, 0);
    EXPECT_EQ(second.pages, 1) << second.info;

    const fs::path pdf = whole.pdf;
    // Page 1 at 100 dpi: the form's outer frame (0.5 mm wide, from 15 mm to 195 mm across
    // and from 50 mm to 266 mm down, measured from the printable area's corner) where the
    // command file puts it, white paper outside.
    const QPointF corner = printableCorner(cups.socket(), printer);
    constexpr int dpi = 100;
    const fs::path prefix = cups.dir() / "page";
    const Outcome raster = run({kPdftoppm, "-r", std::to_string(dpi), "-gray", "-f", "1", "-l", "1",
                            pdf.string(), prefix.string()},
                           {}, cups.dir() / "pdftoppm.out", 30s);
    ASSERT_EQ(raster.status, 0) << raster.output;
    fs::path pgm;
    for (const auto &entry : fs::directory_iterator(cups.dir()))
        if (entry.path().filename().string().rfind("page", 0) == 0 &&
            entry.path().extension() == ".pgm")
            pgm = entry.path();
    const QImage page(QString::fromStdString(pgm.string()));
    ASSERT_FALSE(page.isNull()) << "cannot read " << pgm.string();
    EXPECT_EQ(page.width(), px(2100, dpi));

    const int top = px(500 + corner.y(), dpi), left = px(150 + corner.x(), dpi),
              middleX = px(1050, dpi), middleY = px(1500, dpi);
    EXPECT_LT(darkest(page, QRect(middleX, top - 2, 1, 5)), 100) << "no top rule at 50 mm";
    EXPECT_LT(darkest(page, QRect(left - 2, middleY, 5, 1)), 100) << "no left rule at 15 mm";
    EXPECT_GT(darkest(page, QRect(middleX, top - 12, 1, 6)), 200) << "marks above the frame";
    EXPECT_GT(darkest(page, QRect(left - 14, middleY, 8, 1)), 200) << "marks left of the frame";
}

TEST(CupsPrinter, UnknownPrinterIsABadUsage)
{
    const fs::path log = fs::temp_directory_path() / ("zentova-cups-" + std::to_string(getpid()) + ".log");
    const Outcome r = run({ZENTOVA_PRINT, "--printer", "zentova-no-such-printer",
                           ZENTOVA_EXAMPLES_DIR "/ruled-form.zent"},
                          {"CUPS_SERVER=/nonexistent/cups.sock", "QT_QPA_PLATFORM=offscreen"},
                          log, 30s);
    fs::remove(log);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("unknown printer 'zentova-no-such-printer'"), std::string::npos)
        << r.output;
}
