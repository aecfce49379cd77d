#pragma once
// How the main window is dressed from the skin's Set.ini (sections Title and Border),
// and the skin's icon and page-background keys.

#include <QIcon>
#include <QString>

#include <cstdint>

class QWidget;

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

// Reads the keys of skinFolder + "Set.ini"; every file name becomes skinFolder + name.
WindowSkinSettings ReadWindowSkin(const QString& skinFolder);
// Passes the settings to the skin library in the order the frame is built.
void ApplyWindowSkin(QWidget* window, const WindowSkinSettings& s);

// skin folder + the value of a Set.ini key (default when absent).
QString SkinFile(const QString& section, const QString& key, const QString& def);
// An icon file of the current skin named by a key (the tray images).
QIcon SkinIcon(const QString& section, const QString& key, const QString& def);
