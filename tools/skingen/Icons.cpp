// Icons on a 16-unit grid: fills on whole units, 1-unit strokes on half units,
// so edges fall on pixel boundaries at 16, 32 and 48 pixels.
#include "SkinArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <cmath>

namespace SkinArt {

namespace {

// Clears a margin around a shape, so an overlapping shape stands apart from what is
// behind it while the icon's background stays transparent.
void Knockout(QPainter& p, const QPainterPath& shape, qreal margin)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(QPen(Qt::black, margin * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::black);
    p.drawPath(shape);
    p.restore();
}

void Fill(QPainter& p, const QPainterPath& path, const QBrush& brush)
{
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPath(path);
}

QPainterPath Ellipse(qreal cx, qreal cy, qreal rx, qreal ry)
{
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), rx, ry);
    return path;
}

QPainterPath Rect(qreal x, qreal y, qreal w, qreal h, qreal radius = 0)
{
    QPainterPath path;
    if (radius > 0)
        path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    else
        path.addRect(QRectF(x, y, w, h));
    return path;
}

// An ellipse rotated by degrees about its centre.
QPainterPath TiltedEllipse(qreal cx, qreal cy, qreal rx, qreal ry, qreal degrees)
{
    QTransform t;
    t.translate(cx, cy);
    t.rotate(degrees);
    return t.map(Ellipse(0, 0, rx, ry));
}

// Head and shoulders of a person standing in box (x, y, w, h); the body is the top of
// an ellipse cut at the box's bottom.
QPainterPath PersonShape(qreal x, qreal y, qreal w, qreal h)
{
    const qreal headR = w * 0.26;
    const qreal cx = x + w / 2;
    QPainterPath head = Ellipse(cx, y + headR, headR, headR);
    const qreal bodyTop = y + headR * 2 + h * 0.07;
    QPainterPath body;
    body.addEllipse(QRectF(x, bodyTop, w, (y + h - bodyTop) * 2.1));
    QPainterPath cut;
    cut.addRect(QRectF(x - 1, y - 1, w + 2, h + 1));
    return head.united(body.intersected(cut));
}

void DrawPerson(QPainter& p, qreal x, qreal y, qreal w, qreal h, const QColor& top, const QColor& bottom)
{
    Fill(p, PersonShape(x, y, w, h), Vertical(y, y + h, top, bottom));
}

// A pencil lying from lower left to upper right, tip at (x, y + len).
QPainterPath PencilShape(qreal x, qreal y, qreal len, qreal thick)
{
    QPainterPath pencil;
    pencil.moveTo(0, 0);
    pencil.lineTo(thick * 0.9, -thick / 2);
    pencil.lineTo(len, -thick / 2);
    pencil.lineTo(len, thick / 2);
    pencil.lineTo(thick * 0.9, thick / 2);
    pencil.closeSubpath();
    QTransform t;
    t.translate(x, y + len * 0.707);
    t.rotate(-45);
    return t.map(pencil);
}

}  // namespace

QImage RenderIcon(IconPainter paint, int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        paint(p, size);
    }
    return img.convertToFormat(QImage::Format_ARGB32);
}

void PaintAppMark(QPainter& p, int pixels)
{
    Fill(p, Rect(1, 1, 14, 14, 3.5), Vertical(1, 15, QColor(0x62, 0xA4, 0xE6), QColor(0x2C, 0x66, 0xAC)));
    // A soft sheen over the upper half.
    QPainterPath sheen = Rect(1, 1, 14, 7, 3.5).intersected(Rect(1, 1, 14, 14, 3.5));
    Fill(p, sheen, QColor(255, 255, 255, 28));
    // A light rim keeps the tile apart from blue captions and dark panels alike.
    const qreal rim = pixels >= 32 ? 0.5 : 1;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 150), rim));
    p.drawRoundedRect(QRectF(1 + rim / 2, 1 + rim / 2, 14 - rim, 14 - rim), 3.5 - rim / 2, 3.5 - rim / 2);
    p.setPen(Qt::NoPen);
    const QColor foot(255, 255, 255);
    // Two footprints walking up to the right: forefoot and heel each.
    Fill(p, TiltedEllipse(5.3, 8.4, 1.55, 2.25, -12).united(TiltedEllipse(5.9, 12.1, 1.15, 1.2, -12)), foot);
    Fill(p, TiltedEllipse(10.6, 4.3, 1.55, 2.25, 12).united(TiltedEllipse(10.1, 8.0, 1.15, 1.2, 12)), foot);
}

