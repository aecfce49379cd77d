#include "core/SkinSections.h"

#include "core/Globals.h"
#include "core/Profile.h"
#include "external/skin/Skin.h"
#include "external/skin/SkinImage.h"

#include <QFileInfo>

#include <limits>

// Resources are referenced from outside any namespace.
static void InitBuiltinSkin()
{
    Q_INIT_RESOURCE(travimo_builtin_skin);
}

namespace {

// One section of one skin's Set.ini.
class SectionReader {
public:
    // A skin folder that is not there at all (a name that was mistyped, or its bytes invalid) is
    // the built-in skin as a whole, its Set.ini included; a folder without Set.ini keeps the
    // keys' defaults.
    SectionReader(const QString& folder, const char* section)
        : m_folder(ExistingOrBuiltin(folder.isEmpty() ? SkinFolder() : folder)),
          m_ini(m_folder + QStringLiteral("Set.ini")), m_section(QLatin1String(section))
    {
    }

    static QString ExistingOrBuiltin(const QString& folder)
    {
        return QFileInfo(folder).isDir() ? folder : BuiltinSkinFolder();
    }

    // A file of the skin folder; a Windows-style "a\b.ico" names the same file as "a/b.ico".
    // One the skin lacks or that can't be read is the built-in skin's file of the key's default.
    QString File(const char* key, const char* def) const
    {
        QString name = Profile::GetString(m_ini, m_section, QLatin1String(key), QString()).trimmed();
        if (name.isEmpty())
            name = QString::fromUtf8(def);
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return Resolved(m_folder + name, QString::fromUtf8(def));
    }

    // The skin's file, or the built-in skin's file `builtinName` when the skin's can't be used.
    static QString Resolved(const QString& path, const QString& builtinName)
    {
        return ImageFileUsable(path) ? path : BuiltinSkinFolder() + builtinName;
    }

    const QString& Folder() const { return m_folder; }

    QString Text(const char* key, const char* def) const
    {
        const QString text = Profile::GetString(m_ini, m_section, QLatin1String(key), QString());
        return text.isEmpty() ? QString::fromUtf8(def) : text;
    }

    // An integer read like atoi ("7abc" is 7) in [lo, hi]; a value that does not start with a
    // number, or is out of range, gives the default.
    int Int(const char* key, int def, int lo = std::numeric_limits<int>::min(),
            int hi = std::numeric_limits<int>::max()) const
    {
        const QString text = Profile::GetString(m_ini, m_section, QLatin1String(key), QString()).trimmed();
        const int start = text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+')) ? 1 : 0;
        if (text.size() <= start || text.at(start) < QLatin1Char('0') || text.at(start) > QLatin1Char('9'))
            return def;
        const int v = Profile::Atoi(text);
        return v >= lo && v <= hi ? v : def;
    }

    // A colour value written as a decimal number; like atoi, so an unreadable text is 0.
    uint32_t Colour(const char* key, const char* def) const
    {
        return static_cast<uint32_t>(Profile::Atoi(Profile::GetString(m_ini, m_section, QLatin1String(key),
                                                                      QString::fromUtf8(def))));
    }

private:
    QString m_folder;
    QString m_ini;
    QString m_section;
};

constexpr int kMaxSkinPixels = 4096;  // no skin places anything this far out

CardLineSkin ReadCardLine(const SectionReader& r, const char* prefix, int fontSize, int fontWeight)
{
    const auto key = [prefix](const char* suffix) { return QByteArray(prefix) + suffix; };
    CardLineSkin line;
    line.pos = QPoint(r.Int(key("X"), 0, 0, kMaxSkinPixels), r.Int(key("Y"), 0, 0, kMaxSkinPixels));
    line.fontName = r.Text(key("FontName"), "宋体");
    line.textColor = r.Colour(key("TextColor"), "0");
    line.fontSize = r.Int(key("FontSize"), fontSize, 1, 200);
    line.fontWeight = r.Int(key("FontWeight"), fontWeight, 0, 1000);
    return line;
}

}  // namespace

