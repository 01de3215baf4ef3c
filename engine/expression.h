// Numeric arguments: plain integers and integer expressions with variables.
#pragma once

#include "errors.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string_view>

class CCommandEngine;

// Index 0-675 of the variable named by the first two bytes of `name` (either case), or -1.
int VariableIndex(std::string_view name);

// ParseNumber for a token that is no plain integer: `$aa` variables replaced by their
// values, then evaluated.
int ParseExpression(const CCommandEngine &engine, std::string_view token, int &value);

// Turns one argument token into a value. Returns 0 and stores the value, or returns an
// error code (1, 2, 3, 4, 9 or 21) and leaves `value` alone.
//   token := integer | expression
//   integer := ["-"] digit {digit}
//   expression: numbers (decimal, or hexadecimal ending in "h"), $aa variables, + - * /,
//   parentheses; "2(3)", "(2)(3)" and "(2)3" multiply; evaluated in double precision
//   and truncated toward zero.
//
// Nearly every argument is a plain integer; it is read here inline, and anything else
// goes to ParseExpression.
inline int ParseNumber(const CCommandEngine &engine, std::string_view token, int &value)
{
    if (token.empty())
        return ErrFormat;
    // A plain integer: one optional "-", then digits only. Read in one pass; at the first
    // byte that is no digit the token is an expression after all.
    const bool negative = token[0] == '-';
    if (negative && token.size() == 1)
        return ErrExprMalformed;
    long long v = 0;
    std::size_t i = negative ? 1 : 0;
    for (; i < token.size(); ++i) {
        const unsigned digit = static_cast<unsigned char>(token[i]) - unsigned{'0'};
        if (digit > 9)
            return ParseExpression(engine, token, value);
        // Leading zeros are allowed; a value beyond 32 bits stays at the range's end.
        v = std::min<long long>(v * 10 + digit, 1LL << 32);
    }
    if (negative)
        v = -v;
    value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
    return ErrNone;
}

// Evaluates an expression over the alphabet "0123456789abcdefh+-*/()" (and ".") without
// variables; the same codes as ParseNumber. Exposed for tests of deep nesting.
int EvaluateExpression(std::string_view expr, double &result);

// Truncates toward zero into the 32-bit range; values beyond it stay at its ends and a
// value that is not a number gives 0. Every coordinate drawn passes here.
inline int TruncateToInt(double v)
{
    // Strictly inside these bounds the truncation is an int (a NaN fails both tests).
    if (v > -2147483649.0 && v < 2147483648.0)
        return static_cast<int>(v);
    if (std::isnan(v))
        return 0;
    return v > 0 ? INT_MAX : INT_MIN;
}
