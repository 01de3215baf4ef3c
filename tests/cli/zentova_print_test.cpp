// zentova-print run as a user runs it: exit statuses, messages, PDF and PNG output,
// traces, page selection, paper and the print-position adjustment.
#include "printrun.h"

#include <QImage>
#include <QSettings>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST_F(ZentovaPrint, UsageAndUnreadableFiles)
{
    const Result help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--pages A[-B]"), std::string::npos);
    EXPECT_EQ(run("--version").status, 0);
    Result bad = run("--frobnicate x.zent");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("unknown option --frobnicate"), std::string::npos);
    Result missing = run((m_dir / "missing.zent").string());
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
    EXPECT_EQ(run(m_dir.string()).status, 2);
    const std::string file = commandFile("a.zent", "line 0 0 10 10");
    EXPECT_EQ(run("--pages 2 --check " + file).status, 2);
    EXPECT_EQ(run("-o " + (m_dir / "no/such/dir/out.pdf").string() + " " + file).status, 2);
}

TEST_F(ZentovaPrint, CheckListsErrorsInUtf8)
{
    const std::string file = commandFile("e.zent", "line 0 0 10 10\nfrobnicate\npage\ncolor 1 2 300");
    Result r = run("--check " + file);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "(2) frobnicate\n      定義されていないコマンドです\n"
                     "(4) color 1 2 300\n      数値が範囲外です\n");
    EXPECT_EQ(run("--check " + commandFile("ok.zent", "line 0 0 1 1")).status, 0);
}

TEST_F(ZentovaPrint, TraceIsExactAndFollowsPagesPaperAndAdjustment)
{
    const std::string shapes = (fs::path(ZENTOVA_CASES_DIR) / "shapes.zent").string();
    Result r = run("--trace " + shapes);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, readAll(fs::path(ZENTOVA_CASES_DIR) / "shapes.trace"));

    const std::string two = commandFile("two.zent", "line 0 0 10 0\npage\nline 0 0 20 0");
    EXPECT_EQ(run("--trace --pages 2 --paper postcard --landscape --adjust -10,-200 " + two).out,
              "page 2 paper 1480 1000\nline -56 -566 56 -566 pen=0,0,000000\n");
    // The stored adjustment applies unless the command line gives one.
    {
        QSettings settings((m_dir / "config" / "Tirsel Applications" / "Zentova.conf").c_str(),
                           QSettings::IniFormat);
        settings.setValue("Settings/adjustX", -30);
        settings.setValue("Settings/adjustY", 25);
    }
    EXPECT_EQ(run("--trace --pages 1 " + two).out,
              "page 1 paper 2100 2970\nline -170 0 -113 0 pen=0,0,000000\n");
    EXPECT_EQ(run("--trace --pages 1 --adjust 0,0 " + two).out,
              "page 1 paper 2100 2970\nline 0 0 56 0 pen=0,0,000000\n");
}

TEST_F(ZentovaPrint, LineFeedOnlyFilesReadLikeWindowsFiles)
{
    const fs::path path = m_dir / "lf.zent";
    std::ofstream(path, std::ios::binary) << "skip a\nline 0 0 10 10\n##a\nline 0 0 20 20\n";
    Result r = run("--trace " + path.string());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "page 1 paper 2100 2970\nline 0 0 113 113 pen=0,0,000000\n");
}

TEST_F(ZentovaPrint, PdfHoldsEveryPageAtTheExactPaperSize)
{
    const std::string file =
        commandFile("form.zent", "/ＭＳ ゴシック\n:.帳票\n*\npage\n:.二\n*\npage\n:.三\n*");
    const fs::path pdf = m_dir / "form.pdf";
    Result r = run(file);
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string bytes = readAll(pdf);
    ASSERT_EQ(bytes.substr(0, 5), "%PDF-");
    std::regex page("/Type\\s*/Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page),
                            std::sregex_iterator()),
              3);
    // A4 is 210 x 297 mm: 595.28 x 841.89 points, whatever the rounding of the writer.
    std::smatch box;
    ASSERT_TRUE(std::regex_search(bytes, box, std::regex("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)")));
    EXPECT_NEAR(std::stod(box[1]), 595.28, 1.0);
    EXPECT_NEAR(std::stod(box[2]), 841.89, 1.0);
    // The Japanese face is embedded, not replaced.
    EXPECT_NE(bytes.find("IPAGothic"), std::string::npos);
}

