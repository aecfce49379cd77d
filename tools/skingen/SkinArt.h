#pragma once
// The default skin's art and the program folder's pictures, drawn with QPainter.
// Every image is a pure function of the constants below, so the generator writes
// the same bytes on every run.

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <initializer_list>

class QPainter;

namespace SkinArt {

// Sizes the window frame and the pages are laid out with (also written at the
// top of the skin's Set.ini for whoever builds against them).
constexpr int kCaptionHeight = 32;      // title bitmaps' height
constexpr int kTitleSideWidth = 8;      // title_left / title_right width
constexpr int kTitleCentreWidth = 16;   // title_center width, stretched between them
constexpr int kSysButtonSize = 16;      // close / max / min bitmaps are 16 x 16
constexpr int kSysButtonTop = 8;        // drawn on caption rows 8..23
constexpr int kBorderWidth = 4;         // left, right and bottom border thickness
constexpr int kBorderLength = 32;       // length of the stretched border pieces
constexpr int kTopRound = 6;            // corner radii of the window outline
constexpr int kBottomRound = 4;
constexpr QSize kLoginPage{440, 300};   // P2_back.bmp
constexpr QSize kUserPage{868, 500};    // P3_back.bmp
constexpr QSize kShowPicture{480, 300}; // Show.bmp
constexpr QSize kCard{196, 236};        // RightP1_Back.bmp
constexpr int kLoginPanelWidth = 170;   // the login page's left panel, where the logo sits
constexpr QSize kLogo{130, 140};        // Logo01.bmp
constexpr int kLogoX = 20;              // Page2 LeftLogX / LeftLogY
constexpr int kLogoY = 64;
constexpr int kToolbarBand = 72;        // bottom band of the user page behind the toolbar
constexpr int kHeaderImageHeight = 20;  // ColumnHeader bitmaps (header 22 minus top inset 2)
constexpr int kHeaderEndWidth = 2;      // ColumnHeader 0/2, 3/5, 6/8
constexpr int kHeaderMiddleWidth = 8;   // ColumnHeader 1, 4, 7
constexpr int kSortArrowWidth = 9;      // ColumnHeader 9, 10
constexpr int kPhotoSize = 96;          // Photo/<n>.bmp
constexpr int kPhotoCount = 7;          // 0 (the default) .. 6

// The palette every picture is drawn from.
namespace Colour {
inline const QColor CaptionTop{0x6F, 0xA3, 0xDB};
inline const QColor CaptionBottom{0x41, 0x7A, 0xBB};
inline const QColor FrameDark{0x2C, 0x5A, 0x8E};
inline const QColor Blue{0x3D, 0x7B, 0xC4};
inline const QColor BlueDark{0x27, 0x59, 0x8F};
inline const QColor BlueLight{0xD4, 0xE4, 0xF5};
inline const QColor Accent{0xF2, 0x97, 0x3A};
inline const QColor AccentDark{0xC8, 0x73, 0x1E};
inline const QColor Slate{0x5E, 0x73, 0x8C};
inline const QColor SlateDark{0x3F, 0x52, 0x6A};
inline const QColor PageTop{0xF1, 0xF5, 0xFA};
inline const QColor PageBottom{0xE2, 0xEA, 0xF4};
inline const QColor Ink{0x23, 0x3A, 0x56};
inline const QColor Green{0x4C, 0xB0, 0x6A};
inline const QColor CloseRed{0xE0, 0x5A, 0x4F};
}  // namespace Colour

// A top-to-bottom gradient from y0 to y1.
inline QLinearGradient Vertical(qreal y0, qreal y1, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// A closed path through the points: a move to the first, straight lines to the others.
QPainterPath Polygon(std::initializer_list<QPointF> points);

// Draws an icon on a 16 x 16 unit grid; the painter is already scaled to the
// target size, so whole and half units stay on pixel edges at 16, 32 and 48.
using IconPainter = void (*)(QPainter& p, int pixels);

void PaintAppMark(QPainter& p, int pixels);
void PaintTrayFound(QPainter& p, int pixels);
void PaintPedometer(QPainter& p, int pixels);
void PaintProfile(QPainter& p, int pixels);   // person with a pencil
void PaintPerson(QPainter& p, int pixels);
void PaintKey(QPainter& p, int pixels);
void PaintPrinter(QPainter& p, int pixels);
void PaintGear(QPainter& p, int pixels);
void PaintLogout(QPainter& p, int pixels);
void PaintAbout(QPainter& p, int pixels);
void PaintHome(QPainter& p, int pixels);
void PaintChart(QPainter& p, int pixels);
void PaintUsers(QPainter& p, int pixels);
void PaintCalendar(QPainter& p, int pixels);

// One icon image of size x size pixels, transparent around the drawing.
QImage RenderIcon(IconPainter paint, int size);

// Every bitmap below is drawn at `scale` device pixels per logical pixel: 1 for the
// "<name>.bmp" files, 2 for "<name>@2x.bmp", which the program takes on screens of 150 %
// and more. The 2x pictures are drawn anew, not enlarged: curves, glyphs, gradients and
// text get the finer pixels.

// Window frame.
QImage TitlePiece(int which, int scale = 1);  // 0 left, 1 centre, 2 right
enum class SysButton { Close, Max, Min };
enum class ButtonState { Normal, Over, Down };
QImage SystemButton(SysButton button, ButtonState state, int scale = 1);
enum class BorderPiece { Left, BottomLeft, BottomCenter, BottomRight, Right };
QImage Border(BorderPiece piece, int scale = 1);
// The caption's colour on a row (0 .. kCaptionHeight - 1); the buttons are drawn over it.
QColor CaptionRowColour(int y);
// The same for a device row of a caption drawn at `scale`.
QColor CaptionColourAt(int row, int scale);

// List header pieces 0 .. 10.
QImage ColumnHeader(int index, int scale = 1);

// Pages and pictures.
QImage LoginPage(bool withLogo, int scale = 1);  // P2_back.bmp (without logo) or the page as shown
QImage LoginLogo(int scale = 1);                 // Logo01.bmp: the logo cut from the page, background included
QImage UserPage(int scale = 1);                  // P3_back.bmp
QImage CardBackground(int scale = 1);            // RightP1_Back.bmp
QImage ShowPicture(int scale = 1);               // Show.bmp
QImage Photo(int index);                         // Photo/<index>.bmp

// The sizes every icon file carries: the logical sizes the program draws icons at
// (16 caption and lists, 24 tray, 32 toolbar, 48) and their 150 % and 200 % pixels.
const QList<int>& IconSizes();

// Writes the whole program-folder art below programDir (ending or not in '/'):
// the skin folder Skin/标准/ with Set.ini (copied from setIniSource), its bitmaps
// (each also as <name>@2x.bmp) and icons, Show.bmp and Show@2x.bmp, User.ico,
// date.ico, Photo/0..6.bmp and Graph.ini (copied from graphIniSource). Lists the
// written files relative to programDir.
bool WriteAll(const QString& programDir, const QString& setIniSource, const QString& graphIniSource,
              QStringList* written, QString* error);

// The Qt resource collection that compiles the skin folder's files (as WriteAll listed
// them, below programDir) into the program under ":/travimo/skin/".
QByteArray BuiltinSkinQrc(const QString& programDir, const QStringList& written);

// The skin folder's name.
QString SkinName();

}  // namespace SkinArt
