// Command text between the file's code page 932 bytes and the editor's Unicode text.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace commandtext {

// The editor's text of a file's bytes. Bytes that form no code page 932 character show as
// U+FFFD. CR LF, a lone LF and a lone CR all end a line in the editor.
QString FromBytes(std::string_view bytes);

// Code page 932 bytes of the editor's text, lines ending in CR LF. A character that code
// page 932 cannot represent becomes one "?"; `firstBadLine`, when given, receives the
// 1-based line of the first such character, or 0 when every character was represented.
std::string ToBytes(const QString &editorText, int *firstBadLine = nullptr);

} // namespace commandtext