void PaintTrayFound(QPainter& p, int pixels)
{
    PaintAppMark(p, pixels);
    const QPainterPath badge = Ellipse(12, 12, 3.5, 3.5);
    Knockout(p, badge, 0.9);
    Fill(p, badge, Vertical(8.5, 15.5, QColor(0x6C, 0xCB, 0x84), QColor(0x2F, 0x95, 0x4E)));
    QPainterPath tick;
    tick.moveTo(10.3, 12.1);
    tick.lineTo(11.5, 13.3);
    tick.lineTo(13.8, 10.8);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, pixels >= 32 ? 1.0 : 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

void PaintPedometer(QPainter& p, int pixels)
{
    // Lanyard loop on top.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Colour::SlateDark, 1));
    p.drawRoundedRect(QRectF(6.5, 0.5, 3, 3), 1, 1);
    // Body.
    const QPainterPath body = Rect(3, 2, 10, 13, 2.5);
    Fill(p, body, Vertical(2, 15, QColor(0x5A, 0x97, 0xDA), Colour::BlueDark));
    // Display.
    Fill(p, Rect(4.5, 4, 7, 5, 0.75), Vertical(4, 9, QColor(0xF4, 0xFA, 0xFF), QColor(0xCF, 0xE4, 0xF6)));
    const QColor digit(0x24, 0x4A, 0x73);
    if (pixels >= 32) {
        // Three digits drawn as thin segment outlines: "1", "0", "8"-like shapes.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(digit, 0.5, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.drawLine(QPointF(6.25, 5), QPointF(6.25, 8));
        p.drawRect(QRectF(7.25, 5.25, 1.5, 2.5));
        p.drawRect(QRectF(9.25, 5.25, 1.5, 2.5));
        p.drawLine(QPointF(9.25, 6.5), QPointF(10.75, 6.5));
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(digit);
        p.drawRect(QRectF(6, 5, 1, 3));
        p.drawRect(QRectF(8, 5, 1, 3));
        p.drawRect(QRectF(10, 5, 1, 3));
    }
    // Button.
    Fill(p, Ellipse(8, 12, 1.5, 1.5), QColor(255, 255, 255, 220));
    if (pixels >= 32)
        Fill(p, Ellipse(8, 12, 0.75, 0.75), QColor(0x9F, 0xC4, 0xEA));
}

void PaintPerson(QPainter& p, int)
{
    DrawPerson(p, 2, 1, 12, 14, QColor(0x5F, 0x9C, 0xDE), Colour::BlueDark);
}

void PaintProfile(QPainter& p, int pixels)
{
    DrawPerson(p, 1, 1, 11, 14, QColor(0x5F, 0x9C, 0xDE), Colour::BlueDark);
    const qreal thick = pixels >= 32 ? 2.5 : 3;
    const QPainterPath pencil = PencilShape(8.5, 7.5, 8.2, thick);
    Knockout(p, pencil, 0.8);
    Fill(p, pencil, Vertical(7, 16, QColor(0xF8, 0xB3, 0x5E), Colour::AccentDark));
    if (pixels >= 32) {
        // Graphite tip.
        QPainterPath tip = PencilShape(8.5, 7.5, 1.4, thick).intersected(pencil);
        Fill(p, tip, Colour::SlateDark);
    }
}

void PaintKey(QPainter& p, int pixels)
{
    QPainterPath key;
    key.setFillRule(Qt::WindingFill);
    key.addEllipse(QPointF(5, 8), 4, 4);
    key.addRect(QRectF(8, 7, 7, 2));
    key.addRect(QRectF(12, 9, 1, 2));
    key.addRect(QRectF(14, 9, 1, 3));
    key = key.simplified().subtracted(Ellipse(4.5, 8, 1.5, 1.5));
    Fill(p, key, Vertical(4, 12, QColor(0xFA, 0xC1, 0x62), Colour::AccentDark));
    if (pixels >= 32) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x9A, 0x55, 0x10, 150), 0.5));
        p.drawPath(key);
    }
}

