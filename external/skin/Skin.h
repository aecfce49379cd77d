#pragma once
// The window skin library: a frameless top-level window whose caption, system
// buttons, borders and rounded corners are painted from a skin's bitmaps, and
// page backgrounds.
//
// Every operation returns 1 on success and 0 when it could not be applied (no
// window); callers may ignore the result. A bitmap that is missing or can't be
// decoded simply draws nothing for its piece (the program's skin reader hands in the
// built-in default skin's file for such pieces). Bitmaps are loaded at the window's
// device-pixel ratio: "<name>@2x.<ext>" from 1.5 on when the skin has it (SkinImage.h).
//
// The window's client area is its contentsRect(): the library reserves the
// caption and the borders as the window's content margins, so a page placed at
// contentsRect() sits flush inside the painted frame.
//
// System commands: the caption buttons and the caption icon's menu send
// WM_SYSCOMMAND (as a CWndMessage, wParam = command) to the window first; when the
// window does not handle it (its event() returns false) the library does the
// default: minimise, maximise/restore or close().

#include <QRect>
#include <QString>

#include <cstdint>

class QMenu;
class QWidget;

constexpr int WM_SYSCOMMAND = 0x0112;
constexpr int SC_MINIMIZE = 0xF020;
constexpr int SC_MAXIMIZE = 0xF030;
constexpr int SC_CLOSE = 0xF060;
constexpr int SC_RESTORE = 0xF120;

// Frame style bits (WS_SetStyle).
constexpr unsigned WS_STYLE_CAPTION = 0x1;      // caption and borders are drawn (without it: a bare rectangle)
constexpr unsigned WS_STYLE_SIZEBOX = 0x2;      // the borders resize the window, a caption double-click maximises
constexpr unsigned WS_STYLE_MAXIMIZEBOX = 0x4;  // the maximise button is shown
constexpr unsigned WS_STYLE_NOMINIMIZEBOX = 0x8;  // no minimise button (a dialog)

// Caption text colour, a colour value 0x00BBGGRR.
int WS_SetTitleTextColor(QWidget* window, uint32_t color);
// The small icon drawn at the caption's left (an .ico or any image file).
int WS_SetTitleIcon(QWidget* window, const QString& path);
// Caption bitmaps: left and right at their own size, the centre stretched between them.
int WS_SetTitleBmp(QWidget* window, const QString& left, const QString& center, const QString& right);
// System-button placement: distance of the buttons from the caption's top, of the
// close button from the window's right edge, and the gap between two buttons.
int WS_SetSysbtnParameter(QWidget* window, int top, int right, int spacing);
int WS_SetClosebtnBmp(QWidget* window, const QString& normal, const QString& hover, const QString& pressed);
int WS_SetMaxbtnBmp(QWidget* window, const QString& normal, const QString& hover, const QString& pressed);
int WS_SetMinbtnBmp(QWidget* window, const QString& normal, const QString& hover, const QString& pressed);
// The five border pieces: left and right stretched vertically, bottom centre horizontally.
int WS_SetBorderBmp(QWidget* window, const QString& left, const QString& bottomLeft, const QString& bottomCenter,
                    const QString& bottomRight, const QString& right);
// Corner rounding radii (pixels) of the top and the bottom corners; 0 = square.
int WS_GetRound(QWidget* window, int top, int bottom);
// Grows a client rectangle by the frame the library paints around it (flags: 0).
int WS_CalcWindowRect(QWidget* window, QRect& rect, int flags);
// Gives a page (a child widget) a skinned background; WS_SetBackBmp sets its bitmap,
// painted at the page's top-left under its children.
int WS_SetSkin(QWidget* page);
int WS_SetBackBmp(QWidget* page, const QString& path);
// Releases every window's and page's skin state: the windows get back a plain frame.
int WS_FreeSkin();

// Frame style of a skinned window (WS_STYLE_*); a window is skinned with
// WS_STYLE_CAPTION by the first WS_Set... call.
int WS_SetStyle(QWidget* window, unsigned style);
unsigned WS_GetStyle(QWidget* window);
// The menu that a click on the caption icon opens; its actions carry the
// WM_SYSCOMMAND command number as data(). Empty menus are not opened. Null when the window is not skinned.
QMenu* WS_GetSystemMenu(QWidget* window);
