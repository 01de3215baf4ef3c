// One page of a job at a time, at a zoom, in a scroll area: the page area of the print
// preview.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QSizeF>

// Shows the current page centred on a grey ground. While the whole page fits the height,
// the vertical scroll bar goes from page to page; otherwise it scrolls through the page,
// and scrolling on past the page's end goes on to the next page. The view renders nothing:
// it asks for the image of the current page at the current zoom through imageWanted and
// shows what showImage gives it, meanwhile the last image of that page stretched or empty
// paper.
class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class Fit { WholePage, PageWidth, None };

    // The zoom steps of zoomIn and zoomOut; 1 shows the paper at its real size.
    static const QList<qreal> &ZoomSteps();

    explicit PageView(QWidget *parent = nullptr);
    Q_DISABLE_COPY(PageView)

    // The job's pages: how many, and the size of their paper.
    void setPages(int count, QSizeF paperInches);
    // The same for a job whose text changed: the current page stays (or the last, when
    // there are fewer now), and so does its image until showImage gives a new one.
    void updatePages(int count, QSizeF paperInches);
    QSizeF paperInches() const { return m_paper; }

    int pageCount() const { return m_pageCount; }
    int currentPage() const { return m_page; }
    Fit fit() const { return m_fit; }
    // The zoom in effect, also while the page is fitted to the window.
    qreal zoom() const;
    // The resolution of the image the current zoom shows, in device pixels per inch, and
    // the image's size.
    qreal imageDotsPerInch() const;
    QSize imageSize() const;
    // True when the current page is shown from an image at the current zoom.
    bool showsPage() const;

public slots:
    // Makes `page` (clamped to the job's pages) the current page, shown from its top.
    void setCurrentPage(int page);
    void nextPage();
    void previousPage();
    void setFit(PageView::Fit fit);
    // A fixed zoom, clamped to the zoom steps' range; fitting ends.
    void setZoom(qreal zoom);
    void zoomIn();
    void zoomOut();
    // The image of `page`; shown when it is the current page.
    void showImage(int page, const QImage &image);

signals:
    void currentPageChanged(int page);
    void zoomChanged();
    // The current page is not shown at the current zoom: its image is wanted.
    void imageWanted(int page, qreal dotsPerInch);

protected:
    // Where the page lies in the viewport, in logical pixels.
    QRectF pageRect() const;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Arrive { Top, Bottom };

    // The page's size on the screen, in logical pixels.
    QSizeF pageSize() const;
    // True while the whole page fits the height: the vertical scroll bar turns pages.
    bool turnsPages() const;
    void goToPage(int page, Arrive arrive);
    void layoutChanged();
    void updateScrollBars();
    void askForImage();
    // Scrolls by `pixels` (positive: down) through the page, turning the page at its ends.
    void scrollPage(int pixels);

    int m_pageCount = 1;
    int m_page = 1;
    QSizeF m_paper{8.27, 11.69};
    Fit m_fit = Fit::WholePage;
    qreal m_zoom = 1;
    QImage m_image;      // the last image given for the current page, at any zoom
    int m_imagePage = 0; // the page m_image shows
    bool m_turning = false;     // the vertical bar turns pages
    bool m_settingBars = false; // the bars are being set, not moved by the user
    int m_wheelRest = 0;        // wheel movement not yet turned into a page or a zoom
};
