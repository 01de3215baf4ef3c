// zentova-print's manual page and its --help describe the same options and exit
// statuses, and both manual pages format without warnings.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

std::string output(const std::string &command, int *status = nullptr)
{
    std::string out;
    FILE *pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int result = pclose(pipe);
    if (status)
        *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return out;
}

// A file of res/, the manual pages and the shell completion among them.
std::string resourceFile(const std::string &name)
{
    std::ifstream in(std::string(ZENTOVA_RES_DIR) + "/" + name);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The text of section `name` of a manual page's source: from its .SH line to the next.
std::string section(const std::string &source, const std::string &name)
{
    const std::size_t start = source.find(".SH " + name + "\n");
    if (start == std::string::npos)
        return {};
    const std::size_t end = source.find("\n.SH ", start + 1);
    return source.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The options named in lines that start like `line` matches.
std::set<std::string> optionsIn(const std::string &text, const std::regex &line)
{
    std::set<std::string> names;
    const std::regex option(R"((?:^|[\s",])(--?[a-z][a-z-]*))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), line);
         it != std::sregex_iterator(); ++it) {
        const std::string heading = (*it)[1].str();
        for (auto o = std::sregex_iterator(heading.begin(), heading.end(), option);
             o != std::sregex_iterator(); ++o)
            names.insert((*o)[1].str());
    }
    return names;
}

std::set<std::string> matches(const std::string &text, const std::regex &pattern)
{
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it)
        found.insert((*it)[1].str());
    return found;
}

TEST(ManualPages, HelpAndManualPageAgree)
{
    const std::string help = output(ZENTOVA_PRINT " --help");
    // The page's source with its escapes taken away: "\-" is "-", fonts are dropped.
    std::string man = resourceFile("man/zentova-print.1");
    man = std::regex_replace(man, std::regex(R"(\\-)"), "-");
    man = std::regex_replace(man, std::regex(R"(\\f[BIRP])"), "");

    const std::set<std::string> helpOptions =
        optionsIn(help, std::regex(R"(\n  (-[^ ,]*(?:, -[^ ]*)?) )"));
    const std::set<std::string> manOptions =
        optionsIn(section(man, "OPTIONS"), std::regex(R"(\.TP\n\.[A-Z]+ ([^\n]*))"));
    EXPECT_GE(helpOptions.size(), 18u);
    EXPECT_EQ(helpOptions, manOptions);

    // The shell completes the same options.
    const std::string completion = resourceFile("completion/zentova-print");
    const std::size_t list = completion.find("compgen -W '-o");
    ASSERT_NE(list, std::string::npos);
    const std::string words =
        " " + completion.substr(list + 12, completion.find('\'', list + 12) - list - 12);
    EXPECT_EQ(optionsIn(words, std::regex(R"(([^]*))")), helpOptions);

    const std::set<std::string> helpStatuses =
        matches(help.substr(help.find("Exit status:")), std::regex(R"((?:: |; )(\d+) )"));
    const std::set<std::string> manStatuses =
        matches(section(man, "EXIT STATUS"), std::regex(R"(\.TP\n\.B (\d+)\n)"));
    EXPECT_EQ(helpStatuses, (std::set<std::string>{"0", "1", "2", "124", "130"}));
    EXPECT_EQ(helpStatuses, manStatuses);
}

TEST(ManualPages, FormatWithoutWarnings)
{
    for (const char *page : {"zentova.1", "zentova-print.1"}) {
        int status = -1;
        const std::string warnings = output("groff -man -ww -z -Tutf8 " ZENTOVA_RES_DIR "/man/" +
                                                std::string(page) + " 2>&1",
                                            &status);
        EXPECT_EQ(status, 0) << page;
        EXPECT_EQ(warnings, "") << page;
    }
}

} // namespace
