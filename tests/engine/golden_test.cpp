// Golden cases: every tests/cases/NAME.zent (written in UTF-8, run as code page 932 with
// CR LF line ends) must give exactly NAME.trace and NAME.errors on the fake-metrics
// surface, and so must the merge printing example. ZENTOVA_UPDATE_GOLDEN=1 rewrites the
// expected files instead of comparing.
#include "support/pagerun.h"

#include "engine/textlines.h"
#include "merge/datafile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> caseNames()
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(ZENTOVA_CASES_DIR))
        if (entry.path().extension() == ".zent")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, TraceAndErrorsMatch)
{
    const fs::path dir = ZENTOVA_CASES_DIR;
    const std::string name = GetParam();
    std::string errors;
    const std::string trace = RunJob(CommandFile(readFile(dir / (name + ".zent"))), &errors);
    if (std::getenv("ZENTOVA_UPDATE_GOLDEN")) {
        std::ofstream(dir / (name + ".trace"), std::ios::binary) << trace;
        std::ofstream(dir / (name + ".errors"), std::ios::binary) << errors;
        GTEST_SKIP() << "expected output rewritten";
    }
    EXPECT_EQ(trace, readFile(dir / (name + ".trace")));
    EXPECT_EQ(errors, readFile(dir / (name + ".errors")));
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(caseNames()),
                         [](const auto &info) {
                             std::string n = info.param;
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });

// The merge printing example as it ships: its Shift-JIS command file once for each of its
// twelve addresses, in one trace.
TEST(Golden, AddressCardsExample)
{
    const fs::path examples = ZENTOVA_EXAMPLES_DIR;
    const fs::path expected = fs::path(ZENTOVA_CASES_DIR) / "address-cards.trace";
    DataFileProblem problem;
    const auto data = DataFile::Open((examples / "addresses.csv").string(), problem);
    ASSERT_TRUE(data);
    ASSERT_EQ(data->RecordCount(), 12);
    std::string errors;
    const std::string trace = RunJob(
        NormalizeLineEnds(readFile(examples / "address-cards.zent")), &errors, data.get());
    EXPECT_EQ(errors, "");
    if (std::getenv("ZENTOVA_UPDATE_GOLDEN")) {
        std::ofstream(expected, std::ios::binary) << trace;
        GTEST_SKIP() << "expected output rewritten";
    }
    EXPECT_EQ(trace, readFile(expected));
}

} // namespace