WindowSkinSettings ReadWindowSkin(const QString& folder)
{
    const SectionReader title(folder, "Title");
    const SectionReader border(folder, "Border");
    WindowSkinSettings s;
    // The colour is kept as a decimal number in a string: "0x10" reads as 0.
    s.textColor = title.Colour("TextColor", "0");
    s.icon = title.File("Icon", "App.ico");
    s.titleLeft = title.File("LeftBmp", "title_left.bmp");
    s.titleCenter = title.File("CenterBmp", "title_center.bmp");
    s.titleRight = title.File("RightBmp", "title_right.bmp");
    s.closeNormal = title.File("CloseNormalBmp", "close_normal.bmp");
    s.closeOver = title.File("CloseOverBmp", "close_over.bmp");
    s.closeDown = title.File("ClsoeDownBmp", "close_down.bmp");  // the key is spelt so in every skin
    s.maxNormal = title.File("MaxNormalBmp", "max_normal.bmp");
    s.maxOver = title.File("MaxOverBmp", "max_over.bmp");
    s.maxDown = title.File("MaxDownBmp", "max_down.bmp");
    s.minNormal = title.File("MinNormalBmp", "min_normal.bmp");
    s.minOver = title.File("MinOverBmp", "min_over.bmp");
    s.minDown = title.File("MinDownBmp", "min_down.bmp");
    s.borderLeft = border.File("LeftBmp", "Border_left.bmp");
    s.borderBottomLeft = border.File("BottomLeftBmp", "Border_bottom_left.bmp");
    s.borderBottomCenter = border.File("BottomCenterBmp", "Border_bottom_center.bmp");
    s.borderBottomRight = border.File("BottomRightBmp", "Border_bottom_right.bmp");
    s.borderRight = border.File("RightBmp", "Border_right.bmp");
    s.topRound = border.Int("TopRound", 0, 0, 64);
    s.bottomRound = border.Int("BottomRound", 0, 0, 64);
    s.sbtnOffsetY = title.Int("SbtnOffsetY", 1);
    s.sbtnOffsetR = title.Int("SbtnOffsetR", 5);
    s.sbtnSpace = title.Int("SbtnSapce", 0);
    return s;
}

TrayIconSkin ReadTrayIconSkin(const QString& folder)
{
    const SectionReader r(folder, "TrayIcon");
    return {r.File("Normal", "TrayIcon_Normal.ico"), r.File("FindPedometer", "TrayIcon_FindPedometer.ico")};
}

LoginPageSkin ReadLoginPageSkin(const QString& folder)
{
    const SectionReader r(folder, "Page2");
    return {r.File("BackBmp", "P2_back.bmp"), r.File("LeftLog", "Logo01.bmp"),
            QPoint(r.Int("LeftLogX", 0, 0, kMaxSkinPixels), r.Int("LeftLogY", 0, 0, kMaxSkinPixels))};
}

UserPageSkin ReadUserPageSkin(const QString& folder)
{
    return {SectionReader(folder, "Page3").File("BackBmp", "P3_back.bmp"),
            SectionReader(folder, "MSNHome").File("Ico", "MSNHome/Home.ico"),
            SectionReader(folder, "MSNPdata").File("Ico", "MSNPdata/Pdata.ico"),
            SectionReader(folder, "MSNUser").File("Ico", "MSNUser/User.ico")};
}

