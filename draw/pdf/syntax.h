// The small pieces of PDF syntax every part of the writer appends: numbers, names, strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pdf {

// Appends `value` as a PDF integer.
void AppendInt(std::string &out, long long value);

// Appends `value` rounded to `decimals` places (0 to 6) without trailing zeros, so that
// whole numbers stay short ("12", "0.05", "-3.5"). Values beyond ±1e12 and non-finite
// values are held at the ends of that range (0 for NaN): a content stream never carries a
// number that a reader cannot parse.
void AppendReal(std::string &out, double value, int decimals = 2);

// `value` rounded the way AppendReal writes it.
double RoundReal(double value, int decimals);

// Appends a 16-bit code as four upper-case hex digits.
void AppendHex4(std::string &out, std::uint32_t code);

// Appends "/name", escaping every byte that a name cannot hold as #xx.
void AppendName(std::string &out, std::string_view name);

// Appends a text string for the document information: a literal string when `utf8` is
// printable ASCII, otherwise UTF-16BE with its byte order mark, as hex.
void AppendTextString(std::string &out, std::string_view utf8);

// Appends the UTF-16BE code units of `utf8` as hex digits (no brackets, no byte order
// mark); malformed sequences become U+FFFD.
void AppendUtf16Hex(std::string &out, std::string_view utf8);

} // namespace pdf
