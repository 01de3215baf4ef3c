// The line dispatcher: runs one text line by line on a frame.
#pragma once

#include <string_view>

struct CommandFrame;

// Runs every line of `text` on `frame`. Returns at the end of the text, at a line that is
// only the end marker, or at a page line when the frame is the page's own.
void RunText(CommandFrame &frame, std::string_view text);

// Makes `line` the frame's current line: as written in rawLine, and in currentLine with
// its {{aa}} references replaced by their abbreviations (once; inserted text is not
// expanded again). `line` must stay put while the line runs. Returns an error code when
// the expanded line would be too long; currentLine is then the line as written.
int Expand(CommandFrame &frame, std::string_view line);

// Executes the frame's current line (already expanded).
void Dispatch(CommandFrame &frame);
