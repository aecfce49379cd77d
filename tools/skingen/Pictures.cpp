// Page backgrounds, the login logo, the user card, the start-up picture and the
// user pictures.
#include "SkinArt.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <initializer_list>

namespace SkinArt {

namespace {

// Ground under a skyline of cubic curves from start: the area down to the bottom edge.
QPainterPath Ground(QPointF start, std::initializer_list<std::array<QPointF, 3>> curves, qreal bottom)
{
    QPainterPath path;
    path.moveTo(start);
    for (const auto& c : curves)
        path.cubicTo(c[0], c[1], c[2]);
    path.lineTo(path.currentPosition().x(), bottom);
    path.lineTo(start.x(), bottom);
    path.closeSubpath();
    return path;
}

// A white picture of `size` logical pixels at `scale` device pixels each.
QImage Canvas(QSize size, int scale = 1)
{
    QImage img(size * std::max(1, scale), QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

// Starts drawing in logical pixels.
void Begin(QPainter& p, int scale = 1)
{
    p.scale(std::max(1, scale), std::max(1, scale));
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setPen(Qt::NoPen);
}

// The product's wordmark; the font is the CJK family the program ships with.
QFont WordmarkFont(int pixelSize)
{
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void DrawMark(QPainter& p, qreal x, qreal y, int size)
{
    p.save();
    p.translate(x, y);
    p.scale(size / 16.0, size / 16.0);
    PaintAppMark(p, size);
    p.restore();
}

// A soft round shadow under a mark.
void DrawShadow(QPainter& p, QPointF centre, qreal rx, qreal ry, int alpha)
{
    QRadialGradient g(centre, rx);
    g.setColorAt(0, QColor(0x1E, 0x3C, 0x64, alpha));
    g.setColorAt(1, QColor(0x1E, 0x3C, 0x64, 0));
    p.save();
    p.translate(centre);
    p.scale(1, ry / rx);
    p.translate(-centre);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, rx, rx);
    p.restore();
}

QPainterPath Footprint(QPointF at, qreal scale, qreal degrees)
{
    QPainterPath fore;
    fore.addEllipse(QPointF(0, -1.9), 1.5, 2.2);
    QPainterPath heel;
    heel.addEllipse(QPointF(0.2, 1.9), 1.1, 1.2);
    QTransform t;
    t.translate(at.x(), at.y());
    t.rotate(degrees);
    t.scale(scale, scale);
    return t.map(fore.united(heel));
}

}  // namespace

QImage LoginPage(bool withLogo, int scale)
{
    QImage img = Canvas(kLoginPage, scale);
    QPainter p(&img);
    Begin(p, scale);
    const int w = kLoginPage.width();
    const int h = kLoginPage.height();
    const int panel = kLoginPanelWidth;
    p.fillRect(QRect(panel, 0, w - panel, h), Vertical(0, h, QColor(0xF9, 0xFB, 0xFE), QColor(0xEA, 0xF0, 0xF8)));
    p.fillRect(QRect(0, 0, panel, h), Vertical(0, h, QColor(0xE0, 0xEC, 0xF9), QColor(0xC3, 0xD7, 0xEF)));
    // Gentle hills at the foot of the panel.
    const QPainterPath back = Ground(QPointF(0, h - 58), {{{{50, h - 80}, {110, h - 40}, {panel, h - 62}}}}, h);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawPath(back);
    const QPainterPath front = Ground(QPointF(0, h - 30), {{{{60, h - 52}, {120, h - 14}, {panel, h - 36}}}}, h);
    p.setBrush(QColor(0xA9, 0xC6, 0xE6, 150));
    p.drawPath(front);
    // A short trail of steps climbing the hills, left and right foot in turn.
    p.setBrush(QColor(255, 255, 255, 190));
    for (int i = 0; i < 5; ++i) {
        const qreal t = i / 4.0;
        const QPointF along(28 + t * 112, h - 16 - t * 34);
        const QPointF side = (i % 2 ? QPointF(-2.2, -3.6) : QPointF(2.2, 3.6));
        p.drawPath(Footprint(along + side, 2.1 - t * 0.6, 62));
    }
    // Divider between the panel and the page.
    p.fillRect(QRect(panel, 0, 1, h), QColor(0xBF, 0xD1, 0xE6));
    p.fillRect(QRect(panel + 1, 0, 1, h), QColor(255, 255, 255, 200));

    if (withLogo) {
        const int markSize = 64;
        const qreal mx = kLogoX + (kLogo.width() - markSize) / 2.0;
        const qreal my = kLogoY + 8;
        DrawShadow(p, QPointF(mx + markSize / 2.0, my + markSize + 3), 30, 6, 70);
        DrawMark(p, mx, my, markSize);
        p.setFont(WordmarkFont(24));
        p.setPen(Colour::Ink);
        p.drawText(QRectF(kLogoX, my + markSize + 10, kLogo.width(), 32), Qt::AlignCenter, QStringLiteral("Travimo"));
        p.setPen(Qt::NoPen);
        p.setBrush(Colour::Accent);
        p.drawRoundedRect(QRectF(kLogoX + kLogo.width() / 2.0 - 14, my + markSize + 46, 28, 3), 1.5, 1.5);
    }
    return img;
}

QImage LoginLogo(int scale)
{
    scale = std::max(1, scale);
    return LoginPage(true, scale).copy(QRect(QPoint(kLogoX, kLogoY) * scale, kLogo * scale));
}

QImage UserPage(int scale)
{
    QImage img = Canvas(kUserPage, scale);
    QPainter p(&img);
    Begin(p, scale);
    const int w = kUserPage.width();
    const int h = kUserPage.height();
    p.fillRect(QRect(0, 0, w, h), Vertical(0, h, Colour::PageTop, Colour::PageBottom));
    // A wide, faint light from the upper left.
    QRadialGradient glow(QPointF(w * 0.28, -h * 0.35), w * 0.7);
    glow.setColorAt(0, QColor(255, 255, 255, 150));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, 0, w, h), glow);
    // The band the toolbar stands on.
    const int band = h - kToolbarBand;
    p.fillRect(QRect(0, band, w, kToolbarBand), Vertical(band, h, QColor(0xDD, 0xE7, 0xF3), QColor(0xCB, 0xD9, 0xEA)));
    p.fillRect(QRect(0, band, w, 1), QColor(0xB9, 0xCA, 0xDF));
    p.fillRect(QRect(0, band + 1, w, 1), QColor(255, 255, 255, 160));
    return img;
}

QImage CardBackground(int scale)
{
    QImage img = Canvas(kCard, scale);
    QPainter p(&img);
    Begin(p, scale);
    const int w = kCard.width();
    const int h = kCard.height();
    p.fillRect(QRect(0, 0, w, h), Vertical(0, h, Qt::white, QColor(0xF6, 0xF9, 0xFD)));
    // Head band behind the picture and the name.
    p.fillRect(QRect(0, 0, w, 96), Vertical(0, 96, QColor(0xDF, 0xEB, 0xF8), QColor(0xF3, 0xF7, 0xFC)));
    p.fillRect(QRect(0, 96, w, 1), QColor(0xD6, 0xE2, 0xEF));
    // Foot band behind the two buttons.
    p.fillRect(QRect(0, 200, w, h - 200), QColor(0xEE, 0xF3, 0xF9));
    p.fillRect(QRect(0, 200, w, 1), QColor(0xD6, 0xE2, 0xEF));
    // Faint rules between the profile lines.
    for (int y : {128, 152, 176})
        p.fillRect(QRect(16, y, w - 32, 1), QColor(0xE8, 0xEE, 0xF5));
    // A one-pixel outline, filled so that it stays one logical pixel at every scale.
    const QColor outline(0xC2, 0xD2, 0xE4);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 0, w, 1), outline);
    p.fillRect(QRect(0, h - 1, w, 1), outline);
    p.fillRect(QRect(0, 0, 1, h), outline);
    p.fillRect(QRect(w - 1, 0, 1, h), outline);
    return img;
}