// Pages are written on worker threads: each file still holds its own page.
TEST_F(ZentovaPrint, PngPagesHaveTheirSizeAndMarksAndNumbers)
{
    std::string text = "lwidth 5\nline 100 100 200 100\ncolor 255 0 0\nfrectangle 300 300 400 400\n";
    for (int page = 2; page <= 6; ++page) {
        const std::string y = std::to_string(page * 100);
        text += "page\ncolor 255 0 0\nfrectangle 0 " + y + " 100 " + y + "+50\n";
    }
    const std::string file = commandFile("p.zent", text);
    Result r = run("-o " + (m_dir / "p.png").string() + " --dpi 100 " + file);
    ASSERT_EQ(r.status, 0) << r.err;
    QImage first((m_dir / "p-1.png").c_str());
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.width(), 827);
    EXPECT_EQ(first.height(), 1169);
    EXPECT_EQ(first.pixel(138, 138), qRgb(255, 0, 0));
    EXPECT_EQ(first.pixel(100, 138), qRgb(255, 255, 255));
    for (int page = 2; page <= 6; ++page) {
        const QImage image((m_dir / ("p-" + std::to_string(page) + ".png")).c_str());
        ASSERT_EQ(image.width(), 827) << page;
        for (int mark = 2; mark <= 6; ++mark) // its own rectangle, 1 mm below its top
            EXPECT_EQ(image.pixel(20, mark * 100 * 100 / 254 + 4) == qRgb(255, 0, 0), mark == page)
                << "page " << page << ", mark " << mark;
    }
    EXPECT_FALSE(fs::exists(m_dir / "p-7.png"));

    const Result unwritable = run("-o " + (m_dir / "no/such/dir/p.png").string() + " " + file);
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.err.find("cannot write '" + (m_dir / "no/such/dir/p-1.png").string() + "'"),
              std::string::npos) << unwritable.err;
}

TEST_F(ZentovaPrint, PicturesFromFilesAndSlots)
{
    QImage red(30, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdString((m_dir / "red.png").string())));
    QImage blue(10, 10, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(QString::fromStdString((m_dir / "blue.png").string())));
    // The PNG goes through the shipped plug-in beside zentova-print.
    const std::string file =
        commandFile("pictures.zent", "!%With%red.png\nposition 100 0\n!0\n!%With%none.png");
    const std::string slot = "--slot 0=" + (m_dir / "blue.png").string() + " ";

    Result traced = run("--trace " + slot + file);
    EXPECT_EQ(traced.status, 1);
    EXPECT_NE(traced.out.find("image 0 0 450 300 src=0,0,30,20 turn=0 picture=30x20"),
              std::string::npos) << traced.out;
    EXPECT_NE(traced.out.find("image 566 0 150 150 src=0,0,10,10 turn=0 picture=10x10"),
              std::string::npos) << traced.out;
    EXPECT_NE(traced.err.find("(4) !%With%none.png"), std::string::npos) << traced.err;

    Result missing = run("--check --slot 0=" + (m_dir / "nothing.png").string() + " " + file);
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("slot 0"), std::string::npos) << missing.err;
}

TEST_F(ZentovaPrint, EveryExampleRunsWithoutErrors)
{
    // The examples are what a newcomer runs first: each must find its called files and
    // pictures and report nothing.
    int examples = 0;
    for (const auto &entry : fs::directory_iterator(ZENTOVA_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".zent")
            continue;
        ++examples;
        const Result r = run("--check " + entry.path().string());
        EXPECT_EQ(r.status, 0) << entry.path() << "\n" << r.err;
    }
    EXPECT_GE(examples, 5);
}

// Merge printing: one copy per chosen record, pages numbered across the output; a data
// file that cannot be used writes nothing, a character Shift-JIS cannot hold prints as
// "?" and is reported.
TEST_F(ZentovaPrint, MergePrintingFromADataFile)
{
    const std::string doc = commandFile("card.zent", ":.{{nm}}\n*\npage\n:.{{ad}}\n*");
    const std::string csv = (m_dir / "list.csv").string();
    std::ofstream(csv, std::ios::binary) << "nm,ad\r\nA,1\r\nB,2\r\n\"C, Jr.\",3\r\n";
    const std::string data = " --data " + csv + " ";

    Result r = run("-o " + (m_dir / "c.png").string() + " --dpi 10 --records 2-" + data + doc);
    EXPECT_EQ(r.status, 0) << r.err;
    for (int page = 1; page <= 4; ++page)
        EXPECT_TRUE(fs::exists(m_dir / ("c-" + std::to_string(page) + ".png"))) << page;
    EXPECT_FALSE(fs::exists(m_dir / "c-5.png"));
    // Page 2 of each copy, and what it drew.
    r = run("--trace --pages 2" + data + doc);
    std::string pages;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        pages += line.substr(0, 4) == "page" ? line.substr(0, 6) : line.substr(line.size() - 3);
    EXPECT_EQ(pages, "page 2\"1\"page 4\"2\"page 6\"3\"") << r.out;
    EXPECT_EQ(run("--records 4" + data + doc).status, 2);

    std::ofstream(csv, std::ios::binary) << "nm,ad\nA,1,\nB,2,x\n";
    r = run(data + doc);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(csv + ":3:3: "), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(m_dir / "card.pdf"));

    std::ofstream(csv, std::ios::binary) << "nm,ad\nA€,1\n";
    r = run("--check" + data + doc);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("record 1, column 1 (nm)"), std::string::npos) << r.err;
}

