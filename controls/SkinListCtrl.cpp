#include "controls/SkinListCtrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <numeric>

namespace {
constexpr int kDataRole = Qt::UserRole + 1;   // caller's pointer (quintptr)
constexpr int kImageRole = Qt::UserRole + 2;  // icon index
constexpr int kCheckRole = Qt::UserRole + 3;  // check box ticked
constexpr int kStateRole = Qt::UserRole + 4;  // state last reported to the host
constexpr int kCheckSize = 13;
constexpr int kStateImageWidth = 16;

Qt::Alignment AlignmentOfFormat(int format)
{
    switch (format) {
    case CSkinListCtrl::FormatRight:
        return Qt::AlignRight;
    case CSkinListCtrl::FormatCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

int FormatOfAlignment(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return CSkinListCtrl::FormatRight;
    if (a & Qt::AlignHCenter)
        return CSkinListCtrl::FormatCenter;
    return CSkinListCtrl::FormatLeft;
}

// Reports the list's row height to the view.
class RowDelegate : public QStyledItemDelegate {
public:
    RowDelegate(const CSkinListCtrl* list, QObject* parent) : QStyledItemDelegate(parent), m_list(list) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        if (m_list->GetRowHeight() > 0)
            return QSize(1, m_list->GetRowHeight());
        // The list's own height: one line of text, or the icon with a pixel to spare.
        int h = option.fontMetrics.height() + 4;
        if (m_list->GetImageCount() > 0)
            h = std::max(h, 16 + 2);
        if (m_list->HasCheckBoxes())
            h = std::max(h, kCheckSize + 4);
        return QSize(1, h);
    }

private:
    const CSkinListCtrl* m_list;
};

void PaintCheckBox(QPainter& p, const QRect& r, bool checked)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0x8E, 0x8F, 0x8F));
    p.setBrush(Qt::white);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (checked) {
        p.setRenderHint(QPainter::Antialiasing, true);
        QPen pen(QColor(0x1F, 0x3A, 0x70), 1.8);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        const QPointF a(r.left() + 3, r.top() + r.height() * 0.52);
        const QPointF b(r.left() + r.width() * 0.42, r.bottom() - 3);
        const QPointF c(r.right() - 2.5, r.top() + 3);
        p.drawPolyline(QPolygonF{a, b, c});
    }
    p.restore();
}
}  // namespace

ListRowLayout LayoutListRow(const ListRowInput& in)
{
    ListRowLayout out;
    const QRect& row = in.row;
    const int rowRight = row.left() + row.width();  // one past the row
    // The selection box spans the row inside the outer insets, 2 pixels in.
    out.box = QRect(QPoint(row.left() + in.firstLeftInset, row.top()), QPoint(rowRight - in.lastRightInset - 1, row.bottom()))
                  .adjusted(2, 2, -2, -2);

    const size_t n = std::min(in.columnLeft.size(), in.columnWidth.size());
    const int x0 = n > 0 ? in.columnLeft[0] : row.left();
    int labelLeft0 = x0;
    if (in.checkBoxes) {
        out.check = QRect(x0 + in.firstLeftInset, row.top() + (row.height() - kCheckSize) / 2, kCheckSize, kCheckSize);
        labelLeft0 += kStateImageWidth;
    }
    if (!in.iconSize.isEmpty()) {
        // The icon rectangle starts after the state image; the icon itself goes in by the first inset.
        out.icon = QRect(QPoint(labelLeft0 + in.firstLeftInset, row.top() + 3), in.iconSize);
        labelLeft0 += in.iconSize.width();
    }
    for (size_t i = 0; i < n; ++i) {
        const int padLeft = i == 0 ? in.firstLeftInset : in.betweenInset / 2;
        const int padRight = i + 1 == n ? in.lastRightInset : in.betweenInset / 2;
        const int left = (i == 0 ? labelLeft0 : in.columnLeft[i]) + padLeft + 3;
        const int right = in.columnLeft[i] + in.columnWidth[i] - padRight - 3;  // one past
        out.text.push_back(QRect(left, row.top(), std::max(0, right - left), row.height()));
    }
    return out;
}

