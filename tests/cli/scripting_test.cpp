// zentova-print in scripts, editors and pipelines: error formats, standard input and
// output, paper names and sizes, --root, --watch, and the usage errors of each.
#include "printrun.h"

#include "draw/papersizes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>

namespace {

TEST_F(ZentovaPrint, ErrorFormatsForPeopleEditorsAndTools)
{
    commandFile("part.zent", "\n\nbogus");
    const std::string file =
        commandFile("e.zent", "line 0 0 1 1\nfrobnicate\t\"x\"\ncolor 1 2 300\n<%With%part.zent");
    const std::string gnu = file + ":2: 定義されていないコマンドです: frobnicate\t\"x\"\n" +
                            file + ":3: 数値が範囲外です: color 1 2 300\n" + file +
                            ":4: 呼び出しファイル中でエラーが発生 (3): <%With%part.zent\n";
    for (const char *option : {"", "--error-format list", "--error-format=gnu",
                               "--error-format json", "--error-format=json --trace"}) {
        SCOPED_TRACE(option);
        const Result r = run(std::string("--check ") + option + " " + file);
        ASSERT_EQ(r.status, 1);
        if (std::string(option).find("gnu") != std::string::npos) {
            EXPECT_EQ(r.err, gnu);
        } else if (std::string(option).find("json") != std::string::npos) {
            QJsonParseError error;
            const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(r.err), &error);
            ASSERT_EQ(error.error, QJsonParseError::NoError) << r.err;
            const QJsonArray entries = json.array();
            ASSERT_EQ(entries.size(), 3);
            const QJsonObject first = entries[0].toObject();
            EXPECT_EQ(first["file"].toString().toStdString(), file);
            EXPECT_EQ(first["line"].toInt(), 2);
            EXPECT_EQ(first["code"].toInt(), 20);
            EXPECT_EQ(first["message"].toString(), QStringLiteral("定義されていないコマンドです"));
            EXPECT_EQ(first["text"].toString(), QStringLiteral("frobnicate\t\"x\""));
            EXPECT_EQ(entries[1].toObject()["code"].toInt(), 22);
            EXPECT_EQ(entries[2].toObject()["code"].toInt(), 30);
        } else {
            EXPECT_EQ(r.err.substr(0, 16), "(2) frobnicate  ");
        }
    }
    // A clean file: nothing for people and editors, an empty array for tools.
    const std::string clean = commandFile("ok.zent", "line 0 0 1 1");
    EXPECT_EQ(run("--check --error-format gnu " + clean).err, "");
    const Result none = run("--check --error-format json " + clean);
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.err, "[]\n");
}

TEST_F(ZentovaPrint, StandardInputAndOutput)
{
    // Relative paths and %With% of a command file read from standard input resolve in
    // the current folder.
    commandFile("parts/frame.zent", "lrectangle 10 10 100 100");
    const std::string piped = commandFile("piped.zent", "<parts/frame.zent\n<%With%parts/frame.zent");
    Result pdf = run("-o - - < " + piped, ZENTOVA_PRINT, m_dir);
    EXPECT_EQ(pdf.status, 0) << pdf.err;
    EXPECT_EQ(pdf.out.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.out.find("%%EOF"), std::string::npos);
    EXPECT_EQ(pdf.err, "");
    EXPECT_FALSE(fs::exists(m_dir / "-")); // no file named after the stream

    // Bytes that are no command file run as the same bytes in a file would.
    const fs::path binary = m_dir / "binary.zent";
    std::ofstream(binary, std::ios::binary) << std::string("\x01\xff\x00\x1a\x80zz\r\n", 9);
    const Result fromFile = run("--check --error-format json " + binary.string());
    const Result fromInput = run("--check --error-format json - < " + binary.string());
    EXPECT_EQ(fromInput.status, fromFile.status);
    EXPECT_EQ(fromInput.status, 1);
    std::string expected = fromFile.err;
    expected.replace(expected.find(binary.string()), binary.string().size(), "<stdin>");
    EXPECT_EQ(fromInput.err, expected);
}

