// The window frame (caption pieces, system buttons, borders) and the list header.
#include "SkinArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>

namespace SkinArt {

namespace {

const QColor kInnerEdge(0x3A, 0x6E, 0xA8);  // line between the frame and the client area
const QColor kCaptionLip(0x9C, 0xC2, 0xEA); // highlight row under the outer edge

QImage Opaque(int w, int h, const QColor& fill)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

// The caption's rows, w logical pixels wide, at `scale` device pixels per logical one.
QImage CaptionStrip(int w, int scale = 1)
{
    QImage img(w * scale, kCaptionHeight * scale, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        const QRgb c = CaptionColourAt(y, scale).rgb();
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            line[x] = c;
    }
    return img;
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

}  // namespace

QColor CaptionRowColour(int y)
{
    return CaptionColourAt(y, 1);
}

QColor CaptionColourAt(int row, int scale)
{
    scale = std::max(1, scale);
    // The edge, the highlight and the inner edge are one logical row each.
    if (row < scale)
        return Colour::FrameDark;
    if (row < 2 * scale)
        return kCaptionLip;
    if (row >= (kCaptionHeight - 1) * scale)
        return kInnerEdge;
    // Between them a soft vertical gradient, sampled at each device row's centre and
    // rounded to whole colour steps: at 2x it has twice the steps.
    const double y = (row + 0.5) / scale - 0.5;
    const double t = (y - 2) / double(kCaptionHeight - 4);
    const QColor c = Mix(Colour::CaptionTop, Colour::CaptionBottom, t);
    return QColor(c.red(), c.green(), c.blue());
}

QImage TitlePiece(int which, int scale)
{
    scale = std::max(1, scale);
    if (which == 1)
        return CaptionStrip(kTitleCentreWidth, scale);
    const int w = kTitleSideWidth;
    QImage img = Opaque(w * scale, kCaptionHeight * scale, Colour::FrameDark);
    {
        QPainter p(&img);
        p.scale(scale, scale);
        p.setRenderHint(QPainter::Antialiasing);
        // The inside of the rounded outline, drawn as the left piece and mirrored for the right.
        QPainterPath inside;
        inside.addRoundedRect(QRectF(1, 1, w * 3, kCaptionHeight * 2), kTopRound - 1, kTopRound - 1);
        p.setPen(Qt::NoPen);
        // The caption's own rows at device resolution: the brush is not scaled with the painter.
        QBrush rows(CaptionStrip(w * 4, scale));
        rows.setTransform(QTransform::fromScale(1.0 / scale, 1.0 / scale));
        p.setBrush(rows);
        p.drawPath(inside);
        // Bottom row: the border's fill on the left, then the inner edge where the client starts.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(1, kCaptionHeight - 1, kBorderWidth - 2, 1), Colour::CaptionBottom);
        p.fillRect(QRect(kBorderWidth - 1, kCaptionHeight - 1, w - kBorderWidth + 1, 1), kInnerEdge);
        p.fillRect(QRect(0, kTopRound, 1, kCaptionHeight - kTopRound), Colour::FrameDark);
    }
    return which == 0 ? img : img.mirrored(true, false);
}

QImage SystemButton(SysButton button, ButtonState state, int scale)
{
    scale = std::max(1, scale);
    const int s = kSysButtonSize;
    QImage img = CaptionStrip(s, scale).copy(0, kSysButtonTop * scale, s * scale, s * scale);
    QPainter p(&img);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    QColor face;
    if (state == ButtonState::Over)
        face = button == SysButton::Close ? Colour::CloseRed : QColor(255, 255, 255, 70);
    else if (state == ButtonState::Down)
        face = button == SysButton::Close ? QColor(0xB8, 0x44, 0x3B) : QColor(0x1E, 0x43, 0x6E, 110);
    if (face.isValid()) {
        p.setPen(Qt::NoPen);
        p.setBrush(face);
        p.drawRoundedRect(QRectF(0, 0, s, s), 3, 3);
    }
    const QColor glyph = state == ButtonState::Normal ? QColor(255, 255, 255, 235) : QColor(Qt::white);
    const qreal shift = state == ButtonState::Down ? 0.5 : 0;
    p.translate(shift, shift);
    switch (button) {
    case SysButton::Close:
        p.setPen(QPen(glyph, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4.75, 4.75), QPointF(11.25, 11.25));
        p.drawLine(QPointF(11.25, 4.75), QPointF(4.75, 11.25));
        break;
    case SysButton::Max:
        p.setPen(Qt::NoPen);
        p.setBrush(glyph);
        if (scale == 1) {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.drawRect(QRect(4, 4, 8, 2));  // thick top edge, like a title bar
            p.drawRect(QRect(4, 6, 1, 6));
            p.drawRect(QRect(11, 6, 1, 6));
            p.drawRect(QRect(5, 11, 6, 1));
        } else {
            // The same window outline, its corners softly rounded with the finer pixels.
            QPainterPath frame;
            frame.addRoundedRect(QRectF(4, 4, 8, 8), 0.75, 0.75);
            QPainterPath inside;
            inside.addRect(QRectF(5, 6, 6, 5));
            p.drawPath(frame.subtracted(inside));
        }
        break;
    case SysButton::Min:
        p.setPen(Qt::NoPen);
        p.setBrush(glyph);
        if (scale == 1) {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.drawRect(QRect(4, 10, 8, 2));
        } else {
            p.drawRoundedRect(QRectF(4, 10, 8, 2), 0.75, 0.75);
        }
        break;
    }
    return img;
}

QImage Border(BorderPiece piece, int scale)
{
    scale = std::max(1, scale);
    const int b = kBorderWidth;
    // Outer edge, two rows of fill, inner edge: from the outside in, one logical pixel each.
    const QColor across[4] = {Colour::FrameDark, Colour::CaptionBottom, Colour::CaptionBottom, kInnerEdge};
    switch (piece) {
    case BorderPiece::Left:
    case BorderPiece::Right: {
        QImage img(b * scale, kBorderLength * scale, QImage::Format_RGB32);
        for (int x = 0; x < img.width(); ++x) {
            const int from = piece == BorderPiece::Left ? x / scale : b - 1 - x / scale;
            for (int y = 0; y < img.height(); ++y)
                img.setPixel(x, y, across[from].rgb());
        }
        return img;
    }
    case BorderPiece::BottomCenter: {
        QImage img(kBorderLength * scale, b * scale, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, across[b - 1 - y / scale].rgb());
        return img;
    }
    case BorderPiece::BottomLeft:
    case BorderPiece::BottomRight: {
        QImage img = Opaque(b * scale, b * scale, Colour::FrameDark);
        {
            QPainter p(&img);
            p.scale(scale, scale);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(Colour::CaptionBottom);
            p.drawRoundedRect(QRectF(1, -b, b * 2, b * 2 - 1), kBottomRound - 1, kBottomRound - 1);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.fillRect(QRect(b - 1, 0, 1, 1), kInnerEdge);
        }
        return piece == BorderPiece::BottomLeft ? img : img.mirrored(true, false);
    }
    }
    return {};
}

QImage ColumnHeader(int index, int scale)
{
    scale = std::max(1, scale);
    const int h = kHeaderImageHeight;
    struct Look {
        QColor top, bottom, line;
    };
    const Look looks[3] = {
        {QColor(0xFF, 0xFF, 0xFF), QColor(0xE4, 0xEB, 0xF4), QColor(0xB7, 0xC6, 0xD8)},  // normal
        {QColor(0xF6, 0xFA, 0xFF), QColor(0xD8, 0xE6, 0xF6), QColor(0x6F, 0x9F, 0xD6)},  // under the mouse
        {QColor(0xD2, 0xDF, 0xEF), QColor(0xE6, 0xEE, 0xF7), QColor(0x4F, 0x84, 0xC2)},  // pressed
    };
    // One column of the header's rows at device resolution; the lines are a logical row each.
    auto middleColumn = [&](const Look& look) {
        QImage col(1, h * scale, QImage::Format_RGB32);
        for (int row = 0; row < col.height(); ++row) {
            QColor c;
            if (row >= (h - 1) * scale)
                c = look.line;
            else if (row >= (h - 2) * scale && &look != &looks[0])
                c = Mix(look.line, look.bottom, 0.45);  // hot and pressed get a two-row underline
            else
                c = Mix(look.top, look.bottom, std::max(0.0, (row + 0.5) / scale - 0.5) / double(h - 2));
            col.setPixel(0, row, QColor(c.red(), c.green(), c.blue()).rgb());
        }
        return col;
    };
    auto strip = [&](const Look& look, int w) { return middleColumn(look).scaled(w * scale, h * scale); };

    if (index >= 0 && index <= 8) {
        const Look& look = looks[index / 3];
        const int part = index % 3;
        if (part == 1)
            return strip(look, kHeaderMiddleWidth);
        QImage img = strip(look, kHeaderEndWidth);
        // Left end: a light lip; right end: the separator between columns.
        const QColor lip = Mix(look.top, Qt::white, 0.6);
        const QColor separator = index / 3 == 0 ? QColor(0xC6, 0xD2, 0xE0) : look.line;
        const int x0 = part == 0 ? 0 : (kHeaderEndWidth - 1) * scale;
        for (int y = 3 * scale; y < (h - 3) * scale; ++y)
            for (int x = x0; x < x0 + scale; ++x)
                img.setPixel(x, y, (part == 0 ? lip : separator).rgb());
        return img;
    }
    if (index == 9 || index == 10) {
        QImage img = strip(looks[0], kSortArrowWidth);
        QPainter p(&img);
        p.scale(scale, scale);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x4F, 0x6C, 0x8F));
        // Ascending points up, descending down.
        const QPainterPath tri = index == 9 ? Polygon({{1, 12}, {4.5, 7.5}, {8, 12}})
                                            : Polygon({{1, 8}, {4.5, 12.5}, {8, 8}});
        p.drawPath(tri);
        return img;
    }
    return {};
}

}  // namespace SkinArt
