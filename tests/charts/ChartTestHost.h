#pragma once
// A parent window that records the chart's messages, and small pixel helpers.

#include "charts/ChartWnd.h"
#include "external/records/WndMessage.h"

#include <QImage>
#include <QWidget>

#include <utility>
#include <vector>

class MessageRecorder : public QWidget {
public:
    using QWidget::QWidget;
    std::vector<std::pair<int, uintptr_t>> messages;

    int Count(int message) const
    {
        int n = 0;
        for (const auto& m : messages)
            n += m.first == message;
        return n;
    }

protected:
    bool event(QEvent* e) override
    {
        const int t = int(e->type());
        if (t >= WM_CHART_FLAGSCHANGED && t <= WM_CHART_CURSORMOVED) {
            messages.emplace_back(t, static_cast<CWndMessage*>(e)->wParam());
            return true;
        }
        return QWidget::event(e);
    }
};

inline QRgb RgbOf(uint32_t colorref)
{
    return ColorRefToQColor(colorref).rgb() & 0xFFFFFF;
}

inline QRgb PixelAt(const QImage& img, int x, int y)
{
    return img.pixel(x, y) & 0xFFFFFF;
}

// Whether any pixel of the box [x0, x1) × [y0, y1) has the colour.
inline bool BoxHas(const QImage& img, int x0, int y0, int x1, int y1, QRgb colour)
{
    for (int y = std::max(y0, 0); y < std::min(y1, img.height()); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, img.width()); ++x)
            if (PixelAt(img, x, y) == colour)
                return true;
    return false;
}

// Whether any pixel of the box differs from the colour.
inline bool BoxHasOtherThan(const QImage& img, int x0, int y0, int x1, int y1, QRgb colour)
{
    for (int y = std::max(y0, 0); y < std::min(y1, img.height()); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, img.width()); ++x)
            if (PixelAt(img, x, y) != colour)
                return true;
    return false;
}

// Whether any pixel of the box is the colour or a blend of it with a white background
// (antialiased text never reaches its full colour at small sizes).
inline bool BoxHasTint(const QImage& img, int x0, int y0, int x1, int y1, uint32_t colorref)
{
    const QColor t = ColorRefToQColor(colorref);
    const int tc[3] = {t.red(), t.green(), t.blue()};
    for (int y = std::max(y0, 0); y < std::min(y1, img.height()); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, img.width()); ++x) {
            const QRgb c = PixelAt(img, x, y);
            if (c == 0xFFFFFF)
                continue;
            const int cc[3] = {qRed(c), qGreen(c), qBlue(c)};
            bool between = true;
            for (int i = 0; i < 3; ++i)
                between = between && cc[i] >= tc[i];
            if (between)
                return true;
        }
    return false;
}
