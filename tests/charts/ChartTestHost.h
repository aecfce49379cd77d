#pragma once
// A parent window that records the chart's messages, and small pixel helpers.

#include "charts/ChartWnd.h"
#include "external/records/WndMessage.h"

#include <QImage>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
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

// ---- a chart in a recording host, 400 × 200 ---------------------------------------

inline std::unique_ptr<ChartSeries> MakeSeries(int key, uint32_t colour, double barWidth = 2.0, double scaleMax = 5.0,
                                        int decimals = 2)
{
    auto s = std::make_unique<ChartSeries>();
    s->key = key;
    s->colour = colour;
    s->barWidth = barWidth;
    s->name = QStringLiteral("S%1").arg(key);
    s->scaleMax = scaleMax;
    s->decimals = decimals;
    return s;
}

inline std::unique_ptr<ChartCategory> MakeCategory(const QString& label)
{
    auto c = std::make_unique<ChartCategory>();
    c->label = label;
    return c;
}

class ChartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<MessageRecorder>();
        chart = new CChartWnd(host.get());
        Resize(400, 200);
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        host->messages.clear();
    }

    void Resize(int w, int h)
    {
        host->resize(w, h);
        chart->setGeometry(0, 0, w, h);
        chart->SetLayoutRect({0, 0, w, h});
        chart->RecalcLayout();
    }

    ChartSeries* AddSeries(int key, uint32_t colour, double barWidth = 2.0, double scaleMax = 5.0)
    {
        auto s = MakeSeries(key, colour, barWidth, scaleMax);
        ChartSeries* raw = s.get();
        EXPECT_EQ(chart->AddSeries(s), 1);
        return raw;
    }

    // n categories "C0".. with one point each of the given value in series key.
    void Fill(int n, double value, int key = 1)
    {
        for (int i = 0; i < n; ++i) {
            chart->InsertCategory(i, MakeCategory(QStringLiteral("C%1").arg(i)), false);
            ASSERT_EQ(chart->AddPoint(i, 0, value, 0, key, i == n - 1), 1);
        }
    }

    QImage Render()
    {
        chart->RecalcLayout();
        return chart->RenderImage(chart->size());
    }

    std::unique_ptr<MessageRecorder> host;
    CChartWnd* chart = nullptr;  // owned by host
};