void PaintPrinter(QPainter& p, int pixels)
{
    const QColor outline = Colour::SlateDark;
    // Paper feeding in at the top.
    p.setBrush(Qt::white);
    p.setPen(QPen(outline, pixels >= 32 ? 0.5 : 1));
    p.drawRect(pixels >= 32 ? QRectF(4.25, 1.25, 7.5, 5) : QRectF(4.5, 1.5, 7, 5));
    // Body.
    Fill(p, Rect(1, 5, 14, 7.5, 1.5), Vertical(5, 12.5, QColor(0x8A, 0x9E, 0xB6), QColor(0x4F, 0x63, 0x7C)));
    Fill(p, Rect(3, 9, 10, 1), QColor(0x2F, 0x3D, 0x50));
    Fill(p, Rect(12, 6.5, 1.5, 1.5, 0.5), QColor(0x7D, 0xDB, 0x8F));
    // The printed sheet coming out.
    p.setBrush(Qt::white);
    p.setPen(QPen(outline, pixels >= 32 ? 0.5 : 1));
    p.drawRect(pixels >= 32 ? QRectF(4.25, 9.75, 7.5, 5.5) : QRectF(4.5, 9.5, 7, 6));
    p.setPen(QPen(Colour::Blue, pixels >= 32 ? 0.5 : 1));
    if (pixels >= 32) {
        p.drawLine(QPointF(5.5, 11.75), QPointF(10.5, 11.75));
        p.drawLine(QPointF(5.5, 13.25), QPointF(9, 13.25));
    } else {
        p.drawLine(QPointF(6, 12.5), QPointF(10, 12.5));
    }
}

void PaintGear(QPainter& p, int pixels)
{
    // At 16 pixels the teeth stand on the axes at whole-pixel width, so four of them stay crisp.
    const bool small = pixels < 32;
    const qreal toothWidth = small ? 2 : 2.7;
    QPainterPath gear = Ellipse(8, 8, 5.1, 5.1);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-toothWidth / 2, small ? -7.5 : -7.6, toothWidth, 4), 0.4, 0.4);
        QTransform t;
        t.translate(8, 8);
        t.rotate(i * 45.0 + (small ? 0 : 22.5));
        gear = gear.united(t.map(tooth));
    }
    gear = gear.subtracted(Ellipse(8, 8, 2.2, 2.2));
    Fill(p, gear, Vertical(0.5, 15.5, QColor(0x86, 0x9C, 0xB6), QColor(0x45, 0x5A, 0x74)));
    if (pixels >= 32) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 90), 0.5));
        p.drawEllipse(QPointF(8, 8), 3.6, 3.6);
    }
}

void PaintLogout(QPainter& p, int pixels)
{
    // Door frame and the door itself.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Colour::SlateDark, 1));
    p.drawRect(QRectF(1.5, 1.5, 8, 13));
    Fill(p, Rect(3, 3, 5, 11), Vertical(3, 14, QColor(0x5F, 0x9C, 0xDE), Colour::BlueDark));
    Fill(p, Ellipse(6.5, 8.5, 0.75, 0.75), Qt::white);
    // Arrow leaving through it.
    QPainterPath arrow;
    arrow.addRect(QRectF(7, 7, 5, 2));
    QPainterPath head;
    head.moveTo(11, 4);
    head.lineTo(15.5, 8);
    head.lineTo(11, 12);
    head.closeSubpath();
    arrow = arrow.united(head);
    Knockout(p, arrow, pixels >= 32 ? 0.75 : 1);
    Fill(p, arrow, Vertical(4, 12, QColor(0xF8, 0xB3, 0x5E), Colour::AccentDark));
}

void PaintAbout(QPainter& p, int)
{
    Fill(p, Ellipse(8, 8, 7, 7), Vertical(1, 15, QColor(0x62, 0xA4, 0xE6), Colour::BlueDark));
    Fill(p, Ellipse(8, 4.5, 1.25, 1.25), Qt::white);
    QPainterPath stem;
    stem.setFillRule(Qt::WindingFill);
    stem.addRect(QRectF(7, 7, 2, 5));
    stem.addRect(QRectF(6, 7, 2, 1));
    stem.addRect(QRectF(6, 11, 4, 1));
    Fill(p, stem.simplified(), Qt::white);
}

