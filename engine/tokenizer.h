// Splitting a command line into its tokens.
#pragma once

#include "frame.h"

#include <string_view>

// Fills `tokens` from `line`:
//   - a full-width blank counts as two blanks, a comma as a blank, and, when
//     `equalsAreBlanks`, an "=" as a blank; single-byte letters become lower case;
//   - a token is a run up to a blank, tab or the end, at most `maxLength` bytes (a longer
//     run goes on as the next token); blanks and tabs after it are skipped, and a "#"
//     there makes the rest of the line a comment; ten tokens at most.
// A line that begins with a blank has an empty token 0. Returns true when the line holds
// something other than white space and a comment (what an empty token 0 makes an error).
bool TokenizeLine(std::string_view line, TokenList &tokens, std::size_t maxLength,
                  bool equalsAreBlanks);

// The tokens of the frame's current line, as the dispatcher reads them.
bool Tokenize(CommandFrame &frame);
