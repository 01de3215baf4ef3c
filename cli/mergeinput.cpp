// Reading the data file of --data and telling what is wrong with it.
#include "mergeinput.h"

#include "options.h"

#include <iostream>

namespace {

void fail(const std::string &message)
{
    std::cerr << "zentova-print: " << message << '\n';
}

// Why the data file cannot be used, naming the file, line and column.
std::string dataFileProblem(const std::string &path, const DataFileProblem &p)
{
    using Kind = DataFileProblem::Kind;
    if (p.kind == Kind::Unreadable)
        return "cannot read the data file '" + path + "': " + p.detail;
    std::string where = path + ":" + std::to_string(p.line);
    if (p.column > 0)
        where += ":" + std::to_string(p.column);
    switch (p.kind) {
    case Kind::NoHeader:
        return where + ": the data file is empty; its first row must name the columns";
    case Kind::BadName:
        return where + ": the column name '" + p.detail +
               "' is not two letters (a name as in {{na}})";
    case Kind::DuplicateName:
        return where + ": the column name '" + p.detail + "' is also the name of column " +
               std::to_string(p.otherColumn);
    case Kind::SurplusField:
        return where + ": the row has more fields than the header names";
    case Kind::UnclosedQuote:
        return where + ": the quoted field that begins here has no closing quote";
    case Kind::FieldTooLong:
        return where + ": the field is longer than 1 MiB";
    default:
        return where + ": the data file cannot be used";
    }
}

} // namespace

std::unique_ptr<DataFile> ReadDataFile(const Options &o, bool &unheld)
{
    DataFileProblem problem;
    std::unique_ptr<DataFile> data = DataFile::Open(o.dataFile, problem);
    if (!data) {
        fail(dataFileProblem(o.dataFile, problem));
        return nullptr;
    }
    const int records = data->RecordCount();
    if (records == 0) {
        fail("the data file '" + o.dataFile + "' has no records after its header");
        return nullptr;
    }
    if (o.firstRecord > records) {
        fail("the data file has " + std::to_string(records) + " record(s); record " +
             std::to_string(o.firstRecord) + " does not exist");
        return nullptr;
    }
    const int last = o.lastRecord == 0 ? records : std::min(o.lastRecord, records);
    for (const UnheldField &field : data->Unheld()) {
        if (field.record < o.firstRecord || field.record > last)
            continue;
        std::string name;
        for (const DataColumn &column : data->Columns())
            if (column.index + 1 == field.column)
                name = column.name;
        fail(o.dataFile + ": record " + std::to_string(field.record) + ", column " +
             std::to_string(field.column) + " (" + name +
             "): a character that Shift-JIS cannot hold is printed as \"?\"");
        unheld = true;
    }
    return data;
}
