// The editor's blocks: gathering, cutting, and reading the text back.
#include "editorblocks.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <vector>

namespace editorblocks {

namespace {

constexpr int kContinuesLine = QTextFormat::UserProperty + 1;

QTextBlockFormat blockFormat(bool continued)
{
    QTextBlockFormat format;
    if (continued)
        format.setProperty(kContinuesLine, true);
    return format;
}

// The characters that end a line of text given to the editor: those that a text cursor
// takes as a block end, and U+2028, which the editor's text reads as a line end.
bool endsLine(QChar c)
{
    switch (c.unicode()) {
    case u'\n':
    case u'\r':
    case QChar::ParagraphSeparator:
    case QChar::LineSeparator:
    case 0xFDD0: // the text document's frame marks
    case 0xFDD1:
        return true;
    default:
        return false;
    }
}

// Calls `take(line)` for every line of `text`; CR LF is one line end.
template <typename Take>
void forEachLine(QStringView text, Take take)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!endsLine(text[i]))
            continue;
        take(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    take(text.mid(start));
}

// The text as the editor's blocks hold it: lines joined by U+2028 inside a block, blocks
// separated by U+2029; for every block whether it continues the line of the block before
// it, and how many lines it holds. The first block is the one the text starts in. A long
// line starts a block of its own, and the line after its last piece starts another.
struct Blocks {
    QString text;
    std::vector<bool> continued;
    std::vector<int> lines;
};

Blocks cut(QStringView text)
{
    Blocks out;
    out.text.reserve(text.size() + 1);
    out.continued.push_back(false);
    out.lines.push_back(0);
    qsizetype blockStart = 0;
    auto newBlock = [&](bool continued) {
        out.text += QChar::ParagraphSeparator;
        blockStart = out.text.size();
        out.continued.push_back(continued);
        out.lines.push_back(0);
    };
    bool first = true;
    bool full = false; // the next line starts a new block
    forEachLine(text, [&](QStringView line) {
        if (!first) {
            if (full || line.size() > kCutChars ||
                out.text.size() - blockStart + 1 + line.size() > kGroupChars)
                newBlock(false);
            else
                out.text += QChar::LineSeparator;
        }
        first = false;
        full = line.size() > kCutChars;
        ++out.lines.back();
        while (line.size() > kCutChars) {
            // A surrogate pair stays in one block.
            const qsizetype n = line[kCutChars - 1].isHighSurrogate() ? kCutChars - 1 : kCutChars;
            out.text += line.first(n);
            line = line.sliced(n);
            newBlock(true);
            ++out.lines.back();
        }
        out.text += line;
    });
    return out;
}

// Tells the views that the document's height changed: setting a block's line count
// does not, and the scroll bar would keep the range of the counts before.
void announceSize(QTextDocument &document)
{
    if (QAbstractTextDocumentLayout *layout = document.documentLayout())
        emit layout->documentSizeChanged(layout->documentSize());
}

} // namespace

bool IsContinued(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(kContinuesLine);
}

void Fill(QTextDocument &document, const QString &text)
{
    // All blocks go in with one insertion, much faster than block by block; the continued
    // ones are marked afterwards.
    const Blocks blocks = cut(text);
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    cursor.insertText(blocks.text);
    for (std::size_t number = 1; number < blocks.continued.size(); ++number)
        if (blocks.continued[number]) {
            QTextCursor at(document.findBlockByNumber(static_cast<int>(number)));
            at.setBlockFormat(blockFormat(true));
        }
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
    // What EstimateLineCounts would find, known already.
    std::size_t number = 0;
    for (QTextBlock block = document.begin(); block.isValid() && number < blocks.lines.size();
         block = block.next())
        block.setLineCount(blocks.lines[number++]);
    announceSize(document);
}

void Insert(QTextCursor &cursor, const QString &text)
{
    cursor.removeSelectedText();
    const Blocks blocks = cut(text);
    std::size_t number = 0;
    for (QStringView piece : QStringView(blocks.text).split(QChar::ParagraphSeparator)) {
        // A new block never takes over the mark of the block it is split from.
        if (number > 0)
            cursor.insertBlock(blockFormat(blocks.continued[number]));
        ++number;
        if (!piece.isEmpty())
            cursor.insertText(piece.toString());
    }
}

QString Text(const QTextDocument &document, int from, int to)
{
    QString out;
    out.reserve(std::max(0, to - from));
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to;) {
        const int start = block.position();
        const QString text = block.text();
        const int first = std::max(from, start) - start;
        const int last = std::min<int>(to - start, text.size());
        if (last > first)
            out += QStringView(text).sliced(first, last - first);
        const int end = start + static_cast<int>(text.size()); // the block's end, a line end
        block = block.next();
        if (end >= from && end < to && !(block.isValid() && IsContinued(block)))
            out += u'\n';
    }
    // As the text document reads its own text: the marks of its structure are line ends,
    // the no-break space a space.
    for (QChar &c : out) {
        if (endsLine(c))
            c = u'\n';
        else if (c == QChar::Nbsp)
            c = u' ';
    }
    return out;
}

