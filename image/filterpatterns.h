// The file patterns of image plug-ins: the combined list of the file dialog's filter and
// the choice of a plug-in by a file's extension.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Shows a message to the user; the text is code page 932.
using MessageHook = std::function<void(const std::string &cp932Text)>;

// Removes every blank (0x20) from `text`.
void StripBlanks(std::string &text);

// Rewrites the ";"-separated pattern list `all` as its pieces without repeats (compared
// ignoring letter case), joined by "; ", in the order of first appearance. An empty list
// gives the message "spiextadd error : spiextが０です。" and -1. Only the first 4096
// pieces are kept; reaching that many gives the message "SUSIE-Plug inの対応画像が規定値
// を超えました。". Returns 0 otherwise. `message` may be empty.
int MergePatterns(std::string &all, const MessageHook &message);

// The extension of the last name in `path`, with its dot (".JPG"), or "" without one.
std::string_view FileExtension(std::string_view path);

// True when `a` and `b` are equal, ignoring the case of the letters A-Z.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// True when one of a plug-in's patterns ("*.jpg; *.jpeg") names the extension `ext`
// (".JPEG"), ignoring letter case. Patterns are taken without their blanks; a list that
// does not begin with "*" names no extension.
bool PatternsMatchExtension(std::string_view patterns, std::string_view ext);
