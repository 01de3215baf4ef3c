// Bounds that keep a small command file from exhausting memory.
#pragma once

#include <cstddef>

// The most bytes an abbreviation, an expanded line or the registered string may hold:
// ample for any real form, and small enough that doubling tricks stop at once. A change
// that would exceed it fails with error 22 and leaves the old value.
inline constexpr std::size_t kMaxTextBytes = std::size_t{1} << 20;
// The most bytes the 676 abbreviations may hold together, and so may each save area of
// `cstore`: one slot may still take kMaxTextBytes, but copying a long one into every slot
// would otherwise take gigabytes. A change beyond it fails with error 22 as well.
inline constexpr std::size_t kMaxAbbreviationBytes = std::size_t{4} << 20;
