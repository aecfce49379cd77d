#pragma once
// CBalloonTip: a short-lived balloon that points at a control, used to report
// an input error next to the offending field.
//
// Usage (every caller in this program):
//     CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, LoadStr(103) /* "错误" */,
//                                 message, edit, std::nullopt, 5000);
//
// The balloon is a frameless tool-tip window that never takes the focus: a
// rounded body with a pointer towards the anchor point, the icon, the bold title
// and the text (plain text, never markup) wrapped at 160 pixels. Showing it beeps
// and gives the focus to the target. It hides after the time-out or when clicked,
// and deletes itself 1.5 s after hiding. When its target widget goes away it hides
// within 200 ms.
//
// One balloon per window: a new balloon on a window replaces the one shown there.
// A balloon also goes at once when the user edits its target (or a control named
// with EndOnEditOf), when its window is hidden or closed, and when a modal dialog
// or message box opens over its window: it reports a fault that has just been
// corrected or dealt with. It is placed below or above its anchor so that it
// covers none of its window's buttons. Each balloon owns itself (and is parented
// to the target's window, so destroying that window also removes it).

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <optional>
#include <vector>

class CBalloonTip : public QWidget {
    Q_OBJECT
public:
    // Icon numbers as the callers pass them.
    enum Icon { IconNone = 0, IconInfo = 1, IconWarning = 2, IconError = 3 };

    // How long a hidden balloon stays before it deletes itself, and how often it
    // checks that its target still exists.
    static constexpr int kRemoveDelayMs = 1500;
    static constexpr int kTargetCheckMs = 200;
    static constexpr int kMaxTextWidth = 160;

    // Shows a balloon at `point` (global coordinates; default: the target's
    // top-left + (10, 10)) for `timeoutMs` milliseconds. Returns the balloon
    // (owned by itself; keep it in a QPointer if you hold on to it), or null when
    // target is null.
    static CBalloonTip* ShowBalloonTip(int icon, const QString& title, const QString& text, QWidget* target,
                                       std::optional<QPoint> point = std::nullopt, int timeoutMs = 5000);

    // Every balloon that exists now (visible or waiting for removal), oldest first.
    static std::vector<CBalloonTip*> LiveBalloons();

    // The balloon also ends when the user edits this control (a line edit or a combo box):
    // the fault it reports may be mended there too.
    void EndOnEditOf(QWidget* control);

    int GetIcon() const { return m_icon; }
    QString GetTitle() const { return m_title; }
    QString GetText() const { return m_text; }
    QWidget* GetTarget() const { return m_target.data(); }
    QPoint AnchorPoint() const { return m_anchor; }
    // True once the balloon has been hidden and is waiting to delete itself.
    bool IsEnding() const { return m_removeTimer.isActive(); }

    ~CBalloonTip() override;
    CBalloonTip(const CBalloonTip&) = delete;
    CBalloonTip& operator=(const CBalloonTip&) = delete;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    CBalloonTip(int icon, const QString& title, const QString& text, QWidget* target, QPoint anchor);
    void Layout();
    void EndTip();         // hide and schedule removal
    void OnTargetCheck();

    int m_icon;
    QString m_title;
    QString m_text;
    QPointer<QWidget> m_target;
    QPoint m_anchor;
    bool m_pointerUp = true;  // the pointer sits on the body's top edge (else the bottom)
    int m_pointerX = 0;       // pointer tip x in widget coordinates
    QRect m_body;             // rounded body in widget coordinates
    QRect m_iconRect, m_titleRect, m_textRect;
    bool m_replaced = false;  // a newer balloon on the window took its place

    QTimer m_timeoutTimer;
    QTimer m_removeTimer;
    QTimer m_targetTimer;
};

// Paints a balloon icon (error, warning or information) into `r`.
class QPainter;
void PaintBalloonIcon(QPainter& p, const QRectF& r, int icon);

// Where a balloon of `size` (pointer included) goes for an anchor point, its pointer usually
// `pointerInset` pixels from its left edge: below the anchor (pointer up) or above it, at the
// usual place or moved sideways just clear of a rectangle of `keepClear`, whichever covers least
// of `keepClear`; then the place that needs no push back onto `screen`, then the least sideways
// move, then below. Always inside `screen`. Returns the top-left and whether the pointer is on top.
struct BalloonPlace {
    QPoint topLeft;
    bool pointerUp = true;
};
BalloonPlace PlaceBalloon(QPoint anchor, QSize size, int pointerInset, const QRect& screen,
                          const std::vector<QRect>& keepClear);
