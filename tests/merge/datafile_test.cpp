// The data files of merge printing: quoting, encodings, separators, short rows, refusals.
#include "merge/datafile.h"

#include "support/tempfolder.h"

#include "engine/bounds.h"
#include "engine/codepage.h"

#include <gtest/gtest.h>

namespace {

using Records = std::vector<std::vector<std::string>>;

// Every record's fields in UTF-8, or the refusal as "kind line:column".
std::string readAll(const std::string &bytes, bool tsv, Records &records)
{
    DataFileProblem problem;
    std::unique_ptr<DataFile> file = DataFile::FromBytes(bytes, tsv, problem);
    if (!file)
        return std::to_string(static_cast<int>(problem.kind)) + " " +
               std::to_string(problem.line) + ":" + std::to_string(problem.column);
    std::vector<std::string> fields;
    for (int r = 1; r <= file->RecordCount(); ++r) {
        file->ReadRecord(r, fields);
        for (std::string &f : fields)
            f = cp932::ToUtf8(f);
        records.push_back(fields);
    }
    return "";
}

struct ReadCase {
    const char *name;
    std::string bytes;
    bool tsv;
    Records expected;
};

TEST(DataFile, ReadsRecords)
{
    const std::string sjis = cp932::FromUtf8("ab,cd\r\n表示,ソ\r\n"); // trail bytes 0x5C
    const ReadCase cases[] = {
        {"quotes, separators and doubled quotes", "ab,cd\n\"x,1\",\"say \"\"hi\"\"\"\n", false,
         {{"x,1", "say \"hi\""}}},
        {"line breaks inside quotes become CR LF", "ab\r\n\"l1\r\nl2\"\r\n\"m1\nm2\nm3\"\n",
         false, {{"l1\r\nl2"}, {"m1\r\nm2\r\nm3"}}},
        {"byte-order mark", "\xEF\xBB\xBF" "ab\nx\n", false, {{"x"}}},
        {"UTF-8 to code page 932", "ab\n山田　太郎\n", false, {{"山田　太郎"}}},
        {"code page 932 as it stands", sjis, false, {{"表示", "ソ"}}},
        {"tab-separated", "ab\tcd\nx,y\t\"z\tw\"\n", true, {{"x,y", "z\tw"}}},
        {"short rows and unused columns", "ab,,cd\n1,2,3\nx\n", false, {{"1", "3"}, {"x", ""}}},
        {"empty lines skipped, empty surplus fields allowed", "\r\nab\n\nx,,\r\n\r\ny", false,
         {{"x"}, {"y"}}},
        {"upper-case names, blanks around them", " AB ,cd\nx,y\n", false, {{"x", "y"}}},
        {"text after a closing quote stays", "ab\n\"x\"y\n", false, {{"xy"}}},
    };
    for (const ReadCase &c : cases) {
        Records records;
        EXPECT_EQ(readAll(c.bytes, c.tsv, records), "") << c.name;
        EXPECT_EQ(records, c.expected) << c.name;
    }
}

TEST(DataFile, RefusesWithLineAndColumn)
{
    using Kind = DataFileProblem::Kind;
    auto refusal = [](Kind kind, int line, int column) {
        return std::to_string(static_cast<int>(kind)) + " " + std::to_string(line) + ":" +
               std::to_string(column);
    };
    const struct {
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"", refusal(Kind::NoHeader, 1, 0)},
        {"\r\n\n", refusal(Kind::NoHeader, 1, 0)},
        {"ab,c1\n", refusal(Kind::BadName, 1, 2)},
        {"\nab,abc\n", refusal(Kind::BadName, 2, 2)},
        {"ab,cd,AB\n", refusal(Kind::DuplicateName, 1, 3)},
        {"ab,\nx,,y\n", refusal(Kind::SurplusField, 2, 3)},
        // The quote opens on line 3 and is never closed; the line breaks after it count.
        {"ab,cd\nx,y\nz,\"open\n\nmore\n", refusal(Kind::UnclosedQuote, 3, 2)},
        {"ab\n\"" + std::string(kMaxTextBytes + 1, 'x') + "\"\n",
         refusal(Kind::FieldTooLong, 2, 1)},
    };
    for (const auto &c : cases) {
        Records records;
        EXPECT_EQ(readAll(c.bytes, false, records), c.expected) << c.bytes.substr(0, 40);
    }
}

// A character code page 932 cannot hold prints as one "?" and is reported with its record
// and column, only for named columns.
TEST(DataFile, ReportsCharactersCodePage932CannotHold)
{
    DataFileProblem problem;
    auto file = DataFile::FromBytes("ab,,cd\nx€y,€,z\n1,2,😀\n", false, problem);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->Unheld().size(), 2u);
    EXPECT_EQ(file->Unheld()[0].record, 1);
    EXPECT_EQ(file->Unheld()[0].column, 1);
    EXPECT_EQ(file->Unheld()[1].record, 2);
    EXPECT_EQ(file->Unheld()[1].column, 3);
    std::vector<std::string> fields;
    file->ReadRecord(1, fields);
    EXPECT_EQ(fields, (std::vector<std::string>{"x?y", "z"}));
}

TEST(DataFile, OpensByNameAndTellsWhatCannotBeRead)
{
    TempFolder dir;
    DataFileProblem problem;
    auto file = DataFile::Open(dir.write("list.TSV", "ab\tcd\nx\ty\n"), problem);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Columns().size(), 2u);
    EXPECT_FALSE(DataFile::Open(dir.path() + "missing.csv", problem));
    EXPECT_EQ(problem.kind, DataFileProblem::Kind::Unreadable);
    EXPECT_FALSE(DataFile::Open(dir.path(), problem));
    EXPECT_EQ(problem.detail, "it is a folder");
}

} // namespace
