#include "external/skin/SkinFrame.h"

#include "external/records/WndMessage.h"
#include "external/skin/Skin.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QTimerEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int kIconLeft = 8;
constexpr int kTextGap = 6;
const char* const kFrameProperty = "travimoSkinFrame";
const char* const kPageProperty = "travimoSkinPage";

int Height(const QPixmap& p) { return p.isNull() ? 0 : qRound(p.height() / p.devicePixelRatio()); }
int Width(const QPixmap& p) { return p.isNull() ? 0 : qRound(p.width() / p.devicePixelRatio()); }

// A button's size: that of the first of its bitmaps that exists.
QSize ButtonSize(const std::array<QPixmap, 3>& states)
{
    for (const QPixmap& p : states)
        if (!p.isNull())
            return LogicalSize(p);
    return {};
}

bool IsButton(SkinHit h) { return h == SkinHit::CloseButton || h == SkinHit::MaxButton || h == SkinHit::MinButton; }

Qt::Edges EdgesOf(SkinHit h)
{
    switch (h) {
    case SkinHit::Left: return Qt::LeftEdge;
    case SkinHit::Right: return Qt::RightEdge;
    case SkinHit::Bottom: return Qt::BottomEdge;
    case SkinHit::BottomLeft: return Qt::BottomEdge | Qt::LeftEdge;
    case SkinHit::BottomRight: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
    }
}

void DrawPiece(QPainter& p, const QRect& target, const QPixmap& pixmap)
{
    if (pixmap.isNull() || target.isEmpty())
        return;
    p.drawPixmap(target, pixmap);  // the source is the whole pixmap: scaled, never cropped
}

}  // namespace

QMargins SkinFrameMargins(const SkinImages& im, unsigned style)
{
    if (!(style & WS_STYLE_CAPTION))
        return {};
    int caption = std::max({Height(im.titleLeft), Height(im.titleCenter), Height(im.titleRight)});
    if (caption == 0) {
        // No caption art: keep room for the buttons so they do not cover the client area.
        const int buttons = std::max({ButtonSize(im.close).height(), ButtonSize(im.max).height(),
                                      ButtonSize(im.min).height()});
        if (buttons > 0)
            caption = im.buttonTop + buttons + std::max(0, im.buttonTop);
    }
    const int bottom = std::max({Height(im.borderBottomLeft), Height(im.borderBottomCenter), Height(im.borderBottomRight)});
    return QMargins(Width(im.borderLeft), caption, Width(im.borderRight), bottom);
}

QRect GrowByFrame(const QRect& client, const QMargins& m)
{
    return client.marginsAdded(m);
}

SkinLayout LayoutSkinFrame(const SkinImages& im, unsigned style, QSize size)
{
    SkinLayout l;
    l.size = size;
    l.style = style;
    l.margins = SkinFrameMargins(im, style);
    if (!(style & WS_STYLE_CAPTION))
        return l;
    int right = size.width() - im.buttonRight;
    auto place = [&](const std::array<QPixmap, 3>& states) {
        const QSize s = ButtonSize(states);
        if (s.isEmpty())
            return QRect();
        const QRect r(right - s.width(), im.buttonTop, s.width(), s.height());
        right = r.left() - im.buttonSpacing;
        return r;
    };
    l.close = place(im.close);
    if (style & WS_STYLE_MAXIMIZEBOX)
        l.max = place(im.max);
    if (!(style & WS_STYLE_NOMINIMIZEBOX))
        l.min = place(im.min);
    const int caption = l.margins.top();
    int textLeft = kIconLeft;
    if (!im.icon.isNull()) {
        l.icon = QRect(kIconLeft, (caption - kCaptionIconSize) / 2, kCaptionIconSize, kCaptionIconSize);
        textLeft = l.icon.right() + 1 + kTextGap;
    }
    const int textRight = right - kTextGap;
    if (textRight > textLeft && caption > 0)
        l.text = QRect(textLeft, 0, textRight - textLeft, caption);
    return l;
}

