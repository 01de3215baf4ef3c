// The ToUnicode CMap of an embedded font: which text each glyph code stands for, so that
// text in the PDF can be searched and copied.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace pdf {

// The CMap for 2-byte codes, from each code to its text (UTF-8). Runs of codes whose
// texts are consecutive single characters become ranges.
std::string ToUnicodeCMap(const std::map<std::uint32_t, std::string> &texts);

} // namespace pdf
