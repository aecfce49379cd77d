#include "controls/SkinHeaderCtrl.h"

#include "core/Globals.h"
#include "core/SkinSections.h"
#include "external/skin/SkinImage.h"

#include <QCursor>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>

HeaderColumnLayout LayoutHeaderColumn(const HeaderColumnInput& in)
{
    HeaderColumnLayout out;
    const QRect& rc = in.rect;
    const int W = rc.width();
    const int L = in.leftInset;
    const int R = in.rightInset;
    const int y = rc.top() + in.topInset;
    const int right = rc.left() + W;  // one past the column, as the item rectangle has it

    if (W >= in.lw && !in.leftImage.isEmpty()) {
        out.drawLeft = true;
        out.left = QRect(QPoint(rc.left() + L, y), in.leftImage);
    }
    if (in.lw + in.rw + R + L < W && !in.middleImage.isEmpty()) {
        out.drawMiddle = true;
        out.middle = QRect(rc.left() + L + in.lw, y, W - L - in.lw - in.rw - R, in.middleImage.height());
    }
    if (W >= in.lw + in.rw + R + L && !in.rightImage.isEmpty()) {
        out.drawRight = true;
        out.right = QRect(QPoint(right - in.rw - R, y), in.rightImage);
    }
    if (in.sortColumn && !in.arrowImage.isEmpty()) {
        out.drawArrow = true;
        out.arrow = QRect(QPoint(right - in.rw - R - 12,
                                 rc.top() + in.topInset + (in.normalMiddleHeight - in.arrowImage.height()) / 2),
                          in.arrowImage);
    }
    if (W > 12) {
        out.drawCaption = true;
        out.caption = QRect(QPoint(rc.left() + L + 3, rc.top()), QPoint(right - R - 3 - 1, rc.bottom()));
    }
    return out;
}

CSkinHeaderCtrl::CSkinHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setMouseTracking(true);
    setSectionsClickable(true);
    setMinimumSectionSize(0);  // a column may be as narrow as its host wants
    setHighlightSections(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedHeight(m_height);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_trackTimer.setInterval(kTrackTimerMs);
    connect(&m_trackTimer, &QTimer::timeout, this, &CSkinHeaderCtrl::OnTrackTimer);
}

CSkinHeaderCtrl::~CSkinHeaderCtrl() = default;

int CSkinHeaderCtrl::LoadImages(const QString& folder)
{
    // The current skin's images come through the skin reader, which hands in the built-in
    // skin's image for any the skin lacks; a folder given by name is read as it is.
    const ColumnHeaderSkin current = folder.isEmpty() ? ReadColumnHeaderSkin() : ColumnHeaderSkin{};
    for (auto& img : m_images)
        img = QImage();
    int loaded = 0;
    for (int i = 0; i < kImageCount; ++i) {
        const QString path = folder.isEmpty() ? current.images[i] : folder + QStringLiteral("ColumnHeader%1.bmp").arg(i);
        const QImage img = LoadImageFile(path, devicePixelRatioF());
        // A missing or unreadable image ends the loading: later ones stay empty.
        if (img.isNull())
            break;
        m_images[static_cast<size_t>(i)] = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ++loaded;
    }
    update();
    return loaded;
}

QImage CSkinHeaderCtrl::Image(int i) const
{
    if (i < 0 || i >= kImageCount)
        return QImage();
    return m_images[static_cast<size_t>(i)];
}

void CSkinHeaderCtrl::SetInsets(int firstLeft, int top, int lastRight, int reserved, int between)
{
    m_firstLeftInset = firstLeft;
    m_topInset = top;
    m_lastRightInset = lastRight;
    m_reservedInset = reserved;
    m_betweenInset = between;
    update();
}

void CSkinHeaderCtrl::SetSortIndicator(int column, int ascending)
{
    m_sortColumn = column;
    m_sortAscending = ascending;
    viewport()->update();
    update();
}

void CSkinHeaderCtrl::SetBackColour(COLORREF c)
{
    m_backColour = c;
    update();
}

void CSkinHeaderCtrl::SetHotItem(int column)
{
    m_hotItem = column < 0 || column >= count() ? -1 : column;
    viewport()->update();
}

void CSkinHeaderCtrl::SetPressedItem(int column)
{
    m_pressedItem = column < 0 || column >= count() ? -1 : column;
    viewport()->update();
}

QSize CSkinHeaderCtrl::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(m_height);
    return s;
}

int CSkinHeaderCtrl::StateOf(int column) const
{
    if (column == m_pressedItem)
        return 2;
    if (column == m_hotItem)
        return 1;
    return 0;
}