TEST_F(ZentovaPrint, PaperByNameCodeAndSize)
{
    const std::string file = commandFile("p.zent", "line 0 0 1 1");
    for (const auto &[paper, line] : {std::pair<std::string, std::string>{"kaku2", "2400 3320"},
                                      {"CHOU3", "1200 2350"}, {"you4", "1050 2350"},
                                      {"74", "900 2050"}, {"90x55", "900 550"},
                                      {"100.5X148", "1005 1480"}, {"2000x2000", "20000 20000"}}) {
        const std::string trace = run("--trace --paper " + paper + " " + file).out;
        EXPECT_EQ(trace.substr(0, trace.find('\n')), "page 1 paper " + line) << paper;
    }
    // --help lists every name the tool takes.
    const std::string help = run("--help").out;
    for (std::string_view name : PaperNames())
        EXPECT_TRUE(help.find(" " + std::string(name)) != std::string::npos ||
                    help.find("\n" + std::string(name)) != std::string::npos)
            << name;
}

TEST_F(ZentovaPrint, BadUsageEndsWithStatusTwo)
{
    const std::string file = commandFile("a.zent", "line 0 0 1 1");
    const std::pair<std::string, std::string> cases[] = {
        {"--error-format xml " + file, "unknown error format 'xml'"},
        {"--paper 0x55 " + file, "out of range"},
        {"--paper 2000.1x10 " + file, "out of range"},
        {"--paper 90x " + file, "bad paper size"},
        {"--paper a9 " + file, "unknown paper 'a9'"},
        {"-o -.png " + file, "PNG pages cannot go to standard output"},
        {"--trace -o - " + file, "cannot be combined with -o -"},
        {"- < " + file, "give -o PATH or -o -"},
        {"--watch - < " + file, "--watch"},
        {"--watch --printer '' " + file, "--watch"},
        {"--root " + (m_dir / "none").string() + " " + file, "is no folder"},
    };
    for (const auto &[args, message] : cases) {
        const Result r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << args << "\n" << r.err;
    }
}

TEST_F(ZentovaPrint, RootConfinesCallsAndPictures)
{
    commandFile("secret.zent", "line 0 0 1 1");
    commandFile("jobs/frame.zent", "line 0 0 1 1");
    const std::string job = commandFile("jobs/job.zent", "<%With%frame.zent\n<%With%../secret.zent");
    const std::string root = "--root " + (m_dir / "jobs").string() + " ";
    const Result confined = run("--check --error-format gnu " + root + job);
    EXPECT_EQ(confined.status, 1);
    EXPECT_EQ(confined.err, job + ":2: ファイルがありません（ルートフォルダの外にあります）: "
                                  "<%With%../secret.zent\n");
    EXPECT_EQ(run("--check " + job).status, 0);
}

// The watch loop: a change to a file the job called renders the page again.
TEST_F(ZentovaPrint, WatchRendersAgainAfterACalledFileChanges)
{
    const std::string part = commandFile("part.zent", "line 0 0 10 10");
    const std::string file = commandFile("w.zent", "<%With%part.zent");
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDERR_FILENO);
        execl(ZENTOVA_PRINT, ZENTOVA_PRINT, "--watch", "--trace", file.c_str(),
              static_cast<char *>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string trace;
    // Reads the trace until it holds `text` or a generous time has passed.
    auto waitFor = [&](const std::string &text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (trace.find(text) == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            pollfd p{out[0], POLLIN, 0};
            if (poll(&p, 1, 200) > 0) {
                char buffer[4096];
                const ssize_t n = read(out[0], buffer, sizeof buffer);
                if (n <= 0)
                    break;
                trace.append(buffer, static_cast<std::size_t>(n));
            }
        }
        return trace.find(text) != std::string::npos;
    };
    EXPECT_TRUE(waitFor("line 0 0 56 56")) << trace;
    commandFile("part.zent", "line 0 0 20 20");
    EXPECT_TRUE(waitFor("line 0 0 113 113")) << trace;
    // A called file that disappears is watched for again.
    fs::remove(part);
    commandFile("part.zent", "line 0 0 30 30");
    EXPECT_TRUE(waitFor("line 0 0 170 170")) << trace;
    // Ctrl-C ends it, whether it comes during a job or while it waits.
    kill(child, SIGINT);
    int status = 0;
    pid_t ended = 0;
    for (int tries = 0; tries < 200 && ended == 0; ++tries) {
        ended = waitpid(child, &status, WNOHANG);
        if (ended == 0)
            usleep(50 * 1000);
    }
    if (ended == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        close(out[0]);
        FAIL() << "--watch went on after Ctrl-C";
    }
    EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) ||
                (WIFEXITED(status) && WEXITSTATUS(status) == 130));
    close(out[0]);
}

} // namespace
