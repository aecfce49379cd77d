#pragma once
// The font a skin names ("宋体" by default), with a CJK face to fall back on where that face is
// not installed, at a pixel height and a weight of 1 ... 1000 as the skin files give them.

#include <QFont>
#include <QString>

#include <algorithm>

inline QFont SkinFont(const QString& face, int pixelHeight, int weight)
{
    QFont f;
    f.setFamilies({face, QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(1, pixelHeight));
    f.setWeight(QFont::Weight(std::clamp(weight, 1, 1000)));
    return f;
}
