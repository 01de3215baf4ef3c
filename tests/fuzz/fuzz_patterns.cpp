// Fuzz target: the plug-in pattern lists: merging, blank removal and the choice of a
// plug-in by extension. The input is a pattern list, then after a LF a file path.
#include "image/filterpatterns.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t cut = input.find('\n');
    const std::string patterns(input.substr(0, cut));
    const std::string_view path = cut == std::string_view::npos ? "" : input.substr(cut + 1);

    std::string stripped = patterns;
    StripBlanks(stripped);
    if (stripped.find(' ') != std::string::npos)
        std::abort();

    int messages = 0;
    std::string merged = patterns;
    const int result = MergePatterns(merged, [&messages](const std::string &) { ++messages; });
    if ((result == -1) != patterns.empty() || messages > 1)
        std::abort();

    // Merging keeps every extension a list names, unless the list was cut at its limit.
    const std::string_view ext = FileExtension(path);
    const bool matched = PatternsMatchExtension(patterns, ext);
    if (messages == 0 && !patterns.empty() && matched != PatternsMatchExtension(merged, ext))
        std::abort();
    return 0;
}
