// Every example of the user's manual runs through zentova-print --check as a command file
// (code page 932, CR LF), with the picture and the called file it names beside it. An
// example marked data-errors="N" must report exactly N faulty lines; every other one none.
#include "engine/codepage.h"
#include "engine/textlines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string unescapeHtml(std::string s)
{
    for (const auto &[entity, character] : {std::pair<std::string, std::string>{"&lt;", "<"},
                                            {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"},
                                            {"&amp;", "&"}})
        for (std::size_t at = 0; (at = s.find(entity, at)) != std::string::npos; ++at)
            s.replace(at, entity.size(), character);
    return s;
}

// A 2 × 2 picture in the BMP format: what `!logo.bmp` draws.
const unsigned char kSmallBmp[] = {
    'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                  // file header
    40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,     // info header
    16, 0, 0, 0, 0x13, 0x0b, 0, 0, 0x13, 0x0b, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 255, 255, 255, 255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0};     // rows from the bottom

} // namespace

TEST(Manual, EveryExampleRunsAsTheManualSays)
{
    std::ifstream manual(ZENTOVA_MANUAL);
    const std::string html{std::istreambuf_iterator<char>(manual), {}};
    const fs::path dir = fs::temp_directory_path() / ("zentova-manual-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "config");
    std::ofstream(dir / "logo.bmp", std::ios::binary)
        .write(reinterpret_cast<const char *>(kSmallBmp), sizeof kSmallBmp);
    std::ofstream(dir / "frame.zent", std::ios::binary)
        << cp932::FromUtf8("lwidth 3\r\nlrectangle 50 50 2050 2920\r\n");

    const std::regex pre(
        R"re(<pre class="example"(?: data-errors="(\d+)")?>\n?([\s\S]*?)</pre>)re");
    int examples = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), pre);
         it != std::sregex_iterator(); ++it, ++examples) {
        const int line =
            1 + static_cast<int>(std::count(html.begin(), html.begin() + it->position(), '\n'));
        const int errors = (*it)[1].matched ? std::stoi((*it)[1].str()) : 0;
        SCOPED_TRACE("the example at line " + std::to_string(line) + " of the manual");
        const std::string name = "example-" + std::to_string(line) + ".zent";
        std::ofstream(dir / name, std::ios::binary)
            << NormalizeLineEnds(cp932::FromUtf8(unescapeHtml((*it)[2].str())));

        // The error list goes to standard error: one entry per faulty line, "(N) ...".
        const std::string command = "cd '" + dir.string() +
                                    "' && XDG_CONFIG_HOME=\"$PWD/config\" " ZENTOVA_PRINT
                                    " --check " + name + " 2>&1 >/dev/null";
        FILE *pipe = popen(command.c_str(), "r");
        std::string err;
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            err.append(buffer, n);
        const int status = pclose(pipe);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, errors ? 1 : 0) << err;
        int entries = 0;
        std::istringstream lines(err);
        for (std::string l; std::getline(lines, l);)
            entries += !l.empty() && l[0] == '(';
        EXPECT_EQ(entries, errors) << err;
    }
    EXPECT_GE(examples, 15) << "the manual's examples were not found";
    fs::remove_all(dir);
}
