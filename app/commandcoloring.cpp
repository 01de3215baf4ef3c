// Colouring the editor's blocks as they come into view and as they change.
#include "commandcoloring.h"

#include "editorblocks.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

using commandcolors::Kind;

constexpr int kColoured = 1; // a block's user state once coloured; new blocks have -1

// Blocks changed at once beyond this many are coloured when they come into view: a paste
// or a whole file costs nothing until it is looked at.
constexpr int kColourAtOnce = 8;

} // namespace

CommandColoring::CommandColoring(QTextDocument &document)
    : QObject(&document), m_document(document)
{
    connect(&document, &QTextDocument::contentsChange, this, &CommandColoring::changed);
}

bool CommandColoring::IsColoured(const QTextBlock &block)
{
    return block.userState() == kColoured;
}

QTextCharFormat CommandColoring::Format(Kind kind)
{
    static const auto formats = []() {
        std::array<QTextCharFormat, static_cast<std::size_t>(Kind::Unknown) + 1> all;
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = MakeFormat(static_cast<Kind>(i));
        return all;
    }();
    return formats[static_cast<std::size_t>(kind)];
}

QTextCharFormat CommandColoring::MakeFormat(Kind kind)
{
    QTextCharFormat format;
    switch (kind) {
    case Kind::Plain:
        break;
    case Kind::Command:
        format.setForeground(QColor(0x00, 0x33, 0xB3));
        break;
    case Kind::Comment:
        format.setForeground(QColor(0x80, 0x80, 0x80));
        break;
    case Kind::Text:
        format.setForeground(QColor(0x06, 0x7D, 0x17));
        break;
    case Kind::Number:
    case Kind::Expression:
        format.setForeground(QColor(0xA6, 0x4B, 0x00));
        break;
    case Kind::Variable:
        format.setForeground(QColor(0x87, 0x10, 0x94));
        break;
    case Kind::Abbreviation:
        format.setForeground(QColor(0x00, 0x7A, 0x7A));
        break;
    case Kind::Label:
        format.setForeground(QColor(0x8A, 0x6D, 0x00));
        break;
    case Kind::Page:
        format.setForeground(QColor(0x1A, 0x23, 0x7E));
        format.setBackground(QColor(0xDD, 0xE3, 0xF7));
        break;
    case Kind::Unknown:
        format.setForeground(QColor(0xC0, 0x00, 0x00));
        format.setBackground(QColor(0xFF, 0xE4, 0xE4));
        break;
    }
    return format;
}

void CommandColoring::changed(int position, int, int added)
{
    if (m_colouring)
        return;
    // The changed blocks lose their colours, and so do the pieces that continue a changed
    // line: their colour follows the line's start.
    QTextBlock block = m_document.findBlock(position);
    const QTextBlock last = m_document.findBlock(position + added);
    int count = 0;
    for (; block.isValid(); block = block.next(), ++count) {
        const bool changedBlock = block.position() <= last.position();
        if (!changedBlock && !editorblocks::IsContinued(block))
            break;
        block.setUserState(-1);
    }
    if (count <= kColourAtOnce)
        colourRange(m_document.findBlock(position), block.isValid() ? block.previous()
                                                                    : m_document.lastBlock());
}

void CommandColoring::colourRange(const QTextBlock &first, const QTextBlock &last)
{
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        if (!IsColoured(block))
            colour(block);
        if (block == last)
            break;
    }
}

void CommandColoring::colour(QTextBlock block)
{
    const QString text = block.text();
    QList<QTextLayout::FormatRange> ranges;
    auto add = [&ranges](qsizetype start, qsizetype length, Kind kind) {
        if (kind != Kind::Plain && length > 0)
            ranges.append({static_cast<int>(start), static_cast<int>(length),
                           Format(kind)});
    };
    qsizetype lineStart = 0;
    if (editorblocks::IsContinued(block)) {
        // A piece of a long line: its colour is that of the line's start.
        QTextBlock head = block.previous();
        while (head.isValid() && editorblocks::IsContinued(head))
            head = head.previous();
        const QString headText = head.text();
        const qsizetype at = headText.lastIndexOf(QChar::LineSeparator) + 1;
        qsizetype end = text.indexOf(QChar::LineSeparator);
        if (end < 0)
            end = text.size();
        add(0, end, commandcolors::ContinuedKind(QStringView(headText).sliced(at)));
        lineStart = end + 1;
    }
    while (lineStart <= text.size()) {
        qsizetype end = text.indexOf(QChar::LineSeparator, lineStart);
        if (end < 0)
            end = text.size();
        const QStringView line = QStringView(text).sliced(lineStart, end - lineStart);
        for (const commandcolors::Span &span : commandcolors::Spans(line))
            add(lineStart + span.start, span.length, span.kind);
        lineStart = end + 1;
    }
    m_colouring = true;
    block.setUserState(kColoured);
    QTextLayout *layout = block.layout();
    if (layout->formats() != ranges) {
        layout->setFormats(ranges);
        // Lays the block out again, as a change of its text would; the text is unchanged,
        // so nobody hears of an edit.
        m_document.markContentsDirty(block.position(), block.length());
    }
    m_colouring = false;
}
