// The print preview window: the pages of one job, rendered as the user looks at them.
#pragma once

#include "pageimagecache.h"

#include <QDialog>
#include <QTimer>

#include <functional>

class PageView;
class QAction;
class QComboBox;
class QLabel;
class QSpinBox;

// A tool bar (print, page turning, the page number and count, zoom, close) over a
// PageView. A page is rendered when it is shown, and only then, so the first page of a job
// of any length shows at once and every page records its errors when the user first looks
// at it; the latest images are kept within a memory budget. Rendering happens on the
// window's own thread between its events; the renderer may let events through while a page
// runs (a progress dialog with Cancel). A page that comes back empty means the user
// stopped the job: the preview closes.
class PreviewDialog : public QDialog {
    Q_OBJECT
public:
    // Renders page `page` (1-based) as an image of its whole sheet at `dotsPerInch`; a null
    // image when the job was stopped.
    using RenderPage = std::function<QImage(int page, qreal dotsPerInch)>;
    // Prints the job; true when pages went to the printer, which ends the preview.
    using Print = std::function<bool()>;

    // Bytes of page images kept for going back and forth.
    static constexpr qint64 kImageBudget = 64 * 1024 * 1024;

    PreviewDialog(int pageCount, QSizeF paperInches, RenderPage render, Print print,
                  QWidget *parent = nullptr);
    Q_DISABLE_COPY(PreviewDialog)

    PageView *pageView() const { return m_view; }
    const PageImageCache &images() const { return m_images; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildToolBar(QLayout *layout);
    void renderWanted();
    void showControls();
    void zoomChosen(int index);

    RenderPage m_render;
    Print m_print;
    PageView *m_view;
    PageImageCache m_images{kImageBudget};
    QTimer m_renderSoon;     // renders the wanted page once the events in hand are handled
    bool m_rendering = false;
    QAction *m_first = nullptr;
    QAction *m_previous = nullptr;
    QAction *m_next = nullptr;
    QAction *m_last = nullptr;
    QSpinBox *m_pageNumber = nullptr;
    QLabel *m_pageCount = nullptr;
    QComboBox *m_zoom = nullptr;
};