CSkinListCtrl::CSkinListCtrl(QWidget* parent) : QTreeWidget(parent)
{
    m_header = new CSkinHeaderCtrl(this);
    setHeader(m_header);
    m_header->setStretchLastSection(false);
    m_header->setSectionsMovable(false);
    m_header->LoadImages();
    connect(m_header, &QHeaderView::sectionClicked, this, &CSkinListCtrl::ColumnClicked);

    setItemDelegate(new RowDelegate(this, this));
    setColumnCount(0);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);

    QPalette pal = palette();
    pal.setColor(QPalette::Base, ColorRefToQColor(SysColour::Window));
    pal.setColor(QPalette::Text, ColorRefToQColor(SysColour::WindowText));
    setPalette(pal);
    m_header->SetBackColour(SysColour::Window);

    // Header clicks are the host's sort requests (set last: the view resets it while being set up).
    m_header->setSectionsClickable(true);
    m_header->setMinimumSectionSize(0);

    connect(this, &QTreeWidget::itemSelectionChanged, this, &CSkinListCtrl::RefreshStates);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { RefreshStates(); });
}

CSkinListCtrl::~CSkinListCtrl() = default;

QTreeWidgetItem* CSkinListCtrl::Item(int row) const
{
    if (row < 0 || row >= topLevelItemCount())
        return nullptr;
    return topLevelItem(row);
}

// --- columns ---------------------------------------------------------------

int CSkinListCtrl::InsertColumn(int column, const QString& heading, int format, int width)
{
    const int n = columnCount();
    column = std::clamp(column, 0, n);
    std::vector<int> widths;
    for (int c = 0; c < n; ++c)
        widths.push_back(m_header->sectionSize(c));
    setColumnCount(n + 1);
    QTreeWidgetItem* head = headerItem();
    for (int c = n; c > column; --c) {
        head->setText(c, head->text(c - 1));
        head->setTextAlignment(c, Qt::Alignment(head->textAlignment(c - 1)));
        for (int r = 0; r < topLevelItemCount(); ++r)
            topLevelItem(r)->setText(c, topLevelItem(r)->text(c - 1));
    }
    head->setText(column, heading);
    head->setTextAlignment(column, AlignmentOfFormat(format) | Qt::AlignVCenter);
    for (int r = 0; r < topLevelItemCount(); ++r)
        topLevelItem(r)->setText(column, QString());
    widths.insert(widths.begin() + column, width < 0 ? 100 : width);
    for (int c = 0; c <= n; ++c)
        m_header->resizeSection(c, widths[static_cast<size_t>(c)]);
    return column;
}

bool CSkinListCtrl::DeleteColumn(int column)
{
    const int n = columnCount();
    if (column < 0 || column >= n)
        return false;
    std::vector<int> widths;
    for (int c = 0; c < n; ++c)
        if (c != column)
            widths.push_back(m_header->sectionSize(c));
    QTreeWidgetItem* head = headerItem();
    for (int c = column; c + 1 < n; ++c) {
        head->setText(c, head->text(c + 1));
        head->setTextAlignment(c, Qt::Alignment(head->textAlignment(c + 1)));
        for (int r = 0; r < topLevelItemCount(); ++r)
            topLevelItem(r)->setText(c, topLevelItem(r)->text(c + 1));
    }
    setColumnCount(n - 1);
    for (int c = 0; c < n - 1; ++c)
        m_header->resizeSection(c, widths[static_cast<size_t>(c)]);
    if (m_header->SortColumn() == column)
        m_header->SetSortIndicator(-1, m_header->SortAscending());
    return true;
}

QString CSkinListCtrl::GetColumnText(int column) const
{
    if (column < 0 || column >= columnCount())
        return QString();
    return headerItem()->text(column);
}

bool CSkinListCtrl::SetColumnText(int column, const QString& heading)
{
    if (column < 0 || column >= columnCount())
        return false;
    headerItem()->setText(column, heading);
    return true;
}

int CSkinListCtrl::GetColumnWidth(int column) const
{
    if (column < 0 || column >= columnCount())
        return 0;
    return m_header->sectionSize(column);
}

