#pragma once
// The skin's Set.ini, one typed reader per section, each key's default in one place. File
// names come back as full paths in the skin folder. A missing key, and an integer that is not a
// number or is out of range, gives the default; colours are decimal numbers read like atoi, so an
// unreadable colour is 0 (black), as every skin expects.
//
// A skin cannot break the program: a file the skin names that is missing, does not decode or is
// cut short comes back as the same piece of the default skin built into the program (the key's
// default name under BuiltinSkinFolder()), so every piece always has an image.

#include <QIcon>
#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>

class QWidget;

// Title and Border: the window frame.
struct WindowSkinSettings {
    uint32_t textColor = 0;
    QString icon;
    QString titleLeft, titleCenter, titleRight;
    QString closeNormal, closeOver, closeDown;
    QString maxNormal, maxOver, maxDown;
    QString minNormal, minOver, minDown;
    QString borderLeft, borderBottomLeft, borderBottomCenter, borderBottomRight, borderRight;
    int topRound = 0;
    int bottomRound = 0;
    // Read but not passed on: the button placement is the fixed one below.
    int sbtnOffsetY = 1;
    int sbtnOffsetR = 5;
    int sbtnSpace = 0;
};

// The fixed system-button placement passed to the skin library.
constexpr int kSysbtnTop = 8;
constexpr int kSysbtnRight = 13;
constexpr int kSysbtnSpacing = 10;

// TrayIcon: the notification-area images.
struct TrayIconSkin {
    QString normal;         // no pedometer connected
    QString findPedometer;  // a pedometer is connected
};

// Page2: the login page.
struct LoginPageSkin {
    QString backBmp;
    QString leftLog;
    QPoint leftLogPos;
};

// Page3, MSNHome, MSNPdata, MSNUser: the user page's background and its page icons.
struct UserPageSkin {
    QString backBmp;
    QString homeIcon, chartIcon, userListIcon;
};

// One text line of the user card.
struct CardLineSkin {
    QPoint pos;
    QString fontName;
    uint32_t textColor = 0;
    int fontSize = 14;
    int fontWeight = 200;
};

// RightP1: the user card.
struct UserCardSkin {
    QString backBmp;
    QRect picture;  // HEADX, HEADY, HEADWEIGHT, HEADHEIGHT
    CardLineSkin id, name, sex, age, weight, stride;
    QString dataIcon, passwordIcon;
};

// BigToolbar: the toolbar strip's icons.
struct ToolbarSkin {
    QString usb, user, password, print, setting, logout, logo;
};

// The list header's images ColumnHeader0.bmp ... ColumnHeader10.bmp (not named in Set.ini).
constexpr int kColumnHeaderImages = 11;
struct ColumnHeaderSkin {
    QString images[kColumnHeaderImages];
};

// Each reader takes the skin folder (ending in '/'); without one, the current skin's.
WindowSkinSettings ReadWindowSkin(const QString& skinFolder);
TrayIconSkin ReadTrayIconSkin(const QString& skinFolder = QString());
LoginPageSkin ReadLoginPageSkin(const QString& skinFolder = QString());
UserPageSkin ReadUserPageSkin(const QString& skinFolder = QString());
UserCardSkin ReadUserCardSkin(const QString& skinFolder = QString());
ToolbarSkin ReadToolbarSkin(const QString& skinFolder = QString());
ColumnHeaderSkin ReadColumnHeaderSkin(const QString& skinFolder = QString());

// The default skin compiled into the program, as a folder path (":/...", ending in '/').
QString BuiltinSkinFolder();
// The pieces (file names relative to the skin folder) that the skin lacks or cannot be read,
// and that therefore come from the built-in skin; empty for a complete skin.
QStringList MissingSkinPieces(const QString& skinFolder = QString());

// Passes the frame settings to the skin library in the order the frame is built.
void ApplyWindowSkin(QWidget* window, const WindowSkinSettings& s);
// Dresses a dialog in the current skin's frame with a close button only: whatever the window
// manager would add, it can't be minimised (which takes its window along) nor maximised.
void ApplyDialogSkin(QWidget* dialog);

// An icon file loaded at its own sizes; a null icon when the file gives no image.
QIcon LoadIconFile(const QString& path);
