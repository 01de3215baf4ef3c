// Every example of the user's manual runs through zentova-print --check as a command file
// (code page 932, CR LF), with the picture and the called file it names beside it. An
// example marked data-errors="N" must report exactly N faulty lines; every other one none.
#include "engine/codepage.h"
#include "engine/textlines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Example {
    std::string text; // UTF-8, as the manual shows it
    int errors = 0;
    int line = 0;     // line of the manual where it begins
};

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string unescapeHtml(std::string s)
{
    const std::pair<const char *, const char *> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto &[entity, character] : entities)
        for (std::size_t at = 0; (at = s.find(entity, at)) != std::string::npos; ++at)
            s.replace(at, std::strlen(entity), character);
    return s;
}

std::vector<Example> examplesOf(const std::string &html)
{
    std::vector<Example> examples;
    const std::regex pre(R"re(<pre class="example"(?: data-errors="(\d+)")?>\n?([\s\S]*?)</pre>)re");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), pre);
         it != std::sregex_iterator(); ++it) {
        Example e;
        e.text = unescapeHtml((*it)[2].str());
        e.errors = (*it)[1].matched ? std::stoi((*it)[1].str()) : 0;
        e.line = 1 + static_cast<int>(std::count(html.begin(), html.begin() + it->position(), '\n'));
        examples.push_back(e);
    }
    return examples;
}

// A 2 × 2 picture in the BMP format: what `!logo.bmp` draws.
std::string smallBmp()
{
    const unsigned char bytes[] = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                 // file header
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,    // info header
        16, 0, 0, 0, 0x13, 0x0b, 0, 0, 0x13, 0x0b, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 255, 255, 255, 255, 0, 0,                                  // bottom row
        255, 0, 0, 0, 255, 0, 0, 0};                                     // top row
    return std::string(reinterpret_cast<const char *>(bytes), sizeof bytes);
}

struct Result {
    int status = -1;
    std::string err;
};

Result check(const fs::path &dir, const fs::path &file)
{
    const std::string command = "cd '" + dir.string() + "' && XDG_CONFIG_HOME='" +
                                (dir / "config").string() + "' " ZENTOVA_PRINT " --check '" +
                                file.filename().string() + "' 2>&1 >/dev/null";
    Result r;
    FILE *pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        r.err.append(buffer, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

int errorEntries(const std::string &errorList)
{
    int entries = 0;
    std::istringstream lines(errorList);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] == '(')
            ++entries;
    return entries;
}

} // namespace

TEST(Manual, EveryExampleRunsAsTheManualSays)
{
    const std::string html = readAll(ZENTOVA_MANUAL);
    const std::vector<Example> examples = examplesOf(html);
    ASSERT_GE(examples.size(), 15u) << "the manual's examples were not found";

    const fs::path dir = fs::temp_directory_path() / ("zentova-manual-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "config");
    std::ofstream(dir / "logo.bmp", std::ios::binary) << smallBmp();
    std::ofstream(dir / "frame.zent", std::ios::binary)
        << cp932::FromUtf8("lwidth 3\r\nlrectangle 50 50 2050 2920\r\n");

    for (const Example &e : examples) {
        SCOPED_TRACE("the example at line " + std::to_string(e.line) + " of the manual");
        const fs::path file = dir / ("example-" + std::to_string(e.line) + ".zent");
        std::ofstream(file, std::ios::binary) << NormalizeLineEnds(cp932::FromUtf8(e.text));
        const Result r = check(dir, file);
        EXPECT_EQ(r.status, e.errors ? 1 : 0) << r.err;
        EXPECT_EQ(errorEntries(r.err), e.errors) << r.err;
    }
    fs::remove_all(dir);
}
