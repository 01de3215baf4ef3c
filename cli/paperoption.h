// The value of zentova-print's --paper: a name, a printer paper-size code or WxH in mm.
#pragma once

#include "draw/papersizes.h"

#include <string>
#include <string_view>

// The largest side a custom paper may have, in 0.1 mm: 2 m, beyond any printer's roll.
inline constexpr int kMaxPaperSide = 20000;

// Reads `value` into `paper`: a name or code as PaperByName takes them, or a width and
// height in millimetres ("90x55", "100.5X148"; at most one decimal), each above 0 and at
// most 2 m. Returns "" or what is wrong with the value.
std::string ParsePaperOption(std::string_view value, PaperSize &paper);
