// Arbitrary input: lines built from the language's keywords with random arguments and
// random bytes must each end in a result or a listed error, never in undefined behaviour
// (the sanitizer build runs this too). Arguments stay moderate, since any of them may
// become a count of copies; huge values have tests of their own.
#include "support/pagerun.h"

#include "engine/codepage.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

std::string randomLine(std::mt19937 &random)
{
    static const char *const kWords[] = {
        "line", "hline", "vline", "hrange", "vrange", "lwidth", "lrectangle", "frectangle",
        "lcircle", "fcircle", "position", "rposition", "offset", "origin", "porigin", "color",
        "fsize", "bold", "italic", "vertical", "incline", "hnumber", "fnumber", "hstring",
        "fstring", "skip", "nskip", "repeat", "store", "restore", "cstore", "crestore", "*",
        "**", "$aa", "$zz", "$$ab", "page", ":.", "::", ":&", ":+", ":|", "=", "/", "{ab}",
        "}{ab}", "##a", "#", "psize", "!", "<"};
    static const char *const kArgs[] = {
        "0", "1", "-1", "500", "-500", "5000", "-5000", "$aa",
        "$aa*$zz", "(1", "1/0", "ffh", "((((1))))", "a", "==", "and", "<>", "%d", "%s", "@",
        "{{ab}}", "ＭＳ 明朝", "\x82", "\x81\x40", "\x1a", "\t", ","};
    std::string line;
    const int kind = static_cast<int>(random() % 10);
    if (kind == 0) {
        // Pure noise, NUL and control bytes included.
        const int n = static_cast<int>(random() % 40);
        for (int i = 0; i < n; ++i) {
            char c = static_cast<char>(random() % 256);
            if (c != '\n' && c != '\r')
                line += c;
        }
        return line;
    }
    line = kWords[random() % std::size(kWords)];
    const int args = static_cast<int>(random() % 7);
    for (int i = 0; i < args; ++i) {
        line += random() % 4 ? " " : "";
        line += kArgs[random() % std::size(kArgs)];
    }
    return line;
}

TEST(Robustness, RandomCommandFilesRunToTheirEnd)
{
    std::mt19937 random(20261206);
    std::set<std::string> messages;
    for (int code : {1, 2, 3, 4, 9, 20, 21, 22, 23, 24, 25, 26, 27, 28})
        messages.insert(cp932::ToUtf8(ErrorMessage(code, 0, "")));
    int listed = 0;
    for (int file = 0; file < 200; ++file) {
        std::string text;
        for (int i = 0; i < 150; ++i)
            text += randomLine(random) + "\r\n";
        for (int page = 1; page <= 3; ++page) {
            PageRun run(text, page, nullptr, true);
            std::istringstream errors(run.errors());
            int entries = 0;
            for (std::string entry, message; std::getline(errors, entry) && std::getline(errors, message); ++entries) {
                ASSERT_EQ(entry[0], '(') << entry;
                ASSERT_EQ(message.substr(0, 6), "      ");
                EXPECT_TRUE(messages.count(message.substr(6))) << message;
            }
            listed += entries;
        }
    }
    EXPECT_GT(listed, 1000); // most random lines are faulty, and every one was listed
}

} // namespace

// Every loop whose length the command file chooses asks the stop hook: the text, rules and
// numbers repeated two billion times, and the initialisation lines that run before every
// page. Once the hook says stop, the page ends and the job renders no further page.
TEST(Robustness, EndlessPagesStopWhenAsked)
{
    std::string initialisations;
    for (int i = 0; i < 5000; ++i)
        initialisations += "$$aa 1\npage\n";
    for (const std::string &endless :
         {std::string(":.x\n* 10 10 2000000000\npage\nline 0 0 1 1\n"),
          std::string("hline 0 1 2000000000\npage\n"),
          std::string("hnumber 1 1 2000000000 10 10\n"), initialisations}) {
        DrawingView view;
        int asked = 0;
        view.stopRequested = [&asked] { return ++asked == 100; };
        NullSurface fake;
        std::ostringstream out;
        TraceSurface surface(fake, out);
        PrintJob job(view);
        const int pages = job.Prepare(CommandFile(endless), false, "");
        job.Begin(2100, 2970);
        for (int page = 1; page <= pages; ++page)
            job.PrintPage(surface, page);
        EXPECT_TRUE(job.Stopped()) << endless;
        EXPECT_EQ(asked, 100) << endless;
        EXPECT_EQ(out.str().find("page 2"), std::string::npos) << endless;
        job.Begin(2100, 2970);
        EXPECT_FALSE(job.Stopped());
    }
}
