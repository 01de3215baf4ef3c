// zentova-print run as a user runs it, from a private folder with its own settings.
#pragma once

#include "engine/codepage.h"
#include "engine/textlines.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class ZentovaPrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("zentova-cli-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "config");
        // The stored settings of the tool are read from here, not from the user's.
        setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Writes `utf8Text` as a command file: code page 932, CR LF line ends.
    std::string commandFile(const std::string &name, const std::string &utf8Text)
    {
        const fs::path path = m_dir / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << NormalizeLineEnds(cp932::FromUtf8(utf8Text));
        return path.string();
    }

    // Runs `program` (zentova-print unless given) with `args` (a shell command's rest, so
    // redirections work), in `folder` when given.
    Result run(const std::string &args, const std::string &program = ZENTOVA_PRINT,
               const fs::path &folder = {})
    {
        const fs::path errFile = m_dir / "stderr.txt";
        const std::string command = (folder.empty() ? "" : "cd " + folder.string() + " && ") +
                                    program + " " + args + " 2>" + errFile.string();
        Result r;
        FILE *pipe = popen(command.c_str(), "r");
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            r.out.append(buffer, n);
        int status = pclose(pipe);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = readAll(errFile);
        return r;
    }

    fs::path m_dir;
};
