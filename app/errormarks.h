// The faulty lines of the last live rendering, kept on their lines while the text is
// edited, and drawn in the editor.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <vector>

class QPainter;
class QPointF;
class QTextBlock;
class QTextDocument;

// An error of a job: the line it was reported for and its message.
struct LineError {
    int line = 0;
    QString message;
    bool operator==(const LineError &) const = default;
};

// Each mark is a position in the document inside its line; every edit moves the marks
// after it, so a mark stays on its line when lines are inserted or removed above it, and
// joins the line its own line is joined to. Keeping a list of positions costs a keystroke
// a few microseconds even with 10,000 marks (text cursors would cost milliseconds), and
// drawing only looks at the blocks on screen.
class ErrorMarks : public QObject {
    Q_OBJECT
public:
    explicit ErrorMarks(QTextDocument &document);
    Q_DISABLE_COPY(ErrorMarks)

    // Marks the lines of `errors` in the text as it is now (lines beyond its end are
    // left out), replacing every earlier mark.
    void set(const QList<LineError> &errors);
    void clear();
    bool isEmpty() const { return m_positions.empty(); }
    int count() const { return static_cast<int>(m_positions.size()); }

    // The message of the line that holds `position`; empty when the line has no mark.
    QString messageAt(int position) const;

    // Draws the marks of `block`, whose layout's top-left lies at `topLeft`: a red bar in
    // the left margin and a wavy red line under the text of each marked line.
    void paintBlock(QPainter &painter, const QTextBlock &block, const QPointF &topLeft) const;

signals:
    // The marks were set or cleared.
    void changed();

private:
    void moved(int position, int removed, int added);

    QTextDocument &m_document;
    std::vector<int> m_positions; // ascending
    std::vector<QString> m_messages;
};
