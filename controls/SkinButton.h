#pragma once
// CSkinButton: the program's owner-drawn push button (toolbar strip, navigation
// panel, page tab bar, user card). A flat button that lights up under the mouse,
// with an icon beside, above or under its caption, colours per state, an
// optional border, an optional transparent look (the parent's background shows
// through), a tooltip, a checkbox mode, and a mode that ignores the mouse.
//
// Usage (a toolbar button):
//     auto* b = new CSkinButton(tr("打印"), strip);
//     b->SetIconImage(QIcon(SkinFolder() + "BigToolbar_Print.ico"), 32, 32);
//     b->SetIconAlign(CSkinButton::AlignTop);
//     b->UseParentBackground();
//     b->SetTipText(LoadStr(200), true);
//     b->SetStateColour(CSkinButton::BackHover, colour);   // COLORREF; also BackNormal, BackFocus
//
// Colour slots: 0 background while hovered or pressed, 1 text while hovered or
// pressed, 2 background otherwise, 3 text otherwise, 4 background while focused,
// 5 text while focused. Defaults: backgrounds 0xF0F0F0, texts black.
//
// Drawing, in order: background (the captured parent pixels in transparent
// mode; else slot 0 when hovered or pressed, slot 4 when focused, slot 2
// otherwise); border (flat: a thin 3-D border while hovered or pressed, or
// always with SetAlwaysBorder; non-flat: the classic raised edge, a shadow
// frame when pressed); icon; caption (embossed when disabled); focus rectangle
// 3 pixels inside (non-flat buttons, or flat with SetDrawFlatFocus).
//
// Checkbox mode (SetCheckboxMode): the button toggles on a click and shows its
// checked state as pressed; SetCheck(1 or 2) checks it, SetCheck(0) clears.
// Disabling the button ends the hover and passes the focus to the next widget.

#include "controls/Colour.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <array>

// A grey copy of an icon image: every pixel that is not black becomes
// (g, g, g) with g = trunc(0.299 r + 0.587 g + 0.114 b); black pixels and the
// alpha channel (the icon's mask) are kept.
QImage MakeGreyIcon(const QImage& icon);

// Where a button's icon and caption go inside its client rectangle.
struct SkinButtonLayout {
    QRect icon;     // where the icon is drawn (its own size, or the client rectangle for align 3)
    QRect caption;  // rectangle the caption is centred in
};
// align 0 ... 3 (see CSkinButton::IconAlign); iconSize empty = no icon;
// pressedShift moves icon and caption 1 pixel right and down.
SkinButtonLayout LayoutSkinButton(const QRect& client, int align, QSize iconSize, bool hasCaption, bool pressedShift);

// Colour slot of the background: 0 hovered or pressed, 4 focused, else 2.
int SkinButtonBackSlot(bool hover, bool pressed, bool focused);

class CSkinButton : public QPushButton {
    Q_OBJECT
public:
    enum IconAlign { AlignLeft = 0, AlignTop = 1, AlignRight = 2, AlignUnder = 3 };
    enum ColourSlot { BackHover = 0, TextHover = 1, BackNormal = 2, TextNormal = 3, BackFocus = 4, TextFocus = 5 };
    // Results of the setters: 0 done; a refused alignment gives 4, a refused slot 3.
    enum Result { Ok = 0, InvalidIndex = 3, InvalidAlign = 4 };
    // The second (inactive) icon of SetIconImage.
    enum class InactiveIcon { None, Grey };

    explicit CSkinButton(QWidget* parent = nullptr);
    explicit CSkinButton(const QString& text, QWidget* parent = nullptr);
    ~CSkinButton() override;
    CSkinButton(const CSkinButton&) = delete;
    CSkinButton& operator=(const CSkinButton&) = delete;

    // Icon shown while the button is active (hovered/pressed/checked), drawn
    // at w x h. With InactiveIcon::Grey a grey copy shows otherwise. A null
    // icon clears both slots.
    void SetIconImage(const QIcon& icon, int w, int h, InactiveIcon inactive = InactiveIcon::None, bool repaint = true);
    // Two icons: `active` for the active look, `inactive` otherwise.
    void SetIconImage(const QIcon& active, int w, int h, const QIcon& inactive, int w2, int h2, bool repaint = true);
    bool HasIcon() const { return !m_icons[0].isNull(); }
    // The icon images (at the widget's pixel ratio); slot 0 active, 1 inactive.
    QImage IconImage(int slot) const;
    QSize IconSize(int slot) const;

    int SetIconAlign(int align, bool repaint = true);
    int GetIconAlign() const { return m_align; }

    int SetStateColour(int slot, COLORREF colour, bool repaint = true);
    COLORREF GetStateColour(int slot) const;  // 0 for a slot that does not exist
    void ResetColours(bool repaint = true);

    // Tooltip text (a null text is ignored) and whether it shows.
    void SetTipText(const QString& text, bool activate = false);
    QString GetTipText() const { return m_tipText; }

    // Transparent look: draws the parent's pixels under the button, captured on
    // the next paint. Call RefreshBackground when the parent's look changed.
    void UseParentBackground(bool repaint = true);
    void RefreshBackground();
    bool IsTransparent() const { return m_transparent; }
    bool HasCapturedBackground() const { return !m_background.isNull(); }

    void SetBorderColour(COLORREF colour, bool repaint = true);
    void SetAlwaysBorder(bool on, bool repaint = true);
    void SetDrawBorder(bool on, bool repaint = true);
    void SetDrawFlatFocus(bool on, bool repaint = true);
    void SetFlatLook(bool flat, bool repaint = true);  // default true
    // When false the button neither lights up nor reacts to the mouse buttons.
    void SetMouseEnabled(bool on);
    bool IsMouseEnabled() const { return m_mouseEnabled; }
    // When false the hover starts only while the program has an active window.
    void SetTrackAlways(bool on) { m_trackAlways = on; }

    void SetCheckboxMode(bool on);
    bool IsCheckboxMode() const { return m_checkbox; }
    // Stores the check value; 1 and 2 count as checked. GetCheck returns the
    // stored value (a click stores 1 or 0).
    void SetCheck(int check);
    int GetCheck() const { return m_checkbox ? m_check : 0; }

    bool IsHover() const { return m_hover; }
    bool HasCustomBorder() const { return m_customBorder; }
    COLORREF GetBorderColour() const { return m_borderColour; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    void changeEvent(QEvent*) override;
    void moveEvent(QMoveEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void Init();
    void EndHover();
    void TryStartHover(const QPoint& pos);
    void CaptureBackground();
    void Repaint(bool repaint);
    static QImage IconToImage(const QIcon& icon, int w, int h, qreal dpr);

    bool m_hover = false;
    bool m_checkbox = false;
    int m_check = 0;
    int m_align = AlignLeft;
    bool m_drawBorder = true;
    bool m_drawFlatFocus = false;
    std::array<COLORREF, 6> m_colours{};
    bool m_customBorder = false;
    COLORREF m_borderColour = 0;
    bool m_alwaysBorder = false;
    bool m_mouseEnabled = true;
    bool m_trackAlways = true;
    bool m_transparent = false;
    QPixmap m_background;
    bool m_capturing = false;
    std::array<QImage, 2> m_icons;  // active, inactive (device pixels at m_iconRatio)
    std::array<QSize, 2> m_iconSizes;
    QString m_tipText;
    bool m_tipActive = false;
};
