// The live preview beside the editor: the caret's page, kept current as the text changes.
#pragma once

#include "livepagejob.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

class CZentovaView;
class MarkPageView;
class PreviewWorker;
class QAction;
class QComboBox;
class QLabel;
class QSpinBox;

// Shows the page that holds the caret, rendered off the editor's thread by the print
// preview's job code (LivePageJob on a PreviewWorker), and marks the faulty lines in the
// editor after every rendering. The first edit after a quiet moment renders at once;
// edits that follow each other closely wait until the keys pause for kPauseMs. Every edit
// drops the rendering in hand. The pane follows the caret from page to page; turning
// pages by hand holds the page until the caret moves to another page. A click on a mark
// puts the caret on the line that drew it; the marks of the caret's line are outlined.
// With a data file chosen for merge printing, the pane shows the document with one record
// (the first, or the one picked in its record box).
class LivePreviewPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPauseMs = 120;

    // `budgetMs`: how long a page may run before it is shown as far as it got.
    explicit LivePreviewPane(CZentovaView &view, QWidget *parent = nullptr,
                             int budgetMs = 2000);
    ~LivePreviewPane() override;
    Q_DISABLE_COPY(LivePreviewPane)

    MarkPageView *pageView() const { return m_pages; }
    // The result shown last; null before the first.
    const LivePageResult *shown() const { return m_shown.get(); }
    // True while a rendering is wanted or under way.
    bool busy() const { return m_waiting || m_pause.isActive(); }

public slots:
    // Renders again: for changes the text does not show (printer, adjustment, clipboard
    // slots, the document's file).
    void refresh();

signals:
    // A rendering has been shown.
    void rendered();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildToolBar();
    void textChanged();
    void caretMoved();
    void pauseOver();
    void imageWanted(int page);
    void requestNow();
    void take(std::shared_ptr<LivePageResult> result);
    void showControls();
    void takeMergeData();
    void goToLine(int line);
    int pageOfLine(int line) const;

    CZentovaView &m_view;
    const int m_budgetMs;
    MarkPageView *m_pages;
    QLabel *m_notice;
    QLabel *m_pageLabel;
    QAction *m_previous = nullptr;
    QAction *m_next = nullptr;
    QComboBox *m_zoom = nullptr;
    QAction *m_recordAction = nullptr; // the record box, shown with a data file
    QSpinBox *m_record = nullptr;
    std::unique_ptr<PreviewWorker> m_worker; // made when the pane is first shown

    quint64 m_generation = 0;   // of the newest request; a result of another is stale
    bool m_waiting = false;     // a request is out
    quint64 m_textRevision = 1; // counts the edits
    quint64 m_sentRevision = 0; // the revision of the text last sent
    std::shared_ptr<const commandtext::Source> m_source;
    std::shared_ptr<const ClipImageStore> m_slots;
    std::shared_ptr<const DataFile> m_records; // the data file of merge printing, if any
    QTimer m_pause;            // the keys' pause
    QElapsedTimer m_sinceEdit; // since the last edit
    QTimer m_caretSettle;      // the caret's line is looked at once it rests

    std::shared_ptr<LivePageResult> m_shown;
    std::vector<int> m_pageStarts; // of the text last rendered
    int m_caretLine = 1;
    int m_caretPage = 1;
    bool m_pageByHand = false; // the page was turned by hand
    bool m_applying = false;   // a result is being shown: the view's requests are its own
};