QString Text(const QTextDocument &document)
{
    // The document's own text, less the line ends that stand for breaks inside a line.
    const QString plain = document.toPlainText();
    QString text;
    qsizetype from = 0;
    bool cut = false;
    for (QTextBlock block = document.begin().next(); block.isValid(); block = block.next()) {
        if (!IsContinued(block))
            continue;
        if (!cut)
            text.reserve(plain.size());
        cut = true;
        const qsizetype end = block.position() - 1;
        text += QStringView(plain).sliced(from, end - from);
        from = end + 1;
    }
    if (!cut)
        return plain;
    text += QStringView(plain).sliced(from);
    return text;
}

int LineStart(const QTextDocument &document, int position)
{
    QTextBlock block = document.findBlock(position);
    int offset = position - block.position();
    for (;;) {
        const QString text = block.text();
        const qsizetype at = offset > 0 ? text.lastIndexOf(QChar::LineSeparator, offset - 1) : -1;
        if (at >= 0)
            return block.position() + static_cast<int>(at) + 1;
        if (!IsContinued(block) || !block.previous().isValid())
            return block.position();
        block = block.previous();
        offset = block.length() - 1;
    }
}

int LineEnd(const QTextDocument &document, int position)
{
    QTextBlock block = document.findBlock(position);
    int offset = position - block.position();
    for (;;) {
        const QString text = block.text();
        const qsizetype at = text.indexOf(QChar::LineSeparator, offset);
        if (at >= 0)
            return block.position() + static_cast<int>(at);
        const QTextBlock next = block.next();
        if (!next.isValid() || !IsContinued(next))
            return block.position() + static_cast<int>(text.size());
        block = next;
        offset = 0;
    }
}

int LinePosition(const QTextDocument &document, int lineNo)
{
    if (lineNo == 1)
        return 0;
    int line = 1;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin() && !IsContinued(block) && ++line == lineNo)
            return block.position();
        const QString text = block.text();
        const qsizetype breaks = text.count(QChar::LineSeparator);
        if (line + breaks < lineNo) {
            line += static_cast<int>(breaks);
            continue;
        }
        for (qsizetype at = text.indexOf(QChar::LineSeparator); at >= 0;
             at = text.indexOf(QChar::LineSeparator, at + 1))
            if (++line == lineNo)
                return block.position() + static_cast<int>(at) + 1;
    }
    return -1;
}

QList<int> LinePositions(const QTextDocument &document, const QList<int> &lineNumbers)
{
    QList<int> positions;
    positions.reserve(lineNumbers.size());
    qsizetype next = 0;
    auto reached = [&](int line, int position) {
        while (next < lineNumbers.size() && lineNumbers[next] <= line) {
            positions.append(lineNumbers[next] == line ? position : -1);
            ++next;
        }
    };
    int line = 0;
    for (QTextBlock block = document.begin(); block.isValid() && next < lineNumbers.size();
         block = block.next()) {
        if (block == document.begin() || !IsContinued(block))
            reached(++line, block.position());
        if (next >= lineNumbers.size())
            break;
        const QString text = block.text();
        if (line + text.count(QChar::LineSeparator) < lineNumbers[next]) {
            line += static_cast<int>(text.count(QChar::LineSeparator));
            continue;
        }
        for (qsizetype at = text.indexOf(QChar::LineSeparator); at >= 0;
             at = text.indexOf(QChar::LineSeparator, at + 1))
            reached(++line, block.position() + static_cast<int>(at) + 1);
    }
    while (positions.size() < lineNumbers.size())
        positions.append(-1);
    return positions;
}

int LineNumber(const QTextDocument &document, int position, LineAnchor *anchor)
{
    const QTextBlock target = document.findBlock(position);
    if (!target.isValid())
        return 1;
    QTextBlock block = document.begin();
    int line = 1;
    if (anchor && anchor->blockNumber <= target.blockNumber()) {
        const QTextBlock from = document.findBlockByNumber(anchor->blockNumber);
        if (from.isValid()) {
            block = from;
            line = anchor->lineNo;
        }
    }
    for (; block != target; block = block.next()) {
        line += static_cast<int>(block.text().count(QChar::LineSeparator));
        if (!IsContinued(block.next()))
            ++line;
    }
    if (anchor)
        *anchor = {target.blockNumber(), line};
    const QString text = target.text();
    return line + static_cast<int>(
                      QStringView(text).first(std::min<qsizetype>(position - target.position(),
                                                                   text.size()))
                          .count(QChar::LineSeparator));
}

void EstimateLineCounts(QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.layout()->lineCount() == 0)
            block.setLineCount(1 + static_cast<int>(block.text().count(QChar::LineSeparator)));
    announceSize(document);
}

} // namespace editorblocks
