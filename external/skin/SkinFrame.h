#pragma once
// The skin frame of one window: its bitmaps, the geometry they give, and the
// event filter that paints the caption and borders and lets the mouse drive them.

#include "external/skin/SkinImage.h"

#include <QBasicTimer>
#include <QColor>
#include <QMargins>
#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QRegion>

#include <array>
#include <memory>

class QFont;
class QMenu;
class QMouseEvent;
class QPainter;
class QWidget;

enum SkinButtonState { SkinNormal = 0, SkinHover = 1, SkinPressed = 2 };

// The caption icon's logical size.
constexpr int kCaptionIconSize = 16;

struct SkinImages {
    QPixmap titleLeft, titleCenter, titleRight;
    std::array<QPixmap, 3> close, max, min;  // by SkinButtonState
    QPixmap borderLeft, borderBottomLeft, borderBottomCenter, borderBottomRight, borderRight;
    QPixmap icon;
    QColor textColor = Qt::black;
    int buttonTop = 4;
    int buttonRight = 4;
    int buttonSpacing = 0;
    int roundTop = 0;
    int roundBottom = 0;
};

// The parts of a window that the mouse can hit.
enum class SkinHit { Client, Caption, Icon, CloseButton, MaxButton, MinButton, Left, Right, Bottom, BottomLeft, BottomRight };

// Space the frame takes around the client area (logical pixels).
QMargins SkinFrameMargins(const SkinImages& images, unsigned style);
// The window rectangle around a client rectangle.
QRect GrowByFrame(const QRect& client, const QMargins& margins);

struct SkinLayout {
    QSize size;
    unsigned style = 0;
    QMargins margins;
    QRect close, max, min;  // empty when the button is absent
    QRect icon, text;
};
SkinLayout LayoutSkinFrame(const SkinImages& images, unsigned style, QSize windowSize);
// What lies under a point; borders count only for a resizable (WS_STYLE_SIZEBOX) frame.
SkinHit SkinHitTest(const SkinLayout& layout, QPoint pos);
// The visible region of a window with rounded corners; the full rectangle when both radii are 0.
QRegion RoundedWindowRegion(QSize size, int topRadius, int bottomRadius);
// Resize arithmetic for a border drag: the new geometry for a move of delta from
// the start geometry, kept within the window's minimum and maximum size.
QRect ResizedGeometry(const QRect& start, SkinHit edge, QPoint delta, QSize minimum, QSize maximum);

// Draws the caption, buttons (hot one hovered or pressed) and borders. Nothing else.
void PaintSkinFrame(QPainter& painter, const SkinImages& images, const SkinLayout& layout, const QString& title,
                    const QFont& font, SkinHit hot, bool pressed);

class CSkinFrame : public QObject {
    Q_OBJECT
public:
    explicit CSkinFrame(QWidget* window);
    ~CSkinFrame() override;
    CSkinFrame(const CSkinFrame&) = delete;
    CSkinFrame& operator=(const CSkinFrame&) = delete;

    // The frame of a window, created on first use when create is set.
    static CSkinFrame* Of(QWidget* window, bool create);

    SkinImages& Images() { return m_images; }
    const SkinImages& Images() const { return m_images; }
    void SetStyle(unsigned style);
    unsigned Style() const { return m_style; }
    QMenu* SystemMenu();
    // Re-applies margins, mask and repaints after the images changed.
    void Update();
    // Gives the window back its plain frame and removes this object.
    void Release();

    SkinLayout Layout() const;
    SkinHit Hot() const { return m_hot; }
    bool Pressed() const { return m_pressed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* e) override;

private:
    void Paint();
    void MouseMove(QMouseEvent* e);
    void MousePress(QMouseEvent* e);
    void MouseRelease(QMouseEvent* e);
    void DoubleClick(QMouseEvent* e);
    void SetHot(SkinHit hit, bool pressed);
    void SysCommand(int command);
    void UpdateMask();
    void UpdateCursor(SkinHit hit);

    QPointer<QWidget> m_window;
    SkinImages m_images;
    unsigned m_style = 0x1;
    SkinHit m_hot = SkinHit::Client;
    bool m_pressed = false;
    SkinHit m_armedButton = SkinHit::Client;  // the button the left button went down on
    SkinHit m_dragKind = SkinHit::Client;  // caption (move) or an edge (resize) while dragging by hand
    bool m_movingByHand = false;
    QPoint m_dragStartGlobal;
    QRect m_dragStartGeometry;
    std::unique_ptr<QMenu> m_systemMenu;
    QBasicTimer m_hoverTimer;
    Qt::WindowFlags m_flagsBefore;
    QMargins m_marginsBefore;
};

// A page's skinned background (WS_SetSkin / WS_SetBackBmp).
class CSkinPage : public QObject {
    Q_OBJECT
public:
    explicit CSkinPage(QWidget* page);
    static CSkinPage* Of(QWidget* page, bool create);
    void SetBackground(const QPixmap& pixmap);
    const QPixmap& Background() const { return m_back; }
    void Release();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_page;
    QPixmap m_back;
};
