// Page units (0.1 mm) and logical units (1/1440 inch), and 32-bit arithmetic without
// overflow.
#pragma once

#include "engine/expression.h"

#include <cstdint>

inline constexpr double kPageToLogical = 5.669291338582677;   // 144 / 25.4
inline constexpr double kLogicalToPage = 0.1763888888888889;  // 25.4 / 144
inline constexpr double kPageToDeciPoint = 2.8346456692913384; // 72 / 25.4

// A page length or position in logical units, truncated toward zero.
inline int ToLogical(long long pageUnits)
{
    return TruncateToInt(static_cast<double>(pageUnits) * kPageToLogical);
}

// A logical length in page units, truncated toward zero.
inline int ToPage(long long logicalUnits)
{
    return TruncateToInt(static_cast<double>(logicalUnits) * kLogicalToPage);
}

// A coordinate computed in 64 bits, held at the ends of the 32-bit range.
inline int Saturate(long long v)
{
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int>(v);
}

// The 32-bit two's-complement result of integer arithmetic done in 64 bits, as the
// positions of the language wrap.
inline int Wrap(long long v)
{
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}