void PaintHome(QPainter& p, int)
{
    // Chimney, then the walls, then the roof over both.
    Fill(p, Rect(11, 2, 2, 4), Colour::BlueDark);
    Fill(p, Rect(3, 7, 10, 8), Vertical(7, 15, QColor(0xF4, 0xF8, 0xFD), QColor(0xD3, 0xE2, 0xF3)));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Colour::BlueDark, 1));
    p.drawRect(QRectF(3.5, 7.5, 9, 7));
    Fill(p, Rect(6.5, 10, 3, 5, 0.5), Vertical(10, 15, QColor(0xF8, 0xB3, 0x5E), Colour::AccentDark));
    QPainterPath roof;
    roof.moveTo(8, 1);
    roof.lineTo(15.5, 8);
    roof.lineTo(13.5, 8.5);
    roof.lineTo(8, 3.5);
    roof.lineTo(2.5, 8.5);
    roof.lineTo(0.5, 8);
    roof.closeSubpath();
    Fill(p, roof, Vertical(1, 8.5, QColor(0x5F, 0x9C, 0xDE), Colour::BlueDark));
}

void PaintChart(QPainter& p, int pixels)
{
    const QLinearGradient bars = Vertical(3, 14, QColor(0x7D, 0xB4, 0xEA), Colour::Blue);
    Fill(p, Rect(3, 9, 2, 5), bars);
    Fill(p, Rect(6, 6, 2, 8), bars);
    Fill(p, Rect(9, 8, 2, 6), bars);
    Fill(p, Rect(12, 4, 2, 10), bars);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Colour::SlateDark, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    QPainterPath axes;
    axes.moveTo(1.5, 1.5);
    axes.lineTo(1.5, 14.5);
    axes.lineTo(15, 14.5);
    p.drawPath(axes);
    QPainterPath line;
    line.moveTo(4, 6.5);
    line.lineTo(7, 3.5);
    line.lineTo(10, 5.5);
    line.lineTo(13, 1.5);
    if (pixels >= 32) {
        p.setPen(QPen(QColor(255, 255, 255, 230), 1.75, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(line);
    }
    p.setPen(QPen(Colour::Accent, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(line);
}

void PaintUsers(QPainter& p, int pixels)
{
    DrawPerson(p, 6.5, 1, 9, 11.5, QColor(0x9C, 0xC4, 0xEC), QColor(0x5A, 0x8C, 0xC6));
    const QPainterPath front = PersonShape(0.5, 3, 10, 12);
    Knockout(p, front, pixels >= 32 ? 0.6 : 0.8);
    Fill(p, front, Vertical(3, 15, QColor(0x5F, 0x9C, 0xDE), Colour::BlueDark));
}

void PaintCalendar(QPainter& p, int pixels)
{
    Fill(p, Rect(1, 2, 14, 13, 1.5), Vertical(2, 15, Qt::white, QColor(0xEA, 0xF1, 0xF9)));
    Fill(p, Rect(1, 2, 14, 4, 1.5).united(Rect(1, 4, 14, 2)), Vertical(2, 6, QColor(0x5F, 0x9C, 0xDE), Colour::Blue));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Colour::BlueDark, pixels >= 32 ? 0.5 : 1));
    if (pixels >= 32)
        p.drawRoundedRect(QRectF(1.25, 2.25, 13.5, 12.5), 1.25, 1.25);
    else
        p.drawRoundedRect(QRectF(1.5, 2.5, 13, 12), 1, 1);
    // Binder rings.
    Fill(p, Rect(4, 0.5, 1.5, 3.5, 0.5), Colour::SlateDark);
    Fill(p, Rect(10.5, 0.5, 1.5, 3.5, 0.5), Colour::SlateDark);
    // Days, today in the accent colour.
    const QColor day(0x8F, 0xA8, 0xC4);
    Fill(p, Rect(3, 8, 2, 2), day);
    Fill(p, Rect(7, 8, 2, 2), day);
    Fill(p, Rect(11, 8, 2, 2), day);
    Fill(p, Rect(3, 11, 2, 2), day);
    Fill(p, Rect(7, 11, 2, 2), day);
    Fill(p, Rect(11, 11, 2, 2), Colour::Accent);
}

}  // namespace SkinArt
