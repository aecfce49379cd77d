#pragma once
// Small helpers shared by the control tests: pixel reads of grabbed widgets and
// hand-made image files.

#include "controls/Colour.h"

#include <QByteArray>
#include <QImage>
#include <QWidget>

// The widget rendered into an image at one device pixel per pixel.
inline QImage Shot(QWidget& w)
{
    QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::magenta);
    w.render(&img);
    return img.convertToFormat(QImage::Format_RGB32);
}

// The COLORREF of one pixel.
inline COLORREF PixelRef(const QImage& img, int x, int y) { return QColorToColorRef(img.pixelColor(x, y)); }

// A two-frame 1 x 1 GIF89a: frame 0 colour index 0 (red) shown for delay0
// hundredths, frame 1 index 1 (blue) for delay1. Qt reads GIFs but cannot write them.
inline QByteArray TwoFrameGif(int delay0, int delay1)
{
    QByteArray g;
    auto bytes = [&](std::initializer_list<int> b) {
        for (int v : b)
            g.append(static_cast<char>(v));
    };
    g.append("GIF89a");
    bytes({1, 0, 1, 0, 0x80, 0, 0});            // 1 x 1 screen, global table of 2 colours
    bytes({0xFF, 0, 0, 0, 0, 0xFF});            // red, blue
    bytes({0x21, 0xFF, 0x0B});                  // loop forever
    g.append("NETSCAPE2.0");
    bytes({3, 1, 0, 0, 0});
    auto frame = [&](int delay, int lzwLow) {
        bytes({0x21, 0xF9, 4, 0, delay & 0xFF, (delay >> 8) & 0xFF, 0, 0});  // graphic control: delay
        bytes({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0});                          // image 1 x 1 at 0, 0
        bytes({2, 2, lzwLow, 0x01, 0});                                     // clear, pixel, end
    };
    frame(delay0, 0x44);  // codes 4, 0, 5
    frame(delay1, 0x4C);  // codes 4, 1, 5
    bytes({0x3B});
    return g;
}
