// The command line of zentova-print.
#pragma once

#include "errorformat.h"

#include "draw/papersizes.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct Options {
    enum class Output { Pdf, Png, None };

    std::string input;            // "-" = standard input
    std::string output;           // "" = FILE.pdf beside the input (unless checking/tracing);
                                  // "-" = the PDF on standard output
    Output outputKind = Output::Pdf;
    int firstPage = 1;
    int lastPage = 0;             // 0 = through the last page
    PaperSize paper{2100, 2970};  // A4
    bool landscape = false;
    int dpi = 150;
    std::optional<std::pair<int, int>> adjust;
    std::vector<std::pair<int, std::string>> slotImages; // clipboard slot digit, image file
    bool check = false;
    bool trace = false;
    std::optional<std::string> printer; // --printer: the queue to print on ("" = default)
    int timeoutSeconds = 0;             // --timeout: stop the job after this long (0 = never)
    int threads = 0;                    // --threads: PDF pages drawn at once (0 = processors)
    ErrorFormat errorFormat = ErrorFormat::List;
    std::string root;                   // --root, resolved: the folder calls and pictures
                                        // must lie in ("" = anywhere)
    bool watch = false;                 // --watch: render again after every change
    std::string dataFile;               // --data: merge printing, one copy per record
    int firstRecord = 1;                // --records A-B: the records to print (1-based)
    int lastRecord = 0;                 // 0 = through the last record
    bool help = false;
    bool version = false;
};

// Reads the arguments after the program name. Returns "" or what is wrong with them.
std::string ParseOptions(const std::vector<std::string> &args, Options &options);

// The output path of page `page` for PNG output: a "%d" in `pattern` becomes the page
// number, otherwise "-N" goes before the extension.
std::string PngPathForPage(const std::string &pattern, int page);

extern const char *const kUsage;
