// Merge printing in a job: fields bound before every page, copies and their page numbers,
// and errors that name their record.
#include "merge/datafile.h"

#include "support/pagerun.h"

#include "engine/codepage.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

std::unique_ptr<DataFile> data(const std::string &utf8Csv)
{
    DataFileProblem problem;
    auto file = DataFile::FromBytes(utf8Csv, false, problem);
    EXPECT_TRUE(file);
    return file;
}

// The pages of a trace, each as its page number and the strings drawn on it.
std::string pagesAndTexts(const std::string &trace)
{
    std::string out;
    static const std::regex page(R"(^page (\d+) )"), text(R"( ("[^"]*")$)");
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_search(line, m, page))
            out += (out.empty() ? "" : " | ") + m[1].str() + ":";
        else if (std::regex_search(line, m, text))
            out += " " + m[1].str();
    }
    return out;
}

TEST(MergeJob, FieldsOverrideSamplesAndExpandAnywhere)
{
    const auto records = data("nm,xx\n山田,30\n,5\n");
    const std::string trace = RunJob(CommandFile("}{nm}見本\n}{xx}10\n"
                                                 "position {{xx}}*2 0\n:.{{nm}}様\n*\n"),
                                     nullptr, records.get());
    EXPECT_EQ(pagesAndTexts(trace), R"(1: "山田様" | 2: "様")");
    // x = 60 and 10 (0.1 mm) in 1/1440 inch.
    EXPECT_NE(trace.find("\ntext 340 0 "), std::string::npos);
    EXPECT_NE(trace.find("\ntext 56 0 "), std::string::npos);
    // Without data the document's own samples print.
    EXPECT_EQ(pagesAndTexts(RunJob(CommandFile("}{nm}見本\n:.{{nm}}様\n*\n"), nullptr)),
              R"(1: "見本様")");
}

TEST(MergeJob, MultiLineFieldDrawsLineByLine)
{
    const auto records = data("ad\n\"一丁目\n二番\r\n三号\"\n");
    EXPECT_EQ(pagesAndTexts(RunJob(CommandFile(":.{{ad}}\n$aa :+\n* 0 80 $aa\n"), nullptr,
                                   records.get())),
              R"(1: "一丁目" "二番" "三号")");
}

// Every page of every chosen record, numbered across the output; the page variable counts
// within each copy.
TEST(MergeJob, ChosenRecordsPrintEveryPageNumberedAcrossCopies)
{
    const auto records = data("nm\nA\nB\nC\n");
    const std::string text = CommandFile("$$pg p\n:.{{nm}}\n*\nhnumber $pg\npage\n:.{{nm}}\n"
                                         "*\nhnumber $pg\n");
    EXPECT_EQ(pagesAndTexts(RunJob(text, nullptr, records.get(), 2, 3)),
              R"(1: "B" "1" | 2: "B" "2" | 3: "C" "1" | 4: "C" "2")");
    EXPECT_EQ(pagesAndTexts(RunJob(text, nullptr, records.get(), 3, 9)),
              R"(1: "C" "1" | 2: "C" "2")");
}

// One entry per line, naming the first record it failed in; the initialisation lines run
// before a record is bound and name none.
TEST(MergeJob, ErrorsNameTheirRecord)
{
    const auto records = data("fs,dv\n100,1\n5,1\n7,0\n9,0\n");
    std::string errors;
    RunJob(CommandFile("fsize {{fs}}\n$ab 1/{{dv}}\n$$zz 1/0\n"), &errors, records.get());
    EXPECT_EQ(errors, "(3) $$zz 1/0\n      数式内でゼロ除算がありました\n"
                      "(1) fsize {{fs}}\n      数値が範囲外です（レコード 2）\n"
                      "(2) $ab 1/{{dv}}\n      数式内でゼロ除算がありました（レコード 3）\n");
}

} // namespace