SkinHit SkinHitTest(const SkinLayout& l, QPoint pos)
{
    if (!(l.style & WS_STYLE_CAPTION) || !QRect(QPoint(0, 0), l.size).contains(pos))
        return SkinHit::Client;
    if (l.close.contains(pos))
        return SkinHit::CloseButton;
    if (l.max.contains(pos))
        return SkinHit::MaxButton;
    if (l.min.contains(pos))
        return SkinHit::MinButton;
    if (l.icon.contains(pos))
        return SkinHit::Icon;
    const QMargins& m = l.margins;
    if (pos.y() < m.top())
        return SkinHit::Caption;
    if (l.style & WS_STYLE_SIZEBOX) {
        // The corners reach a little along the sides so that thin borders stay easy to grab.
        const int corner = std::max({m.bottom(), m.left(), m.right(), 8});
        const bool bottom = pos.y() >= l.size.height() - m.bottom();
        const bool nearBottom = pos.y() >= l.size.height() - corner;
        const bool left = pos.x() < m.left();
        const bool right = pos.x() >= l.size.width() - m.right();
        if (bottom && pos.x() < corner)
            return SkinHit::BottomLeft;
        if (bottom && pos.x() >= l.size.width() - corner)
            return SkinHit::BottomRight;
        if (left && nearBottom)
            return SkinHit::BottomLeft;
        if (right && nearBottom)
            return SkinHit::BottomRight;
        if (bottom)
            return SkinHit::Bottom;
        if (left)
            return SkinHit::Left;
        if (right)
            return SkinHit::Right;
    }
    return SkinHit::Client;
}

QRegion RoundedWindowRegion(QSize size, int topRadius, int bottomRadius)
{
    const int w = size.width();
    const int h = size.height();
    if (w <= 0 || h <= 0)
        return {};
    QRegion region(0, 0, w, h);
    // A radius never exceeds half the window, so opposite corners can't overlap.
    auto cut = [&](int radius, bool top) {
        radius = std::clamp(radius, 0, std::min(w, h) / 2);
        for (int row = 0; row < radius; ++row) {
            // Pixels of this row outside the quarter circle centred radius pixels in.
            const double dy = radius - row - 0.5;
            const double dx = std::sqrt(std::max(0.0, double(radius) * radius - dy * dy));
            const int cutWidth = std::clamp(int(std::lround(radius - dx)), 0, radius);
            if (cutWidth == 0)
                continue;
            const int y = top ? row : h - 1 - row;
            region -= QRegion(0, y, cutWidth, 1);
            region -= QRegion(w - cutWidth, y, cutWidth, 1);
        }
    };
    cut(topRadius, true);
    cut(bottomRadius, false);
    return region;
}

QRect ResizedGeometry(const QRect& start, SkinHit edge, QPoint delta, QSize minimum, QSize maximum)
{
    const Qt::Edges edges = EdgesOf(edge);
    QRect r = start;
    auto clampW = [&](int w) { return std::clamp(w, std::max(1, minimum.width()), std::max(minimum.width(), maximum.width())); };
    auto clampH = [&](int h) { return std::clamp(h, std::max(1, minimum.height()), std::max(minimum.height(), maximum.height())); };
    if (edges & Qt::RightEdge)
        r.setWidth(clampW(start.width() + delta.x()));
    if (edges & Qt::LeftEdge) {
        const int w = clampW(start.width() - delta.x());
        r.setLeft(start.right() + 1 - w);
    }
    if (edges & Qt::BottomEdge)
        r.setHeight(clampH(start.height() + delta.y()));
    return r;
}

