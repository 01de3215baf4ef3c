// Measuring and drawing copies of a text or an integer at successive positions.
#pragma once

#include "surface.h"

#include <string>
#include <string_view>

class CCommandEngine;
struct CommandFrame;

// The font the text commands draw with, from the engine's font fields; `escapement` in
// tenths of a degree (sideways "@" faces turn by 2700 unless told otherwise).
FontSpec BuildFont(const CCommandEngine &engine, int escapement);
FontSpec BuildFont(const CCommandEngine &engine);

// Draws `count` copies at the display position: moved by (x, y) from copy to copy, or, in
// target mode, spread evenly from the display position to the target (x, y). In number
// mode copy i shows startValue + i × increment in the integer format; otherwise each copy
// takes the next line of the registered string. The frame's current line decides the
// rest: "*" and ":" lines record the measured size, "**" only measures, and a keyword
// beginning with "f" prints integers in full width.
void DrawTextRun(CommandFrame &frame, long long count, int x, int y, bool targetMode,
                 bool numberMode, int startValue, int increment);
