// Colours the command text in the editor: only blocks that come into view, each once until
// it changes.
#pragma once

#include "commandcolors.h"

#include <QObject>
#include <QTextCharFormat>

#include <array>

class QTextBlock;
class QTextDocument;

// A whole-document highlighter would lay out every block of a file of millions of lines
// when it is opened. This colours a block when the view is about to paint it and again
// after each edit in it, so the cost of a keystroke is one block's, whatever the file.
// A block's user state tells whether it is coloured; the editor blocks' own markings are
// block format properties and are left alone.
class CommandColoring : public QObject {
    Q_OBJECT
public:
    explicit CommandColoring(QTextDocument &document);
    Q_DISABLE_COPY(CommandColoring)

    // Colours the blocks from `first` up to and including `last` that are not coloured.
    void colourRange(const QTextBlock &first, const QTextBlock &last);
    // True when `block` carries its colours.
    static bool IsColoured(const QTextBlock &block);

    static QTextCharFormat Format(commandcolors::Kind kind);

private:
    static QTextCharFormat MakeFormat(commandcolors::Kind kind);
    void changed(int position, int removed, int added);
    void colour(QTextBlock block);

    QTextDocument &m_document;
    bool m_colouring = false;
};
