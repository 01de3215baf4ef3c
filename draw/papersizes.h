// Paper sizes by name and by the printer paper-size codes that command lines use.
#pragma once

#include <optional>
#include <string_view>

struct PaperSize {
    int width;  // 0.1 mm, portrait
    int height;
};

// The paper of a printer paper-size code (9 = A4, 43 = postcard, ...), if known.
std::optional<PaperSize> PaperByCode(int code);

// The paper of a name, in any case: A3 A4 A5 A6 B4 B5 letter legal postcard, or a code
// written as a number.
std::optional<PaperSize> PaperByName(std::string_view name);