QImage ShowPicture(int scale)
{
    QImage img = Canvas(kShowPicture, scale);
    QPainter p(&img);
    Begin(p, scale);
    const int w = kShowPicture.width();
    const int h = kShowPicture.height();
    p.fillRect(QRect(0, 0, w, h), Vertical(0, 200, QColor(0xB8, 0xD5, 0xF0), QColor(0xEE, 0xF5, 0xFC)));
    // Sun and its glow.
    QRadialGradient glow(QPointF(384, 92), 90);
    glow.setColorAt(0, QColor(0xFF, 0xEE, 0xCC, 200));
    glow.setColorAt(1, QColor(0xFF, 0xEE, 0xCC, 0));
    p.fillRect(QRect(0, 0, w, h), glow);
    p.setBrush(QColor(0xFF, 0xF3, 0xDC));
    p.drawEllipse(QPointF(384, 92), 26, 26);
    // Clouds.
    auto cloud = [&](qreal x, qreal y, qreal s, int alpha) {
        QPainterPath c;
        c.setFillRule(Qt::WindingFill);
        c.addEllipse(QPointF(x, y), 22 * s, 12 * s);
        c.addEllipse(QPointF(x + 18 * s, y - 8 * s), 16 * s, 13 * s);
        c.addEllipse(QPointF(x + 36 * s, y), 20 * s, 11 * s);
        p.setBrush(QColor(255, 255, 255, alpha));
        p.drawPath(c);
    };
    cloud(250, 56, 1.0, 190);
    cloud(420, 150, 0.7, 150);
    cloud(60, 170, 0.8, 120);
    // Far hills, near hills, meadow.
    const QPainterPath far =
        Ground(QPointF(0, 196), {{{{90, 160}, {170, 200}, {260, 178}}}, {{{340, 158}, {420, 170}, {480, 184}}}}, 300);
    p.setBrush(Vertical(160, 240, QColor(0xA6, 0xC6, 0xE2), QColor(0x8F, 0xB5, 0xD6)));
    p.drawPath(far);
    const QPainterPath near =
        Ground(QPointF(0, 236), {{{{120, 196}, {230, 236}, {330, 214}}}, {{{400, 200}, {450, 206}, {480, 214}}}}, 300);
    p.setBrush(Vertical(200, 300, QColor(0x9F, 0xCF, 0xB6), QColor(0x74, 0xAE, 0x93)));
    p.drawPath(near);
    // A path winding from the foreground into the hills.
    QPainterPath road;
    road.moveTo(250, 300);
    road.cubicTo(262, 270, 330, 262, 318, 240);
    road.cubicTo(312, 228, 334, 220, 348, 213);
    road.lineTo(352, 214);
    road.cubicTo(342, 222, 326, 230, 332, 242);
    road.cubicTo(346, 268, 300, 280, 300, 300);
    road.closeSubpath();
    p.setBrush(Vertical(210, 300, QColor(0xEF, 0xE8, 0xD6), QColor(0xF7, 0xF1, 0xE4)));
    p.drawPath(road);
    // Steps on the path, smaller with distance.
    p.setBrush(QColor(0x8A, 0x9C, 0x8E, 170));
    const struct {
        QPointF at;
        qreal scale, angle;
    } steps[] = {{{270, 291}, 2.1, 30}, {{286, 280}, 1.9, 50}, {{300, 268}, 1.6, 40}, {{316, 259}, 1.4, 25},
                 {{318, 246}, 1.1, -5}, {{329, 238}, 1.0, 20}, {{334, 228}, 0.8, 40}, {{344, 221}, 0.7, 50}};
    for (const auto& s : steps)
        p.drawPath(Footprint(s.at, s.scale, s.angle));
    // Name.
    DrawShadow(p, QPointF(62, 112), 26, 5, 60);
    DrawMark(p, 36, 60, 52);
    p.setFont(WordmarkFont(46));
    p.setPen(QColor(0x24, 0x4C, 0x7C));
    p.drawText(QRectF(100, 52, 300, 66), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Travimo"));
    p.setPen(Qt::NoPen);
    p.setBrush(Colour::Accent);
    p.drawRoundedRect(QRectF(103, 122, 36, 4), 2, 2);
    return img;
}

QImage Photo(int index)
{
    const int s = kPhotoSize;
    QImage img = Canvas(QSize(s, s));
    QPainter p(&img);
    Begin(p);
    p.scale(s / 96.0, s / 96.0);
    auto background = [&](const QColor& top, const QColor& bottom) {
        p.fillRect(QRectF(0, 0, 96, 96), Vertical(0, 96, top, bottom));
    };
    switch (index) {
    default:
    case 0: {  // a neutral silhouette
        background(QColor(0xE6, 0xED, 0xF5), QColor(0xC6, 0xD4, 0xE4));
        QPainterPath head;
        head.addEllipse(QPointF(48, 36), 17, 18);
        QPainterPath body;
        body.addEllipse(QRectF(14, 60, 68, 80));
        p.setBrush(Vertical(18, 96, QColor(0xA3, 0xB4, 0xC8), QColor(0x7F, 0x93, 0xAC)));
        p.drawPath(head.united(body));
        break;
    }
    case 1: {  // a runner
        background(QColor(0xE2, 0xF3, 0xE8), QColor(0xB7, 0xDD, 0xC6));
        p.setBrush(QColor(0xFF, 0xFF, 0xFF, 120));
        p.drawEllipse(QRectF(10, 78, 76, 12));
        const QColor ink(0x2E, 0x7A, 0x55);
        p.setBrush(ink);
        p.drawEllipse(QPointF(56, 20), 8, 8);
        QPen limb(ink, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(limb);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(52, 34), QPointF(44, 56));                                    // torso
        p.drawPolyline(QList<QPointF>{{50, 38}, {62, 46}, {72, 40}});                    // front arm
        p.drawPolyline(QList<QPointF>{{49, 38}, {38, 42}, {30, 52}});                    // back arm
        p.drawPolyline(QList<QPointF>{{44, 56}, {58, 64}, {56, 80}});                    // front leg
        p.drawPolyline(QList<QPointF>{{44, 56}, {36, 70}, {20, 72}});                    // back leg
        break;
    }
    case 2: {  // mountains at sunrise
        background(QColor(0xCF, 0xE4, 0xF7), QColor(0xF5, 0xF9, 0xFD));
        p.setBrush(QColor(0xF8, 0xC5, 0x6B));
        p.drawEllipse(QPointF(68, 30), 11, 11);
        const QPainterPath back = Polygon({{-4, 96}, {30, 40}, {56, 78}, {70, 58}, {100, 96}});
        p.setBrush(QColor(0x8F, 0xB1, 0xD6));
        p.drawPath(back);
        const QPainterPath snow = Polygon({{30, 40}, {39, 55}, {33, 52}, {28, 57}, {23, 52}});
        p.setBrush(Qt::white);
        p.drawPath(snow);
        const QPainterPath front = Polygon({{-4, 96}, {20, 70}, {40, 84}, {62, 62}, {100, 96}});
        p.setBrush(QColor(0x5E, 0x88, 0xB8));
        p.drawPath(front);
        break;
    }
    case 3: {  // a flower
        background(QColor(0xFD, 0xEE, 0xEA), QColor(0xF6, 0xD5, 0xCD));
        p.setPen(QPen(QColor(0x5F, 0x9E, 0x5A), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(48, 50), QPointF(48, 92));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x6F, 0xB0, 0x66));
        QPainterPath leaf;
        leaf.moveTo(48, 78);
        leaf.cubicTo(58, 62, 72, 64, 74, 66);
        leaf.cubicTo(70, 76, 60, 80, 48, 78);
        p.drawPath(leaf);
        p.setBrush(QColor(0xF0, 0x7F, 0x6B));
        for (int i = 0; i < 6; ++i) {
            p.save();
            p.translate(48, 38);
            p.rotate(i * 60);
            p.drawEllipse(QRectF(-8, -26, 16, 22));
            p.restore();
        }
        p.setBrush(QColor(0xF7, 0xC3, 0x5A));
        p.drawEllipse(QPointF(48, 38), 9, 9);
        break;
    }
    case 4: {  // a cat
        background(QColor(0xFF, 0xF3, 0xDE), QColor(0xF5, 0xDC, 0xB2));
        const QColor fur(0x6E, 0x61, 0x58);
        QPainterPath cat;
        cat.addEllipse(QRectF(20, 30, 56, 50));
        QPainterPath ears = Polygon({{24, 46}, {26, 16}, {46, 34}});
        ears.moveTo(72, 46);
        ears.lineTo(70, 16);
        ears.lineTo(50, 34);
        ears.closeSubpath();
        p.setBrush(fur);
        p.drawPath(cat.united(ears));
        p.setBrush(QColor(0xF5, 0xE6, 0xB8));
        p.drawEllipse(QPointF(38, 52), 6, 7);
        p.drawEllipse(QPointF(58, 52), 6, 7);
        p.setBrush(QColor(0x2A, 0x24, 0x20));
        p.drawEllipse(QPointF(38, 53), 2.2, 5);
        p.drawEllipse(QPointF(58, 53), 2.2, 5);
        p.setBrush(QColor(0xE8, 0x9A, 0x8C));
        const QPainterPath nose = Polygon({{44, 62}, {52, 62}, {48, 67}});
        p.drawPath(nose);
        p.setPen(QPen(QColor(0xE9, 0xDC, 0xC8), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(30, 64), QPointF(14, 61));
        p.drawLine(QPointF(30, 68), QPointF(14, 70));
        p.drawLine(QPointF(66, 64), QPointF(82, 61));
        p.drawLine(QPointF(66, 68), QPointF(82, 70));
        p.setPen(Qt::NoPen);
        break;
    }
    case 5: {  // a sailboat
        background(QColor(0xD3, 0xE8, 0xF8), QColor(0xEF, 0xF6, 0xFC));
        p.fillRect(QRectF(0, 66, 96, 30), Vertical(66, 96, QColor(0x6F, 0xA8, 0xD4), QColor(0x3F, 0x7A, 0xB2)));
        p.setBrush(Qt::white);
        const QPainterPath sail = Polygon({{50, 14}, {50, 60}, {22, 60}});
        p.drawPath(sail);
        const QPainterPath jib = Polygon({{54, 22}, {74, 60}, {54, 60}});
        p.setBrush(QColor(0xFF, 0xF4, 0xE6));
        p.drawPath(jib);
        p.setBrush(QColor(0x8A, 0x6A, 0x4E));
        p.drawRect(QRectF(50, 12, 3, 50));
        const QPainterPath hull = Polygon({{16, 62}, {80, 62}, {70, 74}, {26, 74}});
        p.setBrush(Colour::AccentDark);
        p.drawPath(hull);
        p.setPen(QPen(QColor(255, 255, 255, 150), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 82), QPointF(30, 82));
        p.drawLine(QPointF(60, 88), QPointF(88, 88));
        p.setPen(Qt::NoPen);
        break;
    }
    case 6: {  // a tree
        background(QColor(0xEA, 0xF4, 0xDF), QColor(0xD0, 0xE6, 0xBC));
        p.setBrush(QColor(0xA9, 0xCF, 0x8A));
        p.drawEllipse(QRectF(-10, 78, 116, 40));
        p.setBrush(QColor(0x86, 0x60, 0x42));
        const QPainterPath trunk = Polygon({{44, 86}, {46, 52}, {50, 52}, {53, 86}});
        p.drawPath(trunk);
        QPainterPath crown;
        crown.setFillRule(Qt::WindingFill);
        crown.addEllipse(QPointF(48, 36), 22, 20);
        crown.addEllipse(QPointF(32, 48), 16, 14);
        crown.addEllipse(QPointF(64, 48), 16, 14);
        p.setBrush(Vertical(14, 64, QColor(0x7C, 0xBF, 0x6C), QColor(0x4E, 0x95, 0x4D)));
        p.drawPath(crown);
        break;
    }
    }
    return img;
}

}  // namespace SkinArt
