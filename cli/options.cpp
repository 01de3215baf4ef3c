// Parsing zentova-print's options.
#include "options.h"

#include "paperoption.h"
#include "stdstreams.h"

#include "engine/jobfiles.h"

#include <charconv>

const char *const kUsage =
    "Usage: zentova-print [options] FILE.zent\n"
    "Renders a Zentova command file to PDF or PNG, prints it, checks it, or traces its\n"
    "drawing. FILE \"-\" reads the command file from standard input.\n"
    "\n"
    "  -o, --output PATH      PATH ending in .pdf: every page in one PDF (\"-\": the PDF on\n"
    "                         standard output); ending in .png: one PNG per page (a \"%d\" in\n"
    "                         PATH is the page number, otherwise NAME-N.png)\n"
    "  --pages A[-B]          pages to render (default: all)\n"
    "  --paper NAME|CODE|WxH  a paper name (below), a printer paper-size code (9 = A4,\n"
    "                         43 = postcard, ...) or width x height in millimetres\n"
    "                         (90x55, each side at most 2000); default A4\n"
    "  --landscape            turn the paper\n"
    "  --dpi N                PNG resolution (default 150)\n"
    "  --slot N=IMAGE         fill clipboard slot N (0-9) from an image file\n"
    "  --adjust X,Y           print-position adjustment in 0.1 mm, instead of the stored\n"
    "                         setting\n"
    "  --check                run every page, draw nothing, report the errors\n"
    "  --trace                write every drawing operation to standard output\n"
    "  --printer NAME         print on the named printer (\"\" = the default printer)\n"
    "  --timeout SECONDS      stop the job when it runs longer than this\n"
    "  --threads N            PDF pages drawn at once (default: the number of processors);\n"
    "                         the file is the same for any number\n"
    "  --error-format FORMAT  how errors go to standard error: list (the error list, the\n"
    "                         default), gnu (FILE:LINE: MESSAGE: LINE AS WRITTEN, for\n"
    "                         editors) or json (one array of objects with file, line,\n"
    "                         code, message and text)\n"
    "  --root DIR             called files and pictures must lie in DIR or below; others\n"
    "                         fail as missing files (error 24)\n"
    "  --watch                keep running: render again whenever the command file, a file\n"
    "                         it calls or a picture it draws changes; Ctrl-C ends it\n"
    "  --data FILE            merge printing: the whole document once per record of FILE,\n"
    "                         a CSV file (TSV when FILE ends in .tsv) whose first row\n"
    "                         names the columns with two letters; each field is defined\n"
    "                         as that abbreviation ({{na}}) before every page of its copy\n"
    "  --records A[-B]        with --data: the records to print (1 = the first row after\n"
    "                         the header); --pages then selects pages within each copy\n"
    "  -h, --help             show this help\n"
    "  --version              show the version\n"
    "\n"
    "Paper names: a3 a4 a5 a6 b4 b5 letter legal tabloid ledger statement executive\n"
    "folio quarto dl c5 postcard doublepostcard, and the Japanese envelopes kaku2\n"
    "kaku3 chou3 chou4 you4 (in any case).\n"
    "\n"
    "Without -o, --check, --trace or --printer the PDF is written beside FILE.\n"
    "Exit status: 0 no errors in the command file; 1 the command file has errors (listed on\n"
    "standard error); 2 bad usage or a file that cannot be read or written; 124 the job\n"
    "ran longer than --timeout; 130 the job was interrupted (Ctrl-C). A stopped job leaves\n"
    "no PDF behind (an earlier one stays as it was) and no PNG of an unfinished page.\n"
    "With --data, pages are numbered across every copy (PNG names, --trace); a data file\n"
    "that cannot be read gives 2 with its line and column, a field character that Shift-JIS\n"
    "cannot hold prints as \"?\" and gives 1.\n";

