// The colour classes of command-file text: what each part of a line is to the interpreter.
#pragma once

#include <QStringView>

#include <vector>

namespace commandcolors {

enum class Kind : unsigned char {
    Plain,
    Command,      // a keyword, a line form's sign (":.", "!", "/", "<", "=", "*")
    Comment,      // "#" lines and what follows "#" after an argument
    Text,         // the text of ":" lines, paths, face names, number formats
    Number,       // an argument that is a plain integer
    Expression,   // an argument computed from operators, variables, hexadecimal numbers
    Variable,     // "$aa" and the names of variables
    Abbreviation, // "{aa}", "}{aa}" and "{{aa}}"
    Label,        // "##a" lines and the label argument of skip, nskip and repeat
    Page,         // page lines
    Unknown,      // what the interpreter would not run: an unknown command, an indented one
};

struct Span {
    int start;
    int length;
    Kind kind;
    bool operator==(const Span &) const = default;
};

// The parts of one line (without its line end) as the dispatcher reads it: commands are
// recognised by their first three letters through the interpreter's own command table.
// In order, apart, each at least one character long; what they leave out is plain.
std::vector<Span> Spans(QStringView line);

// The kind that `head`, the first piece of a line too long for one editor block, goes on
// in: the kind of its last character.
Kind ContinuedKind(QStringView head);

} // namespace commandcolors
