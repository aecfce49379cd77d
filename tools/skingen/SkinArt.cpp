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

// "<name>.bmp" and "<name>@2x.bmp", drawn at scale 1 and 2.
void Bmp2(std::vector<Output>& out, const QString& path, std::function<QImage(int)> make)
{
    out.push_back(Bmp(path, [make] { return make(1); }));
    const QString big = path.left(path.size() - 4) + QStringLiteral("@2x.bmp");
    out.push_back(Bmp(big, [make] { return make(2); }));
}

Output Ico(const QString& path, IconPainter paint)
{
    return {path, [paint](const QString& full) {
                QList<QImage> images;
                for (int s : IconSizes())
                    images.append(RenderIcon(paint, s));
                return IcoFile::Write(full, images);
            }};
}

}  // namespace

QString SkinName()
{
    return QStringLiteral("标准");
}

const QList<int>& IconSizes()
{
    static const QList<int> sizes{16, 24, 32, 48, 64, 96};
    return sizes;
}

QByteArray BuiltinSkinQrc(const QString& programDir, const QStringList& written)
{
    QString root = QDir(programDir).absolutePath() + QLatin1Char('/');
    const QString skin = QStringLiteral("Skin/") + SkinName() + QLatin1Char('/');
    QByteArray qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/travimo/skin\">\n";
    for (const QString& path : written) {
        if (!path.startsWith(skin))
            continue;
        const QString alias = path.mid(skin.size()).toHtmlEscaped();
        qrc += "  <file alias=\"" + alias.toUtf8() + "\">" + (root + path).toHtmlEscaped().toUtf8() + "</file>\n";
    }
    qrc += "</qresource>\n</RCC>\n";
    return qrc;
}

bool WriteAll(const QString& programDir, const QString& setIniSource, const QString& graphIniSource,
              QStringList* written, QString* error)
{
    QString root = programDir;
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    const QString skin = QStringLiteral("Skin/") + SkinName() + QLatin1Char('/');
    std::vector<Output> outputs;
    auto bmp = [&](const QString& path, std::function<QImage(int)> make) { Bmp2(outputs, path, std::move(make)); };
    // Caption and frame.
    for (int i = 0; i < 3; ++i) {
        static const char* const names[] = {"title_left.bmp", "title_center.bmp", "title_right.bmp"};
        bmp(skin + names[i], [i](int scale) { return TitlePiece(i, scale); });
    }
    const struct {
        const char* name;
        SysButton button;
    } buttons[] = {{"close", SysButton::Close}, {"max", SysButton::Max}, {"min", SysButton::Min}};
    const struct {
        const char* suffix;
        ButtonState state;
    } states[] = {{"_normal.bmp", ButtonState::Normal}, {"_over.bmp", ButtonState::Over}, {"_down.bmp", ButtonState::Down}};
    for (const auto& b : buttons)
        for (const auto& st : states)
            bmp(skin + b.name + st.suffix,
                [button = b.button, state = st.state](int scale) { return SystemButton(button, state, scale); });
    const struct {
        const char* name;
        BorderPiece piece;
    } borders[] = {{"Border_left.bmp", BorderPiece::Left},
                   {"Border_bottom_left.bmp", BorderPiece::BottomLeft},
                   {"Border_bottom_center.bmp", BorderPiece::BottomCenter},
                   {"Border_bottom_right.bmp", BorderPiece::BottomRight},
                   {"Border_right.bmp", BorderPiece::Right}};
    for (const auto& b : borders)
        bmp(skin + b.name, [piece = b.piece](int scale) { return Border(piece, scale); });
    // Pages.
    bmp(skin + "P2_back.bmp", [](int scale) { return LoginPage(false, scale); });
    bmp(skin + "Logo01.bmp", [](int scale) { return LoginLogo(scale); });
    bmp(skin + "P3_back.bmp", [](int scale) { return UserPage(scale); });
    bmp(skin + "RightP1_Back.bmp", [](int scale) { return CardBackground(scale); });
    // Icons of the skin, then the program folder's.
    const std::pair<const char*, IconPainter> icons[] = {
        {"App.ico", PaintAppMark},
        {"TrayIcon_Normal.ico", PaintAppMark},
        {"TrayIcon_FindPedometer.ico", PaintTrayFound},
        {"BigToolbar_USB.ico", PaintPedometer},
        {"BigToolbar_User.ico", PaintProfile},
        {"BigToolbar_Password.ico", PaintKey},
        {"BigToolbar_Print.ico", PaintPrinter},
        {"BigToolbar_Setting.ico", PaintGear},
        {"BigToolbar_Logout.ico", PaintLogout},
        {"BigToolbar_Logo.ico", PaintAbout},
        {"MSNHome/Home.ico", PaintHome},
        {"MSNPdata/Pdata.ico", PaintChart},
        {"MSNUser/User.ico", PaintUsers},
        {"RightP1/Data.ico", PaintProfile},
        {"RightP1/Password.ico", PaintKey},
    };
    for (const auto& [name, paint] : icons)
        outputs.push_back(Ico(skin + name, paint));
    bmp("Show.bmp", [](int scale) { return ShowPicture(scale); });
    outputs.push_back(Ico("User.ico", PaintPerson));
    outputs.push_back(Ico("date.ico", PaintCalendar));
    for (int i = 0; i <= 10; ++i)
        bmp(skin + QStringLiteral("ColumnHeader%1.bmp").arg(i), [i](int scale) { return ColumnHeader(i, scale); });
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