namespace {

bool toInt(std::string_view s, int &v)
{
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size();
}

bool endsWithIgnoringCase(const std::string &s, std::string_view suffix)
{
    if (s.size() < suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = s[s.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        if (c != suffix[i])
            return false;
    }
    return true;
}

// "A", "A-" or "A-B" into first and last (0 = through the end); false when malformed.
bool parseRange(std::string_view v, int &first, int &last)
{
    std::size_t dash = v.find('-');
    if (!toInt(v.substr(0, dash), first) || first < 1)
        return false;
    if (dash == std::string_view::npos) {
        last = first;
        return true;
    }
    std::string_view b = v.substr(dash + 1);
    if (b.empty()) {
        last = 0;
        return true;
    }
    return toInt(b, last) && last >= first;
}

std::string parseSlot(const std::string &v, Options &o)
{
    if (v.size() < 3 || v[0] < '0' || v[0] > '9' || v[1] != '=')
        return "bad slot '" + v + "' (expected N=IMAGE with N from 0 to 9)";
    o.slotImages.emplace_back(v[0] - '0', v.substr(2));
    return "";
}

std::string parseAdjust(std::string_view v, Options &o)
{
    std::size_t comma = v.find(',');
    int x = 0, y = 0;
    if (comma == std::string_view::npos || !toInt(v.substr(0, comma), x) ||
        !toInt(v.substr(comma + 1), y))
        return "bad adjustment '" + std::string(v) + "' (expected X,Y in 0.1 mm)";
    o.adjust = std::make_pair(x, y);
    return "";
}

} // namespace

std::string ParseOptions(const std::vector<std::string> &args, Options &o)
{
    bool recordsGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool hasInlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg.resize(eq);
                hasInlineValue = true;
            }
        }
        auto takeValue = [&](std::string &out) -> bool {
            if (hasInlineValue) {
                out = value;
                return true;
            }
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        std::string v;
        std::string error;
        if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--landscape") {
            o.landscape = true;
        } else if (arg == "--check") {
            o.check = true;
        } else if (arg == "--trace") {
            o.trace = true;
        } else if (arg == "--watch") {
            o.watch = true;
        } else if (arg == "-o" || arg == "--output" || arg == "--pages" || arg == "--paper" ||
                   arg == "--dpi" || arg == "--adjust" || arg == "--slot" ||
                   arg == "--printer" || arg == "--timeout" || arg == "--error-format" ||
                   arg == "--root" || arg == "--data" || arg == "--records" ||
                   arg == "--threads") {
            if (!takeValue(v))
                return "option " + arg + " needs a value";
            if (arg == "-o" || arg == "--output") {
                o.output = v;
            } else if (arg == "--pages") {
                if (!parseRange(v, o.firstPage, o.lastPage))
                    return "bad page range '" + v + "'";
            } else if (arg == "--records") {
                if (!parseRange(v, o.firstRecord, o.lastRecord))
                    return "bad record range '" + v + "'";
                recordsGiven = true;
            } else if (arg == "--data") {
                if (v.empty())
                    return "option --data needs a file";
                o.dataFile = v;
            } else if (arg == "--paper") {
                error = ParsePaperOption(v, o.paper);
            } else if (arg == "--error-format") {
                std::optional<ErrorFormat> format = ErrorFormatByName(v);
                if (!format)
                    return "unknown error format '" + v + "' (list, gnu or json)";
                o.errorFormat = *format;
            } else if (arg == "--root") {
                o.root = ResolveRootFolder(v);
                if (o.root.empty())
                    return "the root '" + v + "' is no folder";
            } else if (arg == "--dpi") {
                if (!toInt(v, o.dpi) || o.dpi < 1 || o.dpi > 1200)
                    return "bad resolution '" + v + "' (1 to 1200 dots per inch)";
            } else if (arg == "--printer") {
                o.printer = v;
            } else if (arg == "--timeout") {
                if (!toInt(v, o.timeoutSeconds) || o.timeoutSeconds < 1)
                    return "bad timeout '" + v + "' (whole seconds, at least 1)";
            } else if (arg == "--threads") {
                if (!toInt(v, o.threads) || o.threads < 1 || o.threads > 64)
                    return "bad thread count '" + v + "' (1 to 64)";
            } else if (arg == "--slot") {
                error = parseSlot(v, o);
            } else {
                error = parseAdjust(v, o);
            }
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return "unknown option " + arg;
        } else if (o.input.empty()) {
            o.input = arg;
        } else {
            return "more than one command file given";
        }
        if (!error.empty())
            return error;
    }
    if (o.help || o.version)
        return "";
    if (o.input.empty())
        return "no command file given";
    if (recordsGiven && o.dataFile.empty())
        return "--records selects records of a data file and needs --data";
    const bool fromStandardInput = o.input == kStandardStream;
    const bool toStandardOutput = o.output == kStandardStream;
    if (o.check && !o.output.empty())
        return "--check draws nothing and cannot be combined with --output";
    if (o.watch && (o.printer || fromStandardInput || toStandardOutput))
        return "--watch needs a command file to watch and an output file to write again: it "
               "cannot be combined with --printer, standard input or -o -";
    if (o.printer) {
        if (!o.output.empty() || o.check || o.trace)
            return "--printer cannot be combined with --output, --check or --trace";
        o.outputKind = Options::Output::None;
        return "";
    }
    if (toStandardOutput) {
        if (o.trace)
            return "--trace writes to standard output and cannot be combined with -o -";
        o.outputKind = Options::Output::Pdf;
        return "";
    }
    if (o.output.empty() && fromStandardInput && !o.check && !o.trace)
        return "standard input has no folder to write a PDF beside: give -o PATH or -o -";
    if (o.output.empty()) {
        o.outputKind = (o.check || o.trace) ? Options::Output::None : Options::Output::Pdf;
        if (o.outputKind == Options::Output::Pdf) {
            std::string base = o.input;
            if (endsWithIgnoringCase(base, ".zent"))
                base.resize(base.size() - 5);
            o.output = base + ".pdf";
        }
    } else if (endsWithIgnoringCase(o.output, ".pdf")) {
        o.outputKind = Options::Output::Pdf;
    } else if (endsWithIgnoringCase(o.output, ".png")) {
        // One file per page: "-.png" or "-%d.png" would be standard output, which cannot
        // take several pictures.
        if (o.output.rfind(std::string(kStandardStream) + ".", 0) == 0 ||
            o.output.rfind(std::string(kStandardStream) + "%d.", 0) == 0)
            return "PNG pages cannot go to standard output (-o - writes a PDF)";
        o.outputKind = Options::Output::Png;
    } else {
        return "the output must end in .pdf or .png: " + o.output;
    }
    return "";
}

std::string PngPathForPage(const std::string &pattern, int page)
{
    std::size_t d = pattern.find("%d");
    if (d != std::string::npos)
        return pattern.substr(0, d) + std::to_string(page) + pattern.substr(d + 2);
    return pattern.substr(0, pattern.size() - 4) + "-" + std::to_string(page) +
           pattern.substr(pattern.size() - 4);
}