bool CSkinListCtrl::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= columnCount() || width < 0)
        return false;
    m_header->resizeSection(column, width);
    return true;
}

int CSkinListCtrl::GetColumnFormat(int column) const
{
    if (column < 0 || column >= columnCount())
        return FormatLeft;
    return FormatOfAlignment(Qt::Alignment(headerItem()->textAlignment(column)));
}

bool CSkinListCtrl::SetColumnFormat(int column, int format)
{
    if (column < 0 || column >= columnCount())
        return false;
    headerItem()->setTextAlignment(column, AlignmentOfFormat(format) | Qt::AlignVCenter);
    viewport()->update();
    return true;
}

// --- rows --------------------------------------------------------------------

int CSkinListCtrl::InsertItem(int row, const QString& text, int image)
{
    row = std::clamp(row, 0, topLevelItemCount());
    auto* item = new QTreeWidgetItem;  // owned by the tree once inserted
    item->setText(0, text);
    item->setData(0, kImageRole, image);
    item->setData(0, kCheckRole, false);
    item->setData(0, kDataRole, QVariant::fromValue<quintptr>(0));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    ++m_blockStates;
    insertTopLevelItem(row, item);
    --m_blockStates;
    item->setData(0, kStateRole, CurrentState(row));
    return row;
}

bool CSkinListCtrl::DeleteItem(int row)
{
    QTreeWidgetItem* item = Item(row);
    if (!item)
        return false;
    ++m_blockStates;
    std::unique_ptr<QTreeWidgetItem> gone(takeTopLevelItem(row));
    --m_blockStates;
    // Removing the selected row can move the focus; tell the host about the rows that changed.
    RefreshStates();
    return true;
}

bool CSkinListCtrl::DeleteAllItems()
{
    ++m_blockStates;
    clear();
    --m_blockStates;
    return true;
}

bool CSkinListCtrl::SetItemText(int row, int column, const QString& text)
{
    QTreeWidgetItem* item = Item(row);
    if (!item || column < 0 || column >= std::max(1, columnCount()))
        return false;
    item->setText(column, text);
    return true;
}

QString CSkinListCtrl::GetItemText(int row, int column) const
{
    QTreeWidgetItem* item = Item(row);
    if (!item || column < 0 || column >= std::max(1, columnCount()))
        return QString();
    return item->text(column);
}

bool CSkinListCtrl::SetItemData(int row, void* data)
{
    QTreeWidgetItem* item = Item(row);
    if (!item)
        return false;
    item->setData(0, kDataRole, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(data)));
    return true;
}

void* CSkinListCtrl::GetItemData(int row) const
{
    QTreeWidgetItem* item = Item(row);
    if (!item)
        return nullptr;
    return reinterpret_cast<void*>(item->data(0, kDataRole).value<quintptr>());
}

int CSkinListCtrl::FindItemByData(const void* data) const
{
    for (int r = 0; r < topLevelItemCount(); ++r)
        if (GetItemData(r) == data)
            return r;
    return -1;
}

bool CSkinListCtrl::SetItemImage(int row, int image)
{
    QTreeWidgetItem* item = Item(row);
    if (!item)
        return false;
    item->setData(0, kImageRole, image);
    return true;
}

int CSkinListCtrl::GetItemImage(int row) const
{
    QTreeWidgetItem* item = Item(row);
    return item ? item->data(0, kImageRole).toInt() : -1;
}

// --- images and check boxes ---------------------------------------------------

void CSkinListCtrl::SetImageList(const QList<QIcon>& icons, QSize size)
{
    m_images.assign(icons.begin(), icons.end());
    m_iconSize = size.isEmpty() ? QSize(16, 16) : size;
    ApplyRowHeight();
}

int CSkinListCtrl::AddImage(const QIcon& icon)
{
    m_images.push_back(icon);
    ApplyRowHeight();
    return static_cast<int>(m_images.size()) - 1;
}

void CSkinListCtrl::SetCheckBoxes(bool on)
{
    if (m_checkBoxes == on)
        return;
    m_checkBoxes = on;
    // Switching the boxes on gives every row its state image silently, as the list view does.
    for (int r = 0; r < topLevelItemCount(); ++r)
        topLevelItem(r)->setData(0, kStateRole, CurrentState(r));
    ApplyRowHeight();
}