void PaintSkinFrame(QPainter& p, const SkinImages& im, const SkinLayout& l, const QString& title, const QFont& font,
                    SkinHit hot, bool pressed)
{
    if (!(l.style & WS_STYLE_CAPTION))
        return;
    const int w = l.size.width();
    const int h = l.size.height();
    const QMargins& m = l.margins;
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);

    // Caption: left and right at their own width, the centre stretched between them.
    const int tl = Width(im.titleLeft);
    const int tr = Width(im.titleRight);
    DrawPiece(p, QRect(0, 0, tl, m.top()), im.titleLeft);
    DrawPiece(p, QRect(tl, 0, w - tl - tr, m.top()), im.titleCenter);
    DrawPiece(p, QRect(w - tr, 0, tr, m.top()), im.titleRight);

    // Side borders between caption and bottom border; the bottom with its corners.
    DrawPiece(p, QRect(0, m.top(), m.left(), h - m.top() - m.bottom()), im.borderLeft);
    DrawPiece(p, QRect(w - m.right(), m.top(), m.right(), h - m.top() - m.bottom()), im.borderRight);
    const int bl = Width(im.borderBottomLeft);
    const int br = Width(im.borderBottomRight);
    DrawPiece(p, QRect(0, h - m.bottom(), bl, m.bottom()), im.borderBottomLeft);
    DrawPiece(p, QRect(bl, h - m.bottom(), w - bl - br, m.bottom()), im.borderBottomCenter);
    DrawPiece(p, QRect(w - br, h - m.bottom(), br, m.bottom()), im.borderBottomRight);

    if (!l.icon.isEmpty())
        DrawPiece(p, l.icon, im.icon);
    if (!l.text.isEmpty() && !title.isEmpty()) {
        p.setFont(font);
        p.setPen(im.textColor);
        const QString shown = p.fontMetrics().elidedText(title, Qt::ElideRight, l.text.width());
        p.drawText(l.text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    }

    auto button = [&](const QRect& r, const std::array<QPixmap, 3>& states, SkinHit which) {
        if (r.isEmpty())
            return;
        const int state = hot == which ? (pressed ? SkinPressed : SkinHover) : SkinNormal;
        DrawPiece(p, r, states[state]);
    };
    button(l.close, im.close, SkinHit::CloseButton);
    button(l.max, im.max, SkinHit::MaxButton);
    button(l.min, im.min, SkinHit::MinButton);
}

// ---- CSkinFrame ----

CSkinFrame::CSkinFrame(QWidget* window) : QObject(window), m_window(window)
{
    m_flagsBefore = window->windowFlags();
    m_marginsBefore = window->contentsMargins();
    window->setProperty(kFrameProperty, QVariant::fromValue<QObject*>(this));
    window->setWindowFlags(window->windowFlags() | Qt::FramelessWindowHint);
    window->setMouseTracking(true);
    window->installEventFilter(this);
    Update();
}

CSkinFrame::~CSkinFrame() = default;

CSkinFrame* CSkinFrame::Of(QWidget* window, bool create)
{
    if (!window)
        return nullptr;
    if (auto* f = qobject_cast<CSkinFrame*>(window->property(kFrameProperty).value<QObject*>()))
        return f;
    return create ? new CSkinFrame(window) : nullptr;
}

void CSkinFrame::SetStyle(unsigned style)
{
    m_style = style;
    if (m_hot != SkinHit::Client)
        SetHot(SkinHit::Client, false);
    Update();
}

QMenu* CSkinFrame::SystemMenu()
{
    if (!m_systemMenu) {
        m_systemMenu = std::make_unique<QMenu>();
        connect(m_systemMenu.get(), &QMenu::triggered, this, [this](QAction* a) {
            bool ok = false;
            const int command = a->data().toInt(&ok);
            if (ok)
                SysCommand(command);
        });
    }
    return m_systemMenu.get();
}

SkinLayout CSkinFrame::Layout() const
{
    return LayoutSkinFrame(m_images, m_style, m_window ? m_window->size() : QSize());
}

void CSkinFrame::Update()
{
    if (!m_window)
        return;
    m_window->setContentsMargins(SkinFrameMargins(m_images, m_style));
    UpdateMask();
    m_window->update();
}

void CSkinFrame::UpdateMask()
{
    if (!m_window)
        return;
    const bool round = (m_style & WS_STYLE_CAPTION) && (m_images.roundTop > 0 || m_images.roundBottom > 0);
    // A maximised window fills its screen: square corners there.
    if (round && !m_window->isMaximized() && !m_window->isFullScreen())
        m_window->setMask(RoundedWindowRegion(m_window->size(), m_images.roundTop, m_images.roundBottom));
    else if (!m_window->mask().isEmpty())
        m_window->clearMask();
}

void CSkinFrame::Release()
{
    if (m_window) {
        m_window->removeEventFilter(this);
        m_window->setProperty(kFrameProperty, QVariant());
        m_window->setContentsMargins(m_marginsBefore);
        m_window->clearMask();
        m_window->unsetCursor();
        const bool visible = m_window->isVisible();
        m_window->setWindowFlags(m_flagsBefore);
        if (visible)
            m_window->show();
    }
    deleteLater();
}

