// How the editor's document holds a command text of any length: short lines gathered into
// blocks, lines too long to lay out at every keystroke cut into continued blocks.
#pragma once

#include <QList>
#include <QString>

class QTextBlock;
class QTextCursor;
class QTextDocument;

// QPlainTextEdit lays a block out again whole at every keystroke in it, and keeps some
// bookkeeping per block: one block per line makes a file of a million lines slow to open
// and a line of a million characters slow to type in. The editor's document therefore holds
// - several short lines in one block, separated by U+2028 (a line break inside a block);
// - a line longer than kCutChars in several blocks, each after the first marked as
//   continuing the line of the block before it.
// The text of the document reads every U+2028 and every block end as a line end, except the
// end of a block that the next block continues, which is no character of the text at all.
// Positions in the document are positions in the text up to the first continued block.
namespace editorblocks {

inline constexpr int kGroupChars = 512; // lines are gathered into a block up to this length
inline constexpr int kCutChars = 1024;  // a longer line is cut into blocks of this length

// True when `block` continues the line of the block before it.
bool IsContinued(const QTextBlock &block);

// Fills an empty document with `text` (lines end with LF, CR LF, CR, U+2028 or U+2029), as
// one change that cannot be undone.
void Fill(QTextDocument &document, const QString &text);

// Replaces the selection of `cursor`, or inserts at it, by `text`: its line ends end lines,
// its long lines are cut as Fill cuts them. The caller makes it one undo step.
void Insert(QTextCursor &cursor, const QString &text);

// The text from position `from` up to `to`, lines ending with LF.
QString Text(const QTextDocument &document, int from, int to);
// The whole text.
QString Text(const QTextDocument &document);

// Where the line that holds `position` begins, and where it ends (before its line end).
int LineStart(const QTextDocument &document, int position);
int LineEnd(const QTextDocument &document, int position);
// Where line `lineNo` (1-based) begins; -1 when the text has fewer lines.
int LinePosition(const QTextDocument &document, int lineNo);
// Where each of `lineNumbers` (ascending) begins, in one pass over the text; -1 for lines
// beyond its end.
QList<int> LinePositions(const QTextDocument &document, const QList<int> &lineNumbers);

// A block and the number of the line its text starts in: where LineNumber may start
// counting. Valid until the text changes at or before the block's start.
struct LineAnchor {
    int blockNumber = 0;
    int lineNo = 1;
};
// The number (1-based) of the line that holds `position`. Counts from `anchor` when it
// lies at or before the position's block (from the text's start otherwise) and leaves
// there the position's block, so that asking again near the same place costs little.
int LineNumber(const QTextDocument &document, int position, LineAnchor *anchor = nullptr);

// Gives each block that is not laid out the number of lines it holds as its line count.
// The editor's scroll bar adds up the blocks' line counts; the plain-text layout counts one
// line for every block it has not laid out yet, far too few for blocks of many lines.
void EstimateLineCounts(QTextDocument &document);

} // namespace editorblocks