bool CSkinListCtrl::SetCheck(int row, bool checked)
{
    QTreeWidgetItem* item = Item(row);
    if (!item)
        return false;
    if (item->data(0, kCheckRole).toBool() == checked)
        return true;
    item->setData(0, kCheckRole, checked);
    viewport()->update(visualItemRect(item));
    RefreshStates();
    return true;
}

bool CSkinListCtrl::GetCheck(int row) const
{
    QTreeWidgetItem* item = Item(row);
    return item && item->data(0, kCheckRole).toBool();
}

// --- selection and focus ---------------------------------------------------------

int CSkinListCtrl::GetSelectionMark() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    int best = -1;
    for (const QModelIndex& i : rows)
        if (best < 0 || i.row() < best)
            best = i.row();
    return best;
}

unsigned CSkinListCtrl::CurrentState(int row) const
{
    QTreeWidgetItem* item = Item(row);
    if (!item)
        return 0;
    unsigned s = 0;
    const QModelIndex idx = indexFromItem(item);
    if (selectionModel()->isSelected(idx) || selectionModel()->isRowSelected(row, QModelIndex()))
        s |= StateSelected;
    const QModelIndex cur = selectionModel()->currentIndex();
    if (cur.isValid() && cur.row() == row && !cur.parent().isValid())
        s |= StateFocused;
    if (m_checkBoxes)
        s |= item->data(0, kCheckRole).toBool() ? StateChecked : StateUnchecked;
    return s;
}

void CSkinListCtrl::RefreshStates()
{
    if (m_blockStates > 0)
        return;
    struct Change {
        int row;
        unsigned oldState, newState;
    };
    std::vector<Change> lost, gained;
    for (int r = 0; r < topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = topLevelItem(r);
        const unsigned was = item->data(0, kStateRole).toUInt();
        const unsigned now = CurrentState(r);
        if (was == now)
            continue;
        item->setData(0, kStateRole, now);
        // Rows that lose bits are reported before rows that gain them, as a list view does.
        ((now & ~was) ? gained : lost).push_back({r, was, now});
    }
    for (const Change& c : lost)
        emit ItemChanged(c.row, c.oldState, c.newState);
    for (const Change& c : gained)
        emit ItemChanged(c.row, c.oldState, c.newState);
}

