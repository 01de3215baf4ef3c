// Paper sizes by name and by the printer paper-size codes that command lines use.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

struct PaperSize {
    int width;  // 0.1 mm, portrait
    int height;
};

// The paper of a printer paper-size code (9 = A4, 43 = postcard, ...), if known.
std::optional<PaperSize> PaperByCode(int code);

// The paper of a name, in any case (A3 A4 ... postcard, the Japanese envelopes kaku2 chou3
// ...; see PaperNames), or a code written as a number.
std::optional<PaperSize> PaperByName(std::string_view name);

// Every name PaperByName knows, lower case, in the order of the printer codes.
std::vector<std::string_view> PaperNames();
