// Writes every file of the default skin and the program folder's pictures.
#include "SkinArt.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <functional>

#include "IcoFile.h"

namespace SkinArt {

QPainterPath Polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    for (const QPointF& point : points) {
        if (path.elementCount() == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

namespace {

// 96 dpi in the BMP header, whatever the screen says, so every run writes the same bytes.
constexpr int kDotsPerMeter = 3780;

bool SaveBmp(QImage img, const QString& path)
{
    img = img.convertToFormat(QImage::Format_RGB32);
    img.setDotsPerMeterX(kDotsPerMeter);
    img.setDotsPerMeterY(kDotsPerMeter);
    return img.save(path, "BMP");
}

bool CopyText(const QString& from, const QString& to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(bytes);
    return out.commit();
}

struct Output {
    QString path;  // relative to the program folder
    std::function<bool(const QString&)> write;
};

Output Bmp(const QString& path, std::function<QImage()> make)
{
    return {path, [make](const QString& full) { return SaveBmp(make(), full); }};
}

Output Ico(const QString& path, IconPainter paint, std::initializer_list<int> sizes)
{
    const std::vector<int> list(sizes);
    return {path, [paint, list](const QString& full) {
                QList<QImage> images;
                for (int s : list)
                    images.append(RenderIcon(paint, s));
                return IcoFile::Write(full, images);
            }};
}

}  // namespace

QString SkinName()
{
    return QStringLiteral("标准");
}

bool WriteAll(const QString& programDir, const QString& setIniSource, const QString& graphIniSource,
              QStringList* written, QString* error)
{
    QString root = programDir;
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    const QString skin = QStringLiteral("Skin/") + SkinName() + QLatin1Char('/');
    const auto standard = {16, 32, 48};
    const auto tray = {16, 24, 32, 48};

    std::vector<Output> outputs = {
        // Caption and frame.
        Bmp(skin + "title_left.bmp", [] { return TitlePiece(0); }),
        Bmp(skin + "title_center.bmp", [] { return TitlePiece(1); }),
        Bmp(skin + "title_right.bmp", [] { return TitlePiece(2); }),
        Bmp(skin + "close_normal.bmp", [] { return SystemButton(SysButton::Close, ButtonState::Normal); }),
        Bmp(skin + "close_over.bmp", [] { return SystemButton(SysButton::Close, ButtonState::Over); }),
        Bmp(skin + "close_down.bmp", [] { return SystemButton(SysButton::Close, ButtonState::Down); }),
        Bmp(skin + "max_normal.bmp", [] { return SystemButton(SysButton::Max, ButtonState::Normal); }),
        Bmp(skin + "max_over.bmp", [] { return SystemButton(SysButton::Max, ButtonState::Over); }),
        Bmp(skin + "max_down.bmp", [] { return SystemButton(SysButton::Max, ButtonState::Down); }),
        Bmp(skin + "min_normal.bmp", [] { return SystemButton(SysButton::Min, ButtonState::Normal); }),
        Bmp(skin + "min_over.bmp", [] { return SystemButton(SysButton::Min, ButtonState::Over); }),
        Bmp(skin + "min_down.bmp", [] { return SystemButton(SysButton::Min, ButtonState::Down); }),
        Bmp(skin + "Border_left.bmp", [] { return Border(BorderPiece::Left); }),
        Bmp(skin + "Border_bottom_left.bmp", [] { return Border(BorderPiece::BottomLeft); }),
        Bmp(skin + "Border_bottom_center.bmp", [] { return Border(BorderPiece::BottomCenter); }),
        Bmp(skin + "Border_bottom_right.bmp", [] { return Border(BorderPiece::BottomRight); }),
        Bmp(skin + "Border_right.bmp", [] { return Border(BorderPiece::Right); }),
        // Pages.
        Bmp(skin + "P2_back.bmp", [] { return LoginPage(false); }),
        Bmp(skin + "Logo01.bmp", [] { return LoginLogo(); }),
        Bmp(skin + "P3_back.bmp", [] { return UserPage(); }),
        Bmp(skin + "RightP1_Back.bmp", [] { return CardBackground(); }),
        // Icons of the skin.
        Ico(skin + "App.ico", PaintAppMark, tray),
        Ico(skin + "TrayIcon_Normal.ico", PaintAppMark, tray),
        Ico(skin + "TrayIcon_FindPedometer.ico", PaintTrayFound, tray),
        Ico(skin + "BigToolbar_USB.ico", PaintPedometer, standard),
        Ico(skin + "BigToolbar_User.ico", PaintProfile, standard),
        Ico(skin + "BigToolbar_Password.ico", PaintKey, standard),
        Ico(skin + "BigToolbar_Print.ico", PaintPrinter, standard),
        Ico(skin + "BigToolbar_Setting.ico", PaintGear, standard),
        Ico(skin + "BigToolbar_Logout.ico", PaintLogout, standard),
        Ico(skin + "BigToolbar_Logo.ico", PaintAbout, standard),
        Ico(skin + "MSNHome/Home.ico", PaintHome, standard),
        Ico(skin + "MSNPdata/Pdata.ico", PaintChart, standard),
        Ico(skin + "MSNUser/User.ico", PaintUsers, standard),
        Ico(skin + "RightP1/Data.ico", PaintProfile, standard),
        Ico(skin + "RightP1/Password.ico", PaintKey, standard),
        // Program folder.
        Bmp("Show.bmp", [] { return ShowPicture(); }),
        Ico("User.ico", PaintPerson, {16, 32}),
        Ico("date.ico", PaintCalendar, {16, 32}),
    };
    for (int i = 0; i <= 10; ++i)
        outputs.push_back(Bmp(skin + QStringLiteral("ColumnHeader%1.bmp").arg(i), [i] { return ColumnHeader(i); }));
    for (int i = 0; i < kPhotoCount; ++i)
        outputs.push_back(Bmp(QStringLiteral("Photo/%1.bmp").arg(i), [i] { return Photo(i); }));
    outputs.push_back({skin + "Set.ini", [setIniSource](const QString& full) { return CopyText(setIniSource, full); }});
    outputs.push_back({"Graph.ini", [graphIniSource](const QString& full) { return CopyText(graphIniSource, full); }});

    for (const Output& o : outputs) {
        const QString full = root + o.path;
        if (!QDir().mkpath(full.left(full.lastIndexOf(QLatin1Char('/'))))) {
            if (error)
                *error = QStringLiteral("cannot create the folder of %1").arg(full);
            return false;
        }
        if (!o.write(full)) {
            if (error)
                *error = QStringLiteral("cannot write %1").arg(full);
            return false;
        }
        if (written)
            written->append(o.path);
    }
    return true;
}

}  // namespace SkinArt
