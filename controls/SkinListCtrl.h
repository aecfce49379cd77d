#pragma once
// CSkinListCtrl: the program's report-style list. Single selection, the
// selection always shown, rows drawn by the program with a light selection box,
// an optional small icon per row, optional check boxes, and the skinned column
// header CSkinHeaderCtrl (22 px, skin images, sort arrow).
//
// Usage (the user list and the chart page):
//     list->SetImageList({QIcon(g_strAppPath + "User.ico")});
//     list->SetRowHeight(22);
//     list->SetHeaderInsets(12, 2, 2, 2, 2);
//     list->InsertColumn(0, "编号", CSkinListCtrl::FormatLeft, 60);
//     int row = list->InsertItem(list->GetItemCount(), "10001", 0);
//     list->SetItemText(row, 1, name);
//     list->SetItemData(row, record);                    // not owned
//     connect(list, &CSkinListCtrl::ItemChanged, this, [](int row, unsigned oldState, unsigned newState) {
//         if (!(oldState & CSkinListCtrl::StateSelected) && (newState & CSkinListCtrl::StateSelected)) ...
//     });
//
// Row numbers are display positions (0 = top). Item data is a caller's pointer
// per row and is never freed by the list.
//
// Row drawing: a highlighted (selected) row gets the box from
// (row.left + firstLeftInset, row.top) to (row.right - lastRightInset, row.bottom),
// taken 2 pixels in on every side, filled with the selection fill colour and
// framed 1 pixel in the selection frame colour; its text is in the selection
// text colour. The row's icon goes to (icon.left + firstLeftInset, row.top + 3);
// every column's text is inset by its pad + 3 on both sides (pad = firstLeftInset
// for the first column, lastRightInset for the last, between / 2 otherwise), one
// line, vertically centred, elided at the end, aligned by the column format.

#include "controls/Colour.h"
#include "controls/SkinHeaderCtrl.h"

#include <QIcon>
#include <QTreeWidget>
#include <functional>
#include <vector>

// Where the parts of one row go (viewport coordinates).
struct ListRowLayout {
    QRect box;                     // selection box (fill inside, 1-px frame on its edge)
    QRect check;                   // check box (empty without check boxes)
    QRect icon;                    // icon (empty without an image list)
    std::vector<QRect> text;       // one text rectangle per column, in logical column order
};

// Inputs: the row rectangle (full width of all columns), the left x and width of
// every column in logical order (visual order = logical order here), the header
// insets, whether check boxes are shown, and the icon size (empty: no images).
struct ListRowInput {
    QRect row;
    std::vector<int> columnLeft;
    std::vector<int> columnWidth;
    int firstLeftInset = 2;
    int lastRightInset = 2;
    int betweenInset = 2;
    bool checkBoxes = false;
    QSize iconSize;
};

ListRowLayout LayoutListRow(const ListRowInput& in);

class CSkinListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    // Column formats (as the header's alignment).
    enum Format { FormatLeft = 0, FormatRight = 1, FormatCenter = 2 };
    // Item state bits; the check state travels in the state-image bits the
    // way a check-box list reports it (unchecked 0x1000, checked 0x2000).
    enum State : unsigned {
        StateFocused = 0x0001,
        StateSelected = 0x0002,
        StateUnchecked = 0x1000,
        StateChecked = 0x2000,
        StateImageMask = 0xF000,
    };

    explicit CSkinListCtrl(QWidget* parent = nullptr);
    ~CSkinListCtrl() override;
    CSkinListCtrl(const CSkinListCtrl&) = delete;
    CSkinListCtrl& operator=(const CSkinListCtrl&) = delete;

    CSkinHeaderCtrl* GetHeaderCtrl() const { return m_header; }

    // --- columns -----------------------------------------------------------
    // Inserts a column at `column` (clamped to 0 ... count); width < 0 means 100.
    // Returns the new column's index.
    int InsertColumn(int column, const QString& heading, int format = FormatLeft, int width = -1);
    bool DeleteColumn(int column);
    int GetColumnCount() const { return columnCount(); }
    QString GetColumnText(int column) const;  // empty for a column that does not exist
    bool SetColumnText(int column, const QString& heading);
    int GetColumnWidth(int column) const;     // 0 for a column that does not exist
    bool SetColumnWidth(int column, int width);
    int GetColumnFormat(int column) const;    // FormatLeft for a column that does not exist
    bool SetColumnFormat(int column, int format);

    // --- rows --------------------------------------------------------------
    // Inserts a row at `row` (clamped to 0 ... count) with the first column's
    // text and an icon index (-1: none). Returns the new row's index.
    int InsertItem(int row, const QString& text, int image = -1);
    bool DeleteItem(int row);
    bool DeleteAllItems();
    int GetItemCount() const { return topLevelItemCount(); }

    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;  // empty for a cell that does not exist
    bool SetItemData(int row, void* data);
    void* GetItemData(int row) const;                // null for a row that does not exist
    template <class T>
    T* GetItemDataAs(int row) const { return static_cast<T*>(GetItemData(row)); }
    // Row whose item data is `data`, -1 when none.
    int FindItemByData(const void* data) const;
    bool SetItemImage(int row, int image);
    int GetItemImage(int row) const;

    // --- images and check boxes ---------------------------------------------
    // The small image list (icons drawn at `size`); row images index into it.
    void SetImageList(const QList<QIcon>& icons, QSize size = QSize(16, 16));
    int AddImage(const QIcon& icon);  // returns its index
    int GetImageCount() const { return static_cast<int>(m_images.size()); }
    void SetCheckBoxes(bool on);
    bool HasCheckBoxes() const { return m_checkBoxes; }
    bool SetCheck(int row, bool checked = true);
    bool GetCheck(int row) const;

    // --- selection and focus --------------------------------------------------
    // The selected row, -1 when none.
    int GetSelectionMark() const;
    int GetSelectedItem() const { return GetSelectionMark(); }
    // Sets the bits of `state` selected by `mask` (StateSelected, StateFocused);
    // row -1 applies to every row (as clearing a selection needs).
    bool SetItemState(int row, unsigned state, unsigned mask);
    unsigned GetItemState(int row, unsigned mask) const;
    bool EnsureVisible(int row, bool partialOk = false);

    // --- sorting ---------------------------------------------------------------
    // Three-way comparisons: negative puts a before b. The rows are ordered
    // stably by "compare(a, b) < 0", so any comparison, even one that never
    // answers 0 or is not consistent, cannot break the sort.
    using DataCompare = std::function<int(void* a, void* b)>;
    using CompareFunc = int (*)(intptr_t data1, intptr_t data2, intptr_t param);
    // On the rows' item data.
    bool SortItems(const DataCompare& compare);
    bool SortItems(CompareFunc compare, intptr_t param);
    // On the rows' indices before sorting (GetItemText(a, column) works inside).
    bool SortItemsByIndex(const std::function<int(int a, int b)>& compare);

    // --- look ----------------------------------------------------------------------
    // Row height in pixels; 0 keeps the list's own height.
    void SetRowHeight(int height);
    int GetRowHeight() const { return m_rowHeight; }
    // The header's insets, in this order: firstLeft, top, lastRight, reserved, between.
    void SetHeaderInsets(int firstLeft, int top, int lastRight, int reserved, int between);
    // Sort arrow on `column` (-1: none), direction 1 or 0.
    void SetSortIndicator(int column, int ascending);
    void SetSelectionColours(COLORREF text, COLORREF fill, COLORREF frame);
    COLORREF SelTextColour() const { return m_selTextColour; }
    COLORREF SelFillColour() const { return m_selFillColour; }
    COLORREF SelFrameColour() const { return m_selFrameColour; }
    // The 1-px frame around the list (the client-edge look); on by default.
    void SetClientEdge(bool on);
    void SetBorderColour(COLORREF c);
    COLORREF BorderColour() const { return m_borderColour; }
    // Background and text colours of the rows.
    void SetBkColour(COLORREF c);
    void SetTextColour(COLORREF c);

    // Layout of `row` as it is drawn now.
    ListRowLayout RowLayout(int row) const;

signals:
    // A row's state changed (selection, focus or check): old and new State bits.
    void ItemChanged(int row, unsigned oldState, unsigned newState);
    // Double click / right click on a row (-1: on empty space); position global.
    void ItemDoubleClicked(int row);
    void ItemRightClicked(int row, QPoint globalPos);
    // Left click on a column header.
    void ColumnClicked(int column);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    bool event(QEvent*) override;

private:
    unsigned CurrentState(int row) const;
    void RefreshStates();
    void ApplyRowHeight();
    void Reorder(const std::vector<int>& order);
    QTreeWidgetItem* Item(int row) const;

    CSkinHeaderCtrl* m_header = nullptr;
    int m_rowHeight = 0;
    COLORREF m_selTextColour = 0x000000;
    COLORREF m_selFillColour = 0xFFFAF2;
    COLORREF m_selFrameColour = 0xE6E0BF;
    COLORREF m_borderColour = 0xAE9F96;
    bool m_clientEdge = true;
    bool m_checkBoxes = false;
    std::vector<QIcon> m_images;
    QSize m_iconSize{16, 16};
    int m_blockStates = 0;  // > 0 while rows are moved: no state notifications
};