bool CSkinListCtrl::SetItemState(int row, unsigned state, unsigned mask)
{
    if (row == -1) {
        bool ok = true;
        for (int r = 0; r < topLevelItemCount(); ++r)
            ok = SetItemState(r, state, mask) && ok;
        return ok;
    }
    QTreeWidgetItem* item = Item(row);
    if (!item)
        return false;
    const QModelIndex idx = indexFromItem(item);
    ++m_blockStates;
    if (mask & StateSelected) {
        if (state & StateSelected)
            selectionModel()->select(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        else
            selectionModel()->select(idx, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
    if (mask & StateFocused) {
        if (state & StateFocused)
            selectionModel()->setCurrentIndex(idx, QItemSelectionModel::NoUpdate);
        else if (selectionModel()->currentIndex().row() == row)
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    if (mask & StateImageMask) {
        if ((state & StateImageMask) == StateChecked)
            item->setData(0, kCheckRole, true);
        else if ((state & StateImageMask) == StateUnchecked)
            item->setData(0, kCheckRole, false);
    }
    --m_blockStates;
    viewport()->update();
    RefreshStates();
    return true;
}

unsigned CSkinListCtrl::GetItemState(int row, unsigned mask) const { return CurrentState(row) & mask; }

bool CSkinListCtrl::EnsureVisible(int row, bool partialOk)
{
    QTreeWidgetItem* item = Item(row);
    if (!item)
        return false;
    if (partialOk && viewport()->rect().intersects(visualItemRect(item)))
        return true;
    scrollToItem(item, QAbstractItemView::EnsureVisible);
    return true;
}

// --- sorting -----------------------------------------------------------------------

bool CSkinListCtrl::SortItemsByIndex(const std::function<int(int, int)>& compare)
{
    if (!compare)
        return false;
    std::vector<int> order(static_cast<size_t>(topLevelItemCount()));
    std::iota(order.begin(), order.end(), 0);
    // Only "less than" is asked, on a stable sort, so a comparison that never
    // answers 0 or contradicts itself still yields some order and no fault.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(a, b) < 0; });
    Reorder(order);
    return true;
}

bool CSkinListCtrl::SortItems(const DataCompare& compare)
{
    if (!compare)
        return false;
    std::vector<void*> data;
    for (int r = 0; r < topLevelItemCount(); ++r)
        data.push_back(GetItemData(r));
    return SortItemsByIndex([&](int a, int b) { return compare(data[static_cast<size_t>(a)], data[static_cast<size_t>(b)]); });
}

bool CSkinListCtrl::SortItems(CompareFunc compare, intptr_t param)
{
    if (!compare)
        return false;
    return SortItems([compare, param](void* a, void* b) {
        return compare(reinterpret_cast<intptr_t>(a), reinterpret_cast<intptr_t>(b), param);
    });
}

void CSkinListCtrl::Reorder(const std::vector<int>& order)
{
    const int n = topLevelItemCount();
    if (static_cast<int>(order.size()) != n || n < 2)
        return;
    ++m_blockStates;
    QTreeWidgetItem* selected = Item(GetSelectionMark());
    QTreeWidgetItem* current = currentItem();
    const int scroll = verticalScrollBar()->value();
    // One removal and one insertion of all rows: the view lays out twice, not per row.
    const QList<QTreeWidgetItem*> items = invisibleRootItem()->takeChildren();
    QList<QTreeWidgetItem*> sorted;
    sorted.reserve(items.size());
    for (int i : order)
        sorted.push_back(items[i]);
    invisibleRootItem()->addChildren(sorted);
    if (current)
        selectionModel()->setCurrentIndex(indexFromItem(current), QItemSelectionModel::NoUpdate);
    if (selected)
        selectionModel()->select(indexFromItem(selected), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    verticalScrollBar()->setValue(scroll);
    --m_blockStates;
    RefreshStates();
}

// --- look -------------------------------------------------------------------------

void CSkinListCtrl::SetRowHeight(int height)
{
    m_rowHeight = std::max(0, height);
    ApplyRowHeight();
}

void CSkinListCtrl::ApplyRowHeight()
{
    // Rows are measured once with uniform heights: lay them out again.
    doItemsLayout();
    viewport()->update();
}

void CSkinListCtrl::SetHeaderInsets(int firstLeft, int top, int lastRight, int reserved, int between)
{
    m_header->SetInsets(firstLeft, top, lastRight, reserved, between);
    viewport()->update();
}

void CSkinListCtrl::SetSortIndicator(int column, int ascending) { m_header->SetSortIndicator(column, ascending); }

void CSkinListCtrl::SetSelectionColours(COLORREF text, COLORREF fill, COLORREF frame)
{
    m_selTextColour = text;
    m_selFillColour = fill;
    m_selFrameColour = frame;
    viewport()->update();
}

void CSkinListCtrl::SetClientEdge(bool on)
{
    m_clientEdge = on;
    setFrameStyle(on ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    update();
}

void CSkinListCtrl::SetBorderColour(COLORREF c)
{
    m_borderColour = c;
    update();
}

void CSkinListCtrl::SetBkColour(COLORREF c)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ColorRefToQColor(c));
    setPalette(pal);
    m_header->SetBackColour(c);
}

void CSkinListCtrl::SetTextColour(COLORREF c)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Text, ColorRefToQColor(c));
    setPalette(pal);
}

ListRowLayout CSkinListCtrl::RowLayout(int row) const
{
    QTreeWidgetItem* item = Item(row);
    if (!item)
        return {};
    ListRowInput in;
    const QRect first = visualItemRect(item);
    int total = 0;
    for (int c = 0; c < columnCount(); ++c) {
        in.columnLeft.push_back(m_header->sectionViewportPosition(c));
        in.columnWidth.push_back(m_header->sectionSize(c));
        total += m_header->sectionSize(c);
    }
    const int left = columnCount() > 0 ? m_header->sectionViewportPosition(0) : 0;
    in.row = QRect(left, first.top(), std::max(total, 0), first.height());
    in.firstLeftInset = m_header->FirstLeftInset();
    in.lastRightInset = m_header->LastRightInset();
    in.betweenInset = m_header->BetweenInset();
    in.checkBoxes = m_checkBoxes;
    in.iconSize = m_images.empty() ? QSize() : m_iconSize;
    return LayoutListRow(in);
}

void CSkinListCtrl::drawRow(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QTreeWidgetItem* item = itemFromIndex(index);
    if (!item)
        return;
    const int row = indexOfTopLevelItem(item);
    const ListRowLayout lay = RowLayout(row);
    // The selection always shows, with or without the keyboard focus.
    const bool highlighted = selectionModel()->isSelected(index) || selectionModel()->isRowSelected(row, QModelIndex());
    p->save();
    p->setClipRect(option.rect.united(QRect(0, option.rect.top(), viewport()->width(), option.rect.height())));
    if (highlighted && lay.box.width() > 0 && lay.box.height() > 0) {
        p->fillRect(lay.box, ColorRefToQColor(m_selFillColour));
        p->setPen(ColorRefToQColor(m_selFrameColour));
        p->setBrush(Qt::NoBrush);
        p->drawRect(lay.box.adjusted(0, 0, -1, -1));
    }
    if (m_checkBoxes && !lay.check.isNull())
        PaintCheckBox(*p, lay.check, item->data(0, kCheckRole).toBool());
    const int image = item->data(0, kImageRole).toInt();
    if (!lay.icon.isNull() && image >= 0 && image < static_cast<int>(m_images.size()))
        m_images[static_cast<size_t>(image)].paint(p, lay.icon);

    p->setPen(highlighted ? ColorRefToQColor(m_selTextColour) : palette().color(QPalette::Text));
    p->setFont(font());
    const QFontMetrics fm = p->fontMetrics();
    for (size_t c = 0; c < lay.text.size(); ++c) {
        const QRect& r = lay.text[c];
        const QString text = item->text(static_cast<int>(c));
        if (r.width() <= 0 || text.isEmpty())
            continue;
        const Qt::Alignment align = AlignmentOfFormat(GetColumnFormat(static_cast<int>(c)));
        p->drawText(r, int(align | Qt::AlignVCenter | Qt::TextSingleLine), fm.elidedText(text, Qt::ElideRight, r.width()));
    }
    p->restore();
}

void CSkinListCtrl::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    const int row = item ? indexOfTopLevelItem(item) : -1;
    // Focus and selection move in several steps; the host hears of each row once.
    ++m_blockStates;
    QTreeWidget::mousePressEvent(e);
    --m_blockStates;
    RefreshStates();
    if (row >= 0 && e->button() == Qt::LeftButton && m_checkBoxes && RowLayout(row).check.contains(pos))
        SetCheck(row, !GetCheck(row));
    if (e->button() == Qt::RightButton)
        emit ItemRightClicked(row, e->globalPosition().toPoint());
}

void CSkinListCtrl::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    const int row = item ? indexOfTopLevelItem(item) : -1;
    QTreeWidget::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton) {
        if (row >= 0 && m_checkBoxes && RowLayout(row).check.contains(pos))
            SetCheck(row, !GetCheck(row));  // the second click of a quick pair on the box toggles too
        else
            emit ItemDoubleClicked(row);
    }
}

void CSkinListCtrl::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space && m_checkBoxes && currentIndex().isValid() && e->modifiers() == Qt::NoModifier) {
        const int row = currentIndex().row();
        SetCheck(row, !GetCheck(row));
        e->accept();
        return;
    }
    ++m_blockStates;
    QTreeWidget::keyPressEvent(e);
    --m_blockStates;
    RefreshStates();
}

bool CSkinListCtrl::event(QEvent* e)
{
    const bool r = QTreeWidget::event(e);
    if (e->type() == QEvent::Paint && m_clientEdge && frameWidth() > 0) {
        // The 1-pixel frame around the list, in the list's border colour.
        QPainter p(this);
        p.setPen(ColorRefToQColor(m_borderColour));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    return r;
}