bool CSkinFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::Paint:
        Paint();
        return false;  // the window's own painting follows
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        UpdateMask();
        break;
    case QEvent::MouseMove:
        MouseMove(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseButtonPress:
        MousePress(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseButtonRelease:
        MouseRelease(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseButtonDblClick:
        DoubleClick(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::Leave:
        if (m_armedButton == SkinHit::Client)
            SetHot(SkinHit::Client, false);
        break;
    case QEvent::WindowTitleChange:
        m_window->update(QRect(0, 0, m_window->width(), m_window->contentsMargins().top()));
        break;
    default:
        break;
    }
    return false;
}

void CSkinFrame::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != m_hoverTimer.timerId()) {
        QObject::timerEvent(e);
        return;
    }
    if (!m_window || m_armedButton != SkinHit::Client)
        return;
    const QPoint pos = m_window->mapFromGlobal(QCursor::pos());
    const bool over = m_window->isVisible() && SkinHitTest(Layout(), pos) == m_hot &&
                      QApplication::widgetAt(QCursor::pos()) == m_window;
    if (!over)
        SetHot(SkinHit::Client, false);
}

void CSkinFrame::Paint()
{
    QPainter p(m_window);
    QFont font = m_window->font();
    font.setBold(true);
    PaintSkinFrame(p, m_images, Layout(), m_window->windowTitle(), font, m_hot, m_pressed);
}

void CSkinFrame::SetHot(SkinHit hit, bool pressed)
{
    if (!IsButton(hit))
        hit = SkinHit::Client, pressed = false;
    if (hit == m_hot && pressed == m_pressed)
        return;
    const SkinLayout l = Layout();
    auto rectOf = [&](SkinHit h) {
        return h == SkinHit::CloseButton ? l.close : h == SkinHit::MaxButton ? l.max : h == SkinHit::MinButton ? l.min : QRect();
    };
    const QRect old = rectOf(m_hot);
    m_hot = hit;
    m_pressed = pressed;
    // The mouse may leave a button straight into a page, which the window doesn't hear of: check now and then.
    if (m_hot != SkinHit::Client)
        m_hoverTimer.start(100, this);
    else
        m_hoverTimer.stop();
    if (m_window) {
        m_window->update(old);
        m_window->update(rectOf(m_hot));
    }
}

void CSkinFrame::UpdateCursor(SkinHit hit)
{
    switch (hit) {
    case SkinHit::Left:
    case SkinHit::Right: m_window->setCursor(Qt::SizeHorCursor); break;
    case SkinHit::Bottom: m_window->setCursor(Qt::SizeVerCursor); break;
    case SkinHit::BottomLeft: m_window->setCursor(Qt::SizeBDiagCursor); break;
    case SkinHit::BottomRight: m_window->setCursor(Qt::SizeFDiagCursor); break;
    default: m_window->unsetCursor(); break;
    }
}

void CSkinFrame::MouseMove(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (m_dragKind != SkinHit::Client && (e->buttons() & Qt::LeftButton)) {
        const QPoint delta = e->globalPosition().toPoint() - m_dragStartGlobal;
        if (m_dragKind == SkinHit::Caption && !m_movingByHand) {
            // The move starts only once the mouse really moves, so that a double-click
            // on the caption still reaches the window.
            if (delta.manhattanLength() < QApplication::startDragDistance())
                return;
            QWindow* handle = m_window->windowHandle();
            if (handle && handle->startSystemMove()) {
                m_dragKind = SkinHit::Client;
                return;
            }
            m_movingByHand = true;
        }
        if (m_dragKind == SkinHit::Caption)
            m_window->move(m_dragStartGeometry.topLeft() + delta);
        else
            m_window->setGeometry(ResizedGeometry(m_dragStartGeometry, m_dragKind, delta, m_window->minimumSize(),
                                                  m_window->maximumSize()));
        return;
    }
    const SkinHit hit = SkinHitTest(Layout(), pos);
    if (m_armedButton != SkinHit::Client) {
        // A pressed button looks pressed only while the mouse is over it.
        if (hit == m_armedButton)
            SetHot(m_armedButton, true);
        else
            SetHot(SkinHit::Client, false);
        return;
    }
    SetHot(hit, false);
    UpdateCursor(hit);
}