// A job of pages that would run for hours: --timeout and Ctrl-C stop it inside a page,
// whether its pages are drawn one after the other or several at once, an earlier PDF of
// the same name stays as it was, and no PNG of the unfinished page is written.
TEST_F(ZentovaPrint, LongJobsStopOnTimeoutAndInterrupt)
{
    const std::string endless = commandFile(
        "endless.zent", ":.x\n* 10 10 2000000000\npage\n:.y\n* 10 10 2000000000\npage\n"
                        ":.z\n* 10 10 2000000000\n");
    const fs::path pdf = m_dir / "endless.pdf";
    std::ofstream(pdf, std::ios::binary) << "earlier";

    for (const char *threads : {"1", "2"}) {
        Result r = run("--timeout 1 --threads " + std::string(threads) + " " + endless);
        EXPECT_EQ(r.status, 124) << threads << " threads";
        EXPECT_NE(r.err.find("stopped after 1 s (--timeout)"), std::string::npos) << r.err;
        EXPECT_EQ(readAll(pdf), "earlier");
    }

    Result r = run("--timeout 1 -o " + (m_dir / "page.png").string() + " " + endless);
    EXPECT_EQ(r.status, 124);
    EXPECT_FALSE(fs::exists(m_dir / "page-1.png"));

    // Calls nested seven deep, each repeated 500 times.
    for (int i = 1; i <= 7; ++i)
        commandFile("level" + std::to_string(i) + ".zent",
                    "repeat 1 500\n<%With%level" + std::to_string(i + 1) + ".zent\n");
    commandFile("level8.zent", "line 0 0 10 10\n");
    EXPECT_EQ(run("--check --timeout 1 " + (m_dir / "level1.zent").string()).status, 124);

    // Ctrl-C as soon as the job has taken it over (SIGINT among the caught signals): on
    // several threads this often comes before any thread has taken a page.
    for (const char *threads : {"1", "4"}) {
        SCOPED_TRACE(std::string(threads) + " threads");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            execl(ZENTOVA_PRINT, ZENTOVA_PRINT, "--threads", threads, endless.c_str(),
                  static_cast<char *>(nullptr));
            _exit(127);
        }
        const fs::path status = "/proc/" + std::to_string(child) + "/status";
        for (int tries = 0; tries < 500; ++tries) {
            const std::string text = readAll(status);
            const std::size_t at = text.find("SigCgt:");
            if (at != std::string::npos && std::stoull(text.substr(at + 7), nullptr, 16) & 2)
                break;
            usleep(20 * 1000);
        }
        kill(child, SIGINT);
        int exit = 0;
        int tries = 0;
        while (waitpid(child, &exit, WNOHANG) == 0 && ++tries < 500)
            usleep(20 * 1000);
        if (tries == 500) {
            kill(child, SIGKILL);
            waitpid(child, &exit, 0);
            FAIL() << "Ctrl-C did not stop the job";
        }
        ASSERT_TRUE(WIFEXITED(exit));
        EXPECT_EQ(WEXITSTATUS(exit), 130);
        EXPECT_EQ(readAll(pdf), "earlier");
    }
}

// Plug-ins come from the program's own folder only: a copy of the shipped one beside the
// command file or in the current folder is never loaded.
TEST_F(ZentovaPrint, PluginsComeOnlyFromTheProgramsFolder)
{
    const fs::path program = m_dir / "program";
    fs::create_directories(program);
    fs::copy_file(ZENTOVA_PRINT, program / "zentova-print");
    const fs::path shipped = fs::path(ZENTOVA_PRINT).parent_path() / "zentovaqt.spi";
    fs::copy_file(shipped, m_dir / "zentovaqt.spi");
    QImage red(30, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdString((m_dir / "red.png").string())));
    const std::string file = commandFile("picture.zent", "!%With%red.png\n!red.png\n");

    const std::string copy = (program / "zentova-print").string();
    const Result without = run("--check " + file, copy, m_dir);
    EXPECT_EQ(without.status, 1);
    const std::string bad = "画像ファイルに異常があります";
    EXPECT_NE(without.err.find("(1) !%With%red.png\n      " + bad), std::string::npos) << without.err;
    EXPECT_NE(without.err.find("(2) !red.png\n      " + bad), std::string::npos) << without.err;

    fs::copy_file(shipped, program / "zentovaqt.spi");
    EXPECT_EQ(run("--check " + file, copy, m_dir).status, 0);
}

} // namespace
