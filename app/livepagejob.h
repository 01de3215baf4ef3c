// The live preview's job: one page of the editor's text at a time, rendered by the print
// preview's own job code, with the marks it drew and the errors it found.
#pragma once

#include "commandtext.h"
#include "errormarks.h"

#include "draw/drawingview.h"
#include "draw/markrecorder.h"
#include "draw/qt/pagerenderer.h"

#include <QImage>
#include <QList>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class DataFile;

// What the live preview wants rendered. Everything in it is immutable once made, so the
// request may cross to another thread.
struct LivePageRequest {
    quint64 generation = 0;
    std::shared_ptr<const commandtext::Source> text; // the same pointer for the same text
    std::string documentPath;                          // UTF-8, "" for a new document
    int caretLine = 1;
    int page = 0; // 0: the page that holds caretLine
    qreal dotsPerInch = 72;
    PrinterSheet sheet;
    int adjustX = 0, adjustY = 0;               // the print-position adjustment
    std::shared_ptr<const ClipImageStore> clipSlots; // a copy of the clipboard slots
    // Merge printing: the document shown with record `record` (1-based) of `records`;
    // null shows it without data, with the sample values its own lines give.
    std::shared_ptr<const DataFile> records;
    int record = 1;
};

struct LivePageResult {
    quint64 generation = 0;
    int page = 1;
    int pageCount = 1;
    std::vector<int> pageStarts; // the first line of pages 2, 3, ...
    QImage image;                // the whole sheet at dotsPerInch
    qreal dotsPerInch = 72;
    PrinterSheet sheet;
    std::vector<Mark> marks;     // logical units from the printable area's corner
    QList<LineError> errors;     // those of the page's run, as the error list has them
    bool overBudget = false;     // the page ran out of time and shows as far as it got
};

// Copies what a live page job reads of the editor's view: the folders of the path macros
// and the screen's size.
void CopyViewEnvironment(const DrawingView &from, DrawingView &to);

// Copies the clipboard slots that are filled.
std::shared_ptr<const ClipImageStore> CopyClipSlots(const ClipImageStore &store);

// Keeps what one page's rendering leaves for the next: the prepared text (prepared again
// only when the text changes), the decoded pictures (decoded again when their file
// changes), the fonts. Runs on one thread at a time; it has its own view state, profile
// and slots and shares nothing with the editor's.
class LivePageJob {
public:
    // `view` gives the folders and the screen's size.
    explicit LivePageJob(const DrawingView &view);
    ~LivePageJob();
    Q_DISABLE_COPY(LivePageJob)

    // Renders the page `request` asks for. `stopRequested` is asked now and then while
    // the page runs; answering true stops it where it is and the result says overBudget.
    LivePageResult render(const LivePageRequest &request,
                          const std::function<bool()> &stopRequested = {});

private:
    void takeSlots(const LivePageRequest &request);
    void forgetChangedPictures();
    void notePictures();
    QList<LineError> errors() const;

    DrawingView m_view;
    // The print-position adjustment as it was when the request was made: the editor's
    // settings store belongs to the editor's thread.
    FixedAdjustment m_adjustment;
    PageRenderer m_renderer;
    MarkRecorder m_marks;
    std::shared_ptr<const commandtext::Source> m_text;
    std::string m_documentPath;
    std::shared_ptr<const DataFile> m_records;
    int m_record = 0;
    QList<int> m_unmappedLines;
    std::shared_ptr<const ClipImageStore> m_slots;
    std::map<std::string, std::pair<qint64, qint64>> m_pictureStamps; // size, modified
};