void CSkinFrame::MousePress(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const SkinLayout l = Layout();
    const SkinHit hit = SkinHitTest(l, pos);
    if (e->button() == Qt::RightButton) {
        if ((hit == SkinHit::Caption || hit == SkinHit::Icon) && m_systemMenu && !m_systemMenu->isEmpty())
            m_systemMenu->popup(e->globalPosition().toPoint());
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    if (IsButton(hit)) {
        m_armedButton = hit;
        SetHot(hit, true);
        return;
    }
    if (hit == SkinHit::Icon) {
        if (m_systemMenu && !m_systemMenu->isEmpty())
            m_systemMenu->popup(m_window->mapToGlobal(l.icon.bottomLeft() + QPoint(0, 1)));
        return;
    }
    QWindow* handle = m_window->windowHandle();
    m_movingByHand = false;
    if (hit == SkinHit::Caption) {
        if (m_window->isMaximized())
            return;
    } else if (EdgesOf(hit)) {
        if (handle && handle->startSystemResize(EdgesOf(hit)))
            return;
    } else {
        return;
    }
    // A resize the window manager can't do, or a possible caption drag: followed by hand.
    m_dragKind = hit;
    m_dragStartGlobal = e->globalPosition().toPoint();
    m_dragStartGeometry = m_window->geometry();
}

void CSkinFrame::MouseRelease(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_dragKind = SkinHit::Client;
    const SkinHit button = m_armedButton;
    m_armedButton = SkinHit::Client;
    const SkinHit hit = SkinHitTest(Layout(), e->position().toPoint());
    SetHot(hit, false);
    if (!IsButton(button) || hit != button)
        return;
    if (button == SkinHit::CloseButton)
        SysCommand(SC_CLOSE);
    else if (button == SkinHit::MinButton)
        SysCommand(SC_MINIMIZE);
    else if (button == SkinHit::MaxButton)
        SysCommand(m_window && m_window->isMaximized() ? SC_RESTORE : SC_MAXIMIZE);
}

void CSkinFrame::DoubleClick(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !(m_style & WS_STYLE_SIZEBOX))
        return;
    if (SkinHitTest(Layout(), e->position().toPoint()) != SkinHit::Caption)
        return;
    SysCommand(m_window->isMaximized() ? SC_RESTORE : SC_MAXIMIZE);
}

void CSkinFrame::SysCommand(int command)
{
    QPointer<QWidget> w = m_window;
    if (!w)
        return;
    CWndMessage msg(WM_SYSCOMMAND, static_cast<uintptr_t>(command));
    if (QCoreApplication::sendEvent(w, &msg) || !w)
        return;
    switch (command) {
    case SC_CLOSE: w->close(); break;
    case SC_MINIMIZE:
        if (!(m_style & WS_STYLE_NOMINIMIZEBOX))
            w->showMinimized();
        break;
    case SC_MAXIMIZE:
        if (m_style & WS_STYLE_MAXIMIZEBOX)
            w->showMaximized();
        break;
    case SC_RESTORE: w->showNormal(); break;
    default: break;
    }
}

// ---- CSkinPage ----

CSkinPage::CSkinPage(QWidget* page) : QObject(page), m_page(page)
{
    page->setProperty(kPageProperty, QVariant::fromValue<QObject*>(this));
    page->installEventFilter(this);
}

CSkinPage* CSkinPage::Of(QWidget* page, bool create)
{
    if (!page)
        return nullptr;
    if (auto* s = qobject_cast<CSkinPage*>(page->property(kPageProperty).value<QObject*>()))
        return s;
    return create ? new CSkinPage(page) : nullptr;
}

void CSkinPage::SetBackground(const QPixmap& pixmap)
{
    m_back = pixmap;
    if (m_page)
        m_page->update();
}

void CSkinPage::Release()
{
    if (m_page) {
        m_page->removeEventFilter(this);
        m_page->setProperty(kPageProperty, QVariant());
        m_page->update();
    }
    deleteLater();
}

bool CSkinPage::eventFilter(QObject* watched, QEvent* event)
{
    // Painted before the page's own paintEvent, so the page and its children draw over it.
    if (watched == m_page && event->type() == QEvent::Paint && !m_back.isNull()) {
        QPainter p(m_page);
        p.drawPixmap(QRect(QPoint(0, 0), LogicalSize(m_back)), m_back);
    }
    return false;
}
