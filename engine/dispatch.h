// The line dispatcher: runs one text line by line on a frame.
#pragma once

#include <string_view>

struct CommandFrame;

// Runs every line of `text` on `frame`. Returns at the end of the text, at a line that is
// only the end marker, or at a page line when the frame is the page's own.
void RunText(CommandFrame &frame, std::string_view text);

// Replaces the {{aa}} references of the frame's current line by their abbreviations
// (once; inserted text is not expanded again) and keeps the line as written in rawLine.
// Returns an error code when the expanded line would be too long.
int Expand(CommandFrame &frame);

// Executes the frame's current line (already expanded).
void Dispatch(CommandFrame &frame);
