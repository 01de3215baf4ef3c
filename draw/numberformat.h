// The printf-style integer format of the `=` command, formatted without the C library
// reading arguments that are not there.
#pragma once

#include <string>
#include <string_view>

// True when `format` holds at most one conversion, and that one takes an int:
//   conversion := "%" {flag} [width] ["." [precision]] [length] type
//   flag := "-" | "+" | " " | "#" | "0";  length := "h" | "hh" | "l";
//   type := "d" | "i" | "o" | "u" | "x" | "X" | "c"
// with width and precision of at most four digits; "%%" stands for "%".
bool IsValidNumberFormat(std::string_view format);

// `value` formatted with `format` (which IsValidNumberFormat accepted); the text around
// the conversion is copied byte for byte.
std::string FormatNumber(std::string_view format, int value);
