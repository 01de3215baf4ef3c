// Merge printing to PDF: the postcard example once per record of a generated data file
// (1,000 and 10,000 records unless counts are given), against the equivalent command file
// that spells out every card on a page of its own. Prints the time, the time per record
// and the peak memory of each; each run is a child process so that its peak memory is its
// own.
#include "childrun.h"
#include "cli/options.h"
#include "cli/render.h"
#include "merge/datafile.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string kExamples = ZENTOVA_EXAMPLES_DIR;

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The example's records, again and again, each name numbered: code page 932 fields.
std::vector<std::vector<std::string>> records(int count, std::vector<std::string> &names)
{
    DataFileProblem problem;
    auto data = DataFile::Open(kExamples + "/addresses.csv", problem);
    if (!data) {
        std::fprintf(stderr, "cannot read the example's addresses\n");
        std::exit(2);
    }
    for (const DataColumn &column : data->Columns())
        names.push_back(column.name);
    std::vector<std::vector<std::string>> out;
    for (int i = 0; i < count; ++i) {
        std::vector<std::string> fields;
        data->ReadRecord(i % data->RecordCount() + 1, fields);
        fields.back() += std::to_string(i + 1);
        out.push_back(std::move(fields));
    }
    return out;
}

// A code page 932 data file of `count` records, every field quoted.
void writeDataFile(const std::string &path, int count)
{
    std::vector<std::string> names;
    const auto rows = records(count, names);
    std::ofstream out(path, std::ios::binary);
    for (std::size_t i = 0; i < names.size(); ++i)
        out << (i ? "," : "") << names[i];
    out << "\r\n";
    for (const auto &fields : rows) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            std::string quoted;
            for (char c : fields[i])
                quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            out << (i ? ",\"" : "\"") << quoted << '"';
        }
        out << "\r\n";
    }
}

// The cards written out: every page the example's lines (without its sample lines) with
// the record's fields in place of the abbreviations, a field's line break as a ":+" line.
void writeSpelledOut(const std::string &path, int count)
{
    std::vector<std::string> names;
    const auto rows = records(count, names);
    std::vector<std::string> lines;
    std::istringstream card(readFile(kExamples + "/address-cards.zent"));
    for (std::string line; std::getline(card, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("}{", 0) != 0)
            lines.push_back(line);
    }
    std::ofstream out(path, std::ios::binary);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r > 0)
            out << "page\r\n";
        for (std::string line : lines) {
            for (std::size_t i = 0; i < names.size(); ++i)
                for (std::size_t at = 0;
                     (at = line.find("{{" + names[i] + "}}", at)) != std::string::npos;
                     at += rows[r][i].size())
                    line.replace(at, 6, rows[r][i]);
            for (std::size_t at = 0; (at = line.find("\r\n", at)) != std::string::npos; at += 4)
                line.replace(at, 2, "\r\n:+");
            out << line << "\r\n";
        }
    }
}

// In the child: writes the input and renders it to `pdf`.
int run(const char *mode, const char *pdf, int count)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    int argc = 1;
    char name[] = "bench_merge";
    char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    Options options;
    options.output = pdf;
    options.paper = {1000, 1480};
    const std::string base = std::string(pdf) + "." + mode;
    if (std::strcmp(mode, "merge") == 0) {
        options.input = kExamples + "/address-cards.zent";
        options.dataFile = base + ".csv";
        writeDataFile(options.dataFile, count);
    } else {
        options.input = base + ".zent";
        writeSpelledOut(options.input, count);
    }
    const int status = RenderCommandFile(options);
    std::remove((base + ".csv").c_str());
    std::remove((base + ".zent").c_str());
    return status;
}

using Figures = ChildRun;

Figures measure(const char *self, const char *mode, const std::string &pdf, int count)
{
    const Figures f = RunChild({self, mode, pdf, std::to_string(count)});
    if (!f.ok)
        std::fprintf(stderr, "%s run of %d failed\n", mode, count);
    std::remove(pdf.c_str());
    return f;
}

void print(const char *what, int count, const Figures &f)
{
    std::printf("%-28s %6d records: %7.2f s (cpu %7.2f s, %6.3f ms a record), peak %6.1f MB\n",
                what, count, f.seconds, f.cpuSeconds, f.cpuSeconds * 1000 / count,
                f.peakKiB / 1024.0);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && argv[1][0] != '-')
        return run(argv[1], argv[2], std::atoi(argv[3]));
    const int small = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int large = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10000;
    const std::string pdf = "/tmp/bench-merge-" + std::to_string(getpid()) + ".pdf";
    std::printf("The postcard example to PDF, one page a record\n");
    const Figures mergeSmall = measure(argv[0], "merge", pdf, small);
    print("--data (merge printing)", small, mergeSmall);
    const Figures mergeLarge = measure(argv[0], "merge", pdf, large);
    print("--data (merge printing)", large, mergeLarge);
    const Figures spelled = measure(argv[0], "spelled", pdf, large);
    print("the cards spelled out", large, spelled);
    std::printf("merge printing: %.2f times the records took %.2f times the time (cpu);\n"
                "%.2f times the time of the spelled-out cards, %.2f times their memory\n",
                static_cast<double>(large) / small, mergeLarge.cpuSeconds / mergeSmall.cpuSeconds,
                mergeLarge.cpuSeconds / spelled.cpuSeconds,
                static_cast<double>(mergeLarge.peakKiB) / spelled.peakKiB);
    return 0;
}
