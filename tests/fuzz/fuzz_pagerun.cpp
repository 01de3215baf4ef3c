// Fuzz target: the whole print job on arbitrary command text, every page (at most three)
// traced to nowhere on the surface with font-free metrics.
#include "draw/drawingview.h"
#include "draw/nullsurface.h"
#include "draw/printjob.h"
#include "draw/tracesurface.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

// Pages past the third only repeat what the first three reach.
constexpr int kMaxPages = 3;
// Questions to the stop hook before an input is cut short: a counter keeps runs
// repeatable, the deadline only catches inputs whose polls are themselves slow.
constexpr int kMaxStopQuestions = 1000;
constexpr auto kMaxRunTime = std::chrono::milliseconds(500);

// Drops everything written to it: the trace runs for its formatting, not its text.
class DiscardBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char *, std::streamsize n) override { return n; }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Calls and pictures with relative paths must find nothing: run in an empty folder.
    // The files named on the command line (corpus folders, inputs, where findings go) are
    // made absolute first, so that they still mean what they meant.
    static std::vector<std::string> arguments;
    static std::vector<char *> pointers;
    for (int i = 0; i < *argc; ++i) {
        std::string arg = (*argv)[i];
        const std::size_t equals = arg.find('=');
        if (i > 0 && arg[0] != '-')
            arg = std::filesystem::absolute(arg).string();
        else if (arg.starts_with("-artifact_prefix=") || arg.starts_with("-exact_artifact_path="))
            arg = arg.substr(0, equals + 1) +
                  std::filesystem::absolute(arg.substr(equals + 1)).string();
        arguments.push_back(std::move(arg));
    }
    for (std::string &arg : arguments)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    *argv = pointers.data();

    static std::string folder =
        (std::filesystem::temp_directory_path() / "zentova-fuzz-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr || ::chdir(folder.c_str()) != 0)
        std::abort();
    std::atexit([] { ::rmdir(folder.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    DrawingView view;
    int questions = 0;
    const auto deadline = std::chrono::steady_clock::now() + kMaxRunTime;
    view.stopRequested = [&questions, deadline] {
        return ++questions > kMaxStopQuestions || std::chrono::steady_clock::now() > deadline;
    };

    NullSurface fake;
    DiscardBuffer discard;
    std::ostream out(&discard);
    TraceSurface surface(fake, out);
    PrintJob job(view);
    const int pages = std::min(job.Prepare(std::string(text), false, ""), kMaxPages);
    job.Begin(2100, 2970);
    for (int page = 1; page <= pages; ++page)
        job.PrintPage(surface, page);
    job.End();
    return 0;
}
