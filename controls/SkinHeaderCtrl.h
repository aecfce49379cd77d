#pragma once
// CSkinHeaderCtrl: the column header of CSkinListCtrl. It is 22 pixels high and
// paints every column on three-piece skin images (left end, stretched middle,
// right end) in one of three states: normal, under the mouse (hot) and pressed.
// One column can show a sort arrow. Captions are drawn with insets, an ellipsis
// and the column's own alignment (the header model's TextAlignmentRole).
//
// Skin images: "<skin folder>ColumnHeader0.bmp" ... "ColumnHeader10.bmp"
//   0, 1, 2  normal column: left, middle, right
//   3, 4, 5  hot column: left, middle, right
//   6, 7, 8  pressed column: left, middle, right
//   9        sort arrow, ascending flag 1
//   10       sort arrow, ascending flag 0
// Loading stops at the first file that cannot be read; missing images are
// simply not drawn (background and captions always are).
//
// The hot column follows the mouse and is cleared by a 100 ms check once the
// mouse has left the header.

#include "controls/Colour.h"

#include <QHeaderView>
#include <QImage>
#include <QTimer>
#include <array>

// Where the pieces of one column go (header coordinates). An empty optional
// part is not drawn.
struct HeaderColumnLayout {
    bool drawLeft = false;
    QRect left;             // image l at its own size
    bool drawMiddle = false;
    QRect middle;           // image m stretched to this rectangle (its own height)
    bool drawRight = false;
    QRect right;            // image r at its own size
    bool drawArrow = false;
    QRect arrow;            // sort arrow at its own size
    bool drawCaption = false;
    QRect caption;          // caption rectangle (text elided, aligned inside it)
};

// Inputs of the column layout: the column rectangle, its insets L and R, the
// header's top inset, the widths lw and rw of the NORMAL state's end images
// (used for every state), the height of the normal middle image, the sizes of the state's three images and the arrow
// (an empty size = image missing), and whether this column shows the arrow.
struct HeaderColumnInput {
    QRect rect;
    int leftInset = 0;   // L: first column's firstLeftInset, else between / 2
    int rightInset = 0;  // R: last column's lastRightInset, else between / 2
    int topInset = 2;
    int lw = 0, rw = 0;
    int normalMiddleHeight = 0;  // height of image 1 (the arrow is centred on it)
    QSize leftImage, middleImage, rightImage, arrowImage;
    bool sortColumn = false;
};

HeaderColumnLayout LayoutHeaderColumn(const HeaderColumnInput& in);

class CSkinHeaderCtrl : public QHeaderView {
    Q_OBJECT
public:
    static constexpr int kImageCount = 11;
    static constexpr int kTrackTimerMs = 100;

    explicit CSkinHeaderCtrl(QWidget* parent = nullptr);
    ~CSkinHeaderCtrl() override;
    CSkinHeaderCtrl(const CSkinHeaderCtrl&) = delete;
    CSkinHeaderCtrl& operator=(const CSkinHeaderCtrl&) = delete;

    // Loads ColumnHeader0.bmp ... ColumnHeader10.bmp from `folder` (ending in
    // '/') until the first one that fails; by default the current skin's, where the
    // built-in skin stands in for an image the skin lacks. At 150 % and more the
    // @2x files are taken where they exist. Returns how many were loaded.
    int LoadImages(const QString& folder = QString());
    // The loaded image i (null when not loaded or out of range).
    QImage Image(int i) const;

    // Insets in pixels; `reserved` is kept but used by no drawing.
    void SetInsets(int firstLeft, int top, int lastRight, int reserved, int between);
    int FirstLeftInset() const { return m_firstLeftInset; }
    int TopInset() const { return m_topInset; }
    int LastRightInset() const { return m_lastRightInset; }
    int ReservedInset() const { return m_reservedInset; }
    int BetweenInset() const { return m_betweenInset; }

    // Column showing the sort arrow (-1: none) and its direction (1: image 9, 0: image 10).
    void SetSortIndicator(int column, int ascending);
    int SortColumn() const { return m_sortColumn; }
    int SortAscending() const { return m_sortAscending; }

    void SetBackColour(COLORREF c);
    COLORREF BackColour() const { return m_backColour; }
    int HeaderHeight() const { return m_height; }

    // Marks a column hot or pressed as the mouse would (-1: none). Without a
    // mouse over the header nothing clears them; previews and hosts that
    // highlight a column themselves use this.
    void SetHotItem(int column);
    void SetPressedItem(int column);
    int HotItem() const { return m_hotItem; }
    int PressedItem() const { return m_pressedItem; }
    bool IsTracking() const { return m_trackTimer.isActive(); }

    // Layout input of logical column `column` in its current place and state.
    HeaderColumnInput ColumnInput(int column) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    // Where the mouse is, in global coordinates (tests override it).
    virtual QPoint CursorPos() const;

private:
    void OnTrackTimer();
    int ColumnAt(const QPoint& pos) const;
    int StateOf(int column) const;

    int m_hotItem = -1;
    int m_pressedItem = -1;
    int m_height = 22;
    int m_firstLeftInset = 2;
    int m_topInset = 2;
    int m_lastRightInset = 2;
    int m_reservedInset = 2;
    int m_betweenInset = 2;
    COLORREF m_backColour = 0xFFFFFF;
    std::array<QImage, kImageCount> m_images;
    int m_sortColumn = -1;
    int m_sortAscending = 0;
    QTimer m_trackTimer;
};
