// Numeric arguments: plain integers and integer expressions with variables.
#pragma once

#include <string_view>

class CCommandEngine;

// Index 0-675 of the variable named by the first two bytes of `name` (either case), or -1.
int VariableIndex(std::string_view name);

// Turns one argument token into a value. Returns 0 and stores the value, or returns an
// error code (1, 2, 3, 4, 9 or 21) and leaves `value` alone.
//   token := integer | expression
//   integer := ["-"] digit {digit}
//   expression: numbers (decimal, or hexadecimal ending in "h"), $aa variables, + - * /,
//   parentheses; "2(3)", "(2)(3)" and "(2)3" multiply; evaluated in double precision
//   and truncated toward zero.
int ParseNumber(const CCommandEngine &engine, std::string_view token, int &value);

// Evaluates an expression over the alphabet "0123456789abcdefh+-*/()" (and ".") without
// variables; the same codes as ParseNumber. Exposed for tests of deep nesting.
int EvaluateExpression(std::string_view expr, double &result);

// Truncates toward zero into the 32-bit range; values beyond it stay at its ends and a
// value that is not a number gives 0.
int TruncateToInt(double v);
