// Command text between the file's code page 932 bytes and the editor's Unicode text.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <string>
#include <string_view>
#include <vector>

class ErrorText;

namespace commandtext {

// Bytes 0x80 to 0xFF that form no code page 932 character (a damaged file, a lone lead
// byte) stand in the editor for the private-use characters U+EF80 to U+EFFF, one for
// each byte, and are written back as the bytes they stand for. Code page 932's own
// private-use characters (its user-defined area 0xF040 to 0xF9FC) are U+E000 to U+E757
// and never meet these. Whoever types or pastes one of these characters gets its byte,
// exactly as if the file had held it.
inline constexpr char16_t kFirstByteCharacter = 0xEF80;
inline constexpr char16_t kLastByteCharacter = 0xEFFF;

// Lines whose bytes the text alone would not give back: some characters have two codes
// (0xED40 and 0xFA5C are both U+7E8A), and code page 932 writes one of them. By the
// line's text, the bytes of each line with that text, in the order of the lines.
// Usually empty.
using KeptLines = QHash<QString, std::vector<std::string>>;

// The editor's text of a file's bytes: CR LF, a lone LF and a lone CR each end a line
// ("\n"). `kept`, when given, receives the lines whose bytes the text alone would not
// give back.
QString FromBytes(std::string_view bytes, KeptLines *kept = nullptr);

// Code page 932 bytes of the editor's text, and the lines that lost characters.
struct Encoded {
    std::string bytes;
    QList<int> unmappedLines; // 1-based, ascending
};

// Code page 932 bytes of the editor's text, lines ending in CR LF. The n-th line with a
// text found in `kept` is written with the n-th bytes kept for it. A character that
// code page 932 has no form for becomes one "?", and its line is listed.
Encoded ToBytes(QStringView editorText, const KeptLines &kept = {});

// A document's command text at one moment, to be turned into code page 932 later, on any
// thread: the file's bytes while the editor holds what was read, otherwise the editor's
// text with the lines whose bytes were kept.
struct Source {
    bool unedited = false;
    std::string bytes; // the file's bytes, when unedited
    QString text;      // the editor's text, when edited
    KeptLines kept;
    // The text as a print job takes it (CZentovaDoc::commandText).
    Encoded encode() const;
};

// Adds to `errors` an entry for each line of `text` that lost characters, unless its
// line number has one already. True when it added any.
bool ListUnmappedLines(const Encoded &text, ErrorText &errors);

// "3 行目", "3、7 行目", up to five lines and then "ほか": the lines of a message.
QString LinesForMessage(const QList<int> &lines);

} // namespace commandtext
