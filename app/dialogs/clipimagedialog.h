// The clipboard image dialog: fills the ten clipboard slots and trims their pictures.
#pragma once

#include <QDialog>

#include <functional>

class ClipImageStore;
class ClipPictureArea;
class QLabel;
class QPushButton;
class QScrollBar;
class QTabWidget;

// Ten tabs, one per slot; the selected slot's picture in a scrollable area that lets the
// picture slide out of view up to 8 pixels on every side; four cut buttons that remove
// whatever lies outside the view on their side. Every capture and cut takes effect at
// once; "閉じる" only closes the dialog.
//
// The scroll range is the picture plus a margin on each side: horizontally 0 to
// slotWidth + 2 × marginX with a page of viewWidth, and the area shows the picture's
// columns visibleLeft() = scrollX - marginX up to visibleRight() (exclusive); likewise
// vertically.
class CClipImageDlg : public QDialog {
    Q_OBJECT
public:
    // How many pixels a clipboard picture may have: an 8K screenshot fits.
    static constexpr long long kMaxCapturePixels = 40LL * 1000 * 1000;

    // `tell` shows a message to the user (a message box with an OK button).
    using Tell = std::function<void(const QString &message)>;

    CClipImageDlg(ClipImageStore &store, Tell tell, QWidget *parent = nullptr);
    Q_DISABLE_COPY(CClipImageDlg)

    // Fills the selected slot from the clipboard's picture; tells the user when the
    // clipboard holds none, or one too large, and then changes nothing.
    void capture();
    void leftCut();
    void rightCut();
    void topCut();
    void bottomCut();

    int currentSlot() const { return m_currentSlot; }
    int viewWidth() const { return m_viewWidth; }
    int viewHeight() const { return m_viewHeight; }
    int scrollX() const { return m_scrollX; }
    int scrollY() const { return m_scrollY; }
    int marginX() const { return m_marginX; }
    int marginY() const { return m_marginY; }
    int visibleLeft() const { return m_scrollX - m_marginX; }
    int visibleTop() const { return m_scrollY - m_marginY; }
    int visibleRight() const { return visibleLeft() + m_viewWidth; }
    int visibleBottom() const { return visibleTop() + m_viewHeight; }

    QTabWidget *tabs() const { return m_tabs; }
    QWidget *pictureArea() const;
    QScrollBar *horizontalBar() const { return m_horizontal; }
    QScrollBar *verticalBar() const { return m_vertical; }
    QLabel *sizeLabel() const { return m_size; }
    QLabel *leftLabel() const { return m_left; }
    QLabel *rightLabel() const { return m_right; }
    QLabel *topLabel() const { return m_top; }
    QLabel *bottomLabel() const { return m_bottom; }

private:
    void selectSlot(int slot);
    void refresh();
    void updateCutLabels();
    void scrollTo(Qt::Orientation orientation, int position);
    void onScrollAction(QScrollBar *bar, int action);
    // One of the store's cuts over the visible rectangle; when it changed the picture, the
    // positions chosen are reset to the margins and the dialog refreshed.
    using Cut = bool (ClipImageStore::*)(int, int, int, int, int);
    void cut(Cut which, bool resetX, bool resetY);
    void updateTabLabel(int slot);

    ClipImageStore &m_slots;
    Tell m_tell;
    QTabWidget *m_tabs;
    ClipPictureArea *m_area;
    QScrollBar *m_horizontal;
    QScrollBar *m_vertical;
    QLabel *m_size;
    QLabel *m_left;
    QLabel *m_right;
    QLabel *m_top;
    QLabel *m_bottom;

    int m_currentSlot = 0;
    int m_viewWidth = 0, m_viewHeight = 0;
    int m_slotWidth = 0, m_slotHeight = 0;
    int m_scrollX = 0, m_scrollY = 0;
    int m_marginX = 0, m_marginY = 0;
};