UserCardSkin ReadUserCardSkin(const QString& folder)
{
    const SectionReader r(folder, "RightP1");
    UserCardSkin s;
    s.backBmp = r.File("BackBmp", "RightP1_Back.bmp");
    s.picture = QRect(r.Int("HEADX", 15, 0, kMaxSkinPixels), r.Int("HEADY", 18, 0, kMaxSkinPixels),
                      r.Int("HEADWEIGHT", 20, 1, kMaxSkinPixels), r.Int("HEADHEIGHT", 20, 1, kMaxSkinPixels));
    s.id = ReadCardLine(r, "ID", 14, 200);
    s.name = ReadCardLine(r, "Name", 18, 800);
    s.sex = ReadCardLine(r, "Sex", 14, 200);
    s.age = ReadCardLine(r, "Age", 14, 200);
    s.weight = ReadCardLine(r, "Weight", 14, 200);
    s.stride = ReadCardLine(r, "Steplong", 14, 200);
    s.dataIcon = r.File("DataIcon", "RightP1/Data.ico");
    s.passwordIcon = r.File("PasswordIcon", "RightP1/Password.ico");
    return s;
}

ToolbarSkin ReadToolbarSkin(const QString& folder)
{
    const SectionReader r(folder, "BigToolbar");
    return {r.File("USBIcon", "BigToolbar_USB.ico"),         r.File("UserIcon", "BigToolbar_User.ico"),
            r.File("PasswordIcon", "BigToolbar_Password.ico"), r.File("PrintIcon", "BigToolbar_Print.ico"),
            r.File("SettingIcon", "BigToolbar_Setting.ico"),   r.File("LogoutIcon", "BigToolbar_Logout.ico"),
            r.File("LogoIcon", "BigToolbar_Logo.ico")};
}

ColumnHeaderSkin ReadColumnHeaderSkin(const QString& folder)
{
    const SectionReader r(folder, "");
    ColumnHeaderSkin s;
    for (int i = 0; i < kColumnHeaderImages; ++i) {
        const QString name = QStringLiteral("ColumnHeader%1.bmp").arg(i);
        s.images[i] = SectionReader::Resolved(r.Folder() + name, name);
    }
    return s;
}

QString BuiltinSkinFolder()
{
    static const bool initialised = (InitBuiltinSkin(), true);
    Q_UNUSED(initialised);
    return QStringLiteral(":/travimo/skin/");
}

QStringList MissingSkinPieces(const QString& folder)
{
    const WindowSkinSettings w = ReadWindowSkin(folder.isEmpty() ? SkinFolder() : folder);
    const TrayIconSkin tray = ReadTrayIconSkin(folder);
    const LoginPageSkin login = ReadLoginPageSkin(folder);
    const UserPageSkin user = ReadUserPageSkin(folder);
    const UserCardSkin card = ReadUserCardSkin(folder);
    const ToolbarSkin bar = ReadToolbarSkin(folder);
    const ColumnHeaderSkin header = ReadColumnHeaderSkin(folder);
    QStringList all = {w.icon, w.titleLeft, w.titleCenter, w.titleRight, w.closeNormal, w.closeOver, w.closeDown,
                       w.maxNormal, w.maxOver, w.maxDown, w.minNormal, w.minOver, w.minDown, w.borderLeft,
                       w.borderBottomLeft, w.borderBottomCenter, w.borderBottomRight, w.borderRight,
                       tray.normal, tray.findPedometer, login.backBmp, login.leftLog, user.backBmp, user.homeIcon,
                       user.chartIcon, user.userListIcon, card.backBmp, card.dataIcon, card.passwordIcon,
                       bar.usb, bar.user, bar.password, bar.print, bar.setting, bar.logout, bar.logo};
    for (const QString& image : header.images)
        all.append(image);
    const QString builtin = BuiltinSkinFolder();
    QStringList missing;
    for (const QString& path : all)
        if (path.startsWith(builtin))
            missing.append(path.mid(builtin.size()));
    return missing;
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

void ApplyDialogSkin(QWidget* dialog)
{
    ApplyWindowSkin(dialog, ReadWindowSkin(SkinFolder()));
    WS_SetStyle(dialog, WS_STYLE_CAPTION | WS_STYLE_NOMINIMIZEBOX);
}

QIcon LoadIconFile(const QString& path)
{
    QIcon icon(path);
    return icon.availableSizes().isEmpty() ? QIcon() : icon;
}