HeaderColumnInput CSkinHeaderCtrl::ColumnInput(int column) const
{
    HeaderColumnInput in;
    int firstVisual = -1, lastVisual = -1;
    for (int v = 0; v < count(); ++v) {
        if (isSectionHidden(logicalIndex(v)))
            continue;
        if (firstVisual < 0)
            firstVisual = v;
        lastVisual = v;
    }
    const int visual = visualIndex(column);
    in.rect = QRect(sectionViewportPosition(column), 0, sectionSize(column), height());
    in.leftInset = visual == firstVisual ? m_firstLeftInset : m_betweenInset / 2;
    in.rightInset = visual == lastVisual ? m_lastRightInset : m_betweenInset / 2;
    in.topInset = m_topInset;
    in.lw = LogicalSize(m_images[0]).width();
    in.rw = LogicalSize(m_images[2]).width();
    in.normalMiddleHeight = LogicalSize(m_images[1]).height();
    const int s = StateOf(column);
    in.leftImage = LogicalSize(m_images[static_cast<size_t>(3 * s)]);
    in.middleImage = LogicalSize(m_images[static_cast<size_t>(3 * s + 1)]);
    in.rightImage = LogicalSize(m_images[static_cast<size_t>(3 * s + 2)]);
    in.sortColumn = column == m_sortColumn && column >= 0;
    in.arrowImage = LogicalSize(m_images[m_sortAscending == 1 ? 9 : 10]);
    if (in.sortColumn && m_sortAscending != 0 && m_sortAscending != 1)
        in.sortColumn = false;  // only the two directions have an arrow
    return in;
}

void CSkinHeaderCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), ColorRefToQColor(m_backColour));
    p.setFont(font());
    p.setPen(ColorRefToQColor(SysColour::BtnText));
    for (int v = 0; v < count(); ++v) {
        const int column = logicalIndex(v);
        if (isSectionHidden(column) || sectionSize(column) <= 0)
            continue;
        const HeaderColumnInput in = ColumnInput(column);
        if (in.rect.right() < 0 || in.rect.left() > viewport()->width())
            continue;
        const HeaderColumnLayout lay = LayoutHeaderColumn(in);
        const int s = StateOf(column);
        if (lay.drawLeft)
            p.drawImage(lay.left.topLeft(), m_images[static_cast<size_t>(3 * s)]);
        if (lay.drawMiddle)
            p.drawImage(lay.middle, m_images[static_cast<size_t>(3 * s + 1)]);
        if (lay.drawRight)
            p.drawImage(lay.right.topLeft(), m_images[static_cast<size_t>(3 * s + 2)]);
        if (lay.drawArrow)
            p.drawImage(lay.arrow.topLeft(), m_images[m_sortAscending == 1 ? 9 : 10]);
        if (lay.drawCaption) {
            const QString text = model() ? model()->headerData(column, orientation(), Qt::DisplayRole).toString().left(255)
                                         : QString();
            if (text.isEmpty() || lay.caption.width() <= 0)
                continue;
            Qt::Alignment align = Qt::AlignLeft;
            if (model()) {
                const QVariant a = model()->headerData(column, orientation(), Qt::TextAlignmentRole);
                if (a.isValid())
                    align = Qt::Alignment(a.toInt()) & Qt::AlignHorizontal_Mask;
            }
            const QString shown = p.fontMetrics().elidedText(text, Qt::ElideRight, lay.caption.width());
            p.drawText(lay.caption, int(align | Qt::AlignVCenter | Qt::TextSingleLine), shown);
        }
    }
}

int CSkinHeaderCtrl::ColumnAt(const QPoint& pos) const
{
    if (!viewport()->rect().contains(pos))
        return -1;
    return logicalIndexAt(pos);
}

void CSkinHeaderCtrl::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_trackTimer.isActive())
        m_trackTimer.start();
    const int hot = ColumnAt(e->position().toPoint());
    if (hot != m_hotItem) {
        m_hotItem = hot;
        viewport()->update();
    }
    QHeaderView::mouseMoveEvent(e);
}

void CSkinHeaderCtrl::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        m_pressedItem = ColumnAt(e->position().toPoint());
        viewport()->update();
    }
    QHeaderView::mousePressEvent(e);
}

void CSkinHeaderCtrl::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        m_pressedItem = -1;
        viewport()->update();
    }
    QHeaderView::mouseReleaseEvent(e);
}

QPoint CSkinHeaderCtrl::CursorPos() const { return QCursor::pos(); }

void CSkinHeaderCtrl::OnTrackTimer()
{
    if (rect().contains(mapFromGlobal(CursorPos())))
        return;
    m_trackTimer.stop();
    m_hotItem = m_pressedItem = -1;
    viewport()->update();
}
