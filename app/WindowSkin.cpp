#include "app/WindowSkin.h"

#include "app/Globals.h"
#include "app/Profile.h"
#include "external/skin/Skin.h"

WindowSkinSettings ReadWindowSkin(const QString& folder)
{
    const QString ini = folder + QStringLiteral("Set.ini");
    auto file = [&](const char* section, const char* key, const char* def) {
        return folder + Profile::GetString(ini, QLatin1String(section), QLatin1String(key), QLatin1String(def));
    };
    WindowSkinSettings s;
    // The colour is kept as a decimal number in a string: "0x10" reads as 0.
    s.textColor = static_cast<uint32_t>(Profile::Atoi(Profile::GetString(ini, QStringLiteral("Title"), QStringLiteral("TextColor"), QStringLiteral("0"))));
    s.icon = file("Title", "Icon", "App.ico");
    s.titleLeft = file("Title", "LeftBmp", "title_left.bmp");
    s.titleCenter = file("Title", "CenterBmp", "title_center.bmp");
    s.titleRight = file("Title", "RightBmp", "title_right.bmp");
    s.closeNormal = file("Title", "CloseNormalBmp", "close_normal.bmp");
    s.closeOver = file("Title", "CloseOverBmp", "close_over.bmp");
    s.closeDown = file("Title", "ClsoeDownBmp", "close_down.bmp");  // the key is spelt so in every skin
    s.maxNormal = file("Title", "MaxNormalBmp", "max_normal.bmp");
    s.maxOver = file("Title", "MaxOverBmp", "max_over.bmp");
    s.maxDown = file("Title", "MaxDownBmp", "max_down.bmp");
    s.minNormal = file("Title", "MinNormalBmp", "min_normal.bmp");
    s.minOver = file("Title", "MinOverBmp", "min_over.bmp");
    s.minDown = file("Title", "MinDownBmp", "min_down.bmp");
    s.borderLeft = file("Border", "LeftBmp", "Border_left.bmp");
    s.borderBottomLeft = file("Border", "BottomLeftBmp", "Border_bottom_left.bmp");
    s.borderBottomCenter = file("Border", "BottomCenterBmp", "Border_bottom_center.bmp");
    s.borderBottomRight = file("Border", "BottomRightBmp", "Border_bottom_right.bmp");
    s.borderRight = file("Border", "RightBmp", "Border_right.bmp");
    s.topRound = Profile::GetInt(ini, QStringLiteral("Border"), QStringLiteral("TopRound"), 0);
    s.bottomRound = Profile::GetInt(ini, QStringLiteral("Border"), QStringLiteral("BottomRound"), 0);
    s.sbtnOffsetY = Profile::GetInt(ini, QStringLiteral("Title"), QStringLiteral("SbtnOffsetY"), 1);
    s.sbtnOffsetR = Profile::GetInt(ini, QStringLiteral("Title"), QStringLiteral("SbtnOffsetR"), 5);
    s.sbtnSpace = Profile::GetInt(ini, QStringLiteral("Title"), QStringLiteral("SbtnSapce"), 0);
    return s;
}

void ApplyWindowSkin(QWidget* w, const WindowSkinSettings& s)
{
    WS_SetTitleTextColor(w, s.textColor);
    WS_SetTitleIcon(w, s.icon);
    WS_SetTitleBmp(w, s.titleLeft, s.titleCenter, s.titleRight);
    WS_SetSysbtnParameter(w, kSysbtnTop, kSysbtnRight, kSysbtnSpacing);
    WS_SetClosebtnBmp(w, s.closeNormal, s.closeOver, s.closeDown);
    WS_SetMaxbtnBmp(w, s.maxNormal, s.maxOver, s.maxDown);
    WS_SetMinbtnBmp(w, s.minNormal, s.minOver, s.minDown);
    WS_SetBorderBmp(w, s.borderLeft, s.borderBottomLeft, s.borderBottomCenter, s.borderBottomRight, s.borderRight);
    WS_GetRound(w, s.topRound, s.bottomRound);
}

QString SkinFile(const QString& section, const QString& key, const QString& def)
{
    return SkinFolder() + Profile::GetString(SkinIniPath(), section, key, def);
}

QIcon SkinIcon(const QString& section, const QString& key, const QString& def)
{
    const QString path = SkinFile(section, key, def);
    QIcon icon(path);
    return icon.availableSizes().isEmpty() ? QIcon() : icon;
}
