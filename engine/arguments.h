// The argument checks that every command uses: count first, then numbers in order.
#pragma once

#include <string_view>

struct CommandFrame;

// True when the line has no argument after argument `maxArgs`; otherwise raises 21.
bool CheckArgumentCount(CommandFrame &frame, int maxArgs);

// Reads argument `index` as a number. On failure raises its error and returns false.
bool ReadNumber(CommandFrame &frame, int index, int &value);

// True when argument `index` is absent.
bool IsAbsent(const CommandFrame &frame, int index);
