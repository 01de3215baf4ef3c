// The benchmark form: a ruled A4 form of 61 rules and 100 short strings a page, as a
// command file, as PostScript with the same marks, and as the list of marks itself.
#pragma once

#include <string>
#include <vector>

namespace formgen {

// Positions in 0.1 mm from the top-left corner of an A4 sheet.
struct Rule {
    int x1, y1, x2, y2;
};
struct Label {
    int x, y; // top-left corner of the text
    std::string text;
};

// The marks of page `page` (1-based): 31 horizontal and 30 vertical rules of the thinnest
// pen, and 100 labels that differ from page to page, as generated forms do. With `kanji`
// every label ends in a kanji of its own instead of a letter: the ((page - 1) × 100 + i)-th
// kanji of code page 932 in label i, so that 30 pages show 3,000 different ones. Label
// texts are code page 932.
std::vector<Rule> PageRules();
std::vector<Label> PageLabels(int page, bool kanji = false);

// The form of `pages` pages as a command file (CR LF, code page 932): hrange/hline and
// vrange/vline series for the rules, then position, :. and * for every label, pages
// separated by page lines. About 5.7 KB a page.
std::string CommandText(int pages, bool kanji = false);

// The same marks as a PostScript program (A4, Times-Roman 12 pt, thinnest lines), for
// comparing with Ghostscript's pdfwrite.
std::string PostScript(int pages);

} // namespace formgen
